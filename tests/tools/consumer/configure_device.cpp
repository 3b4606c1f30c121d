// Points the installed communicator at a device and reads the setting back.
#include <cstdio>

#include "communicator/devicesettings.h"
#include "layercutout/httpsingleton.h"

int main() {
  LCD::Communicator::DeviceSettings settings;
  settings.url = "http://192.0.2.1:8080";
  LCD::Communicator::configureDevice(settings);
  std::printf("%s %s\n", LCD::Communicator::deviceSettings().url.c_str(),
              HttpSingleTon::getInstance()->getHttpClient() != nullptr ? "client" : "none");
  return 0;
}
