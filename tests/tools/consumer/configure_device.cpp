// Points the installed communicator at a device and reads the setting back,
// with no exchange failed yet.
#include <cstdio>

#include "communicator/devicesettings.h"
#include "communicator/exchangefailure.h"
#include "layercutout/httpsingleton.h"

int main() {
  LCD::Communicator::DeviceSettings settings;
  settings.url = "http://192.0.2.1:8080";
  LCD::Communicator::configureDevice(settings);
  std::printf("%s %s%s\n", LCD::Communicator::deviceSettings().url.c_str(),
              HttpSingleTon::getInstance()->getHttpClient() != nullptr ? "client" : "none",
              LCD::Communicator::lastExchangeFailure());
  return 0;
}
