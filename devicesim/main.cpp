#include "devicesim/devicesimulator.h"

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>

namespace {

constexpr const char* kFooter = R"help(
Serves the device's login, layer cutout, cutout cursor colour and cutout
assessment resources until interrupted (Ctrl-C or SIGTERM). Layers 1 to
--layers are known; the cursor colour comes from eight vertical colour bars
on a 1920x1080 canvas. A GET of /tavro/v1/system/auto-report with the login
token streams the device's reports of changed cutouts and cursors
(text/event-stream).

See the layers: open http://127.0.0.1:8080/ (the address it prints) in a
browser. The page shows every layer's cutout settings and the colour bars
keyed by them over a grey checkerboard, with the cutout cursor, and follows
every change by itself. It only reads, needs no login, and reads
/view/layers, /view/layers/N.png and /view/changes. The simulator listens on
127.0.0.1 only, unless --host names another address.

Point the communicator (the plug-in, the CLI, the tests) at it with:
  LCD_DEVICE_URL=http://127.0.0.1:8080 LCD_DEVICE_USER=admin LCD_DEVICE_PASSWORD=admin

Try it by hand:
  lcd-devicesim --port 8080 &
  TOKEN=$(curl -s -X POST -H 'Content-Type: application/json' \
    -d '{"username":"admin","password":"admin"}' \
    http://127.0.0.1:8080/tavro/v1/system/auth/login |
    sed 's/.*"token":"\([^"]*\)".*/\1/')
  curl -s -X PUT -H "Authorization: $TOKEN" -H 'Content-Type: application/json' \
    -d '{"layerId":1,"cursor":{"enable":1,"pos":{"x":300,"y":200}}}' \
    http://127.0.0.1:8080/tavro/v1/layers/cutout/color
)help";

// Blocked before any thread starts, so that only sigwait below receives them.
sigset_t blockTerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  return signals;
}

}  // namespace

int main(int argc, char** argv) {
  LCD::DeviceSim::SimulatorOptions options;
  options.port = 8080;
  int layerCount = static_cast<int>(options.layers.size());

  CLI::App app{"lcd-devicesim: a stand-in for the video display processor's REST interface."};
  app.add_option("--host", options.host, "Address to listen on")->capture_default_str();
  app.add_option("--port", options.port, "TCP port; 0 picks a free one and prints it")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  app.add_option("--user", options.user, "Login name the device accepts")->capture_default_str();
  app.add_option("--password", options.password, "Password the device accepts")->capture_default_str();
  app.add_option("--serial", options.serialNumber, "Serial number, the \"sn\" of every report")->capture_default_str();
  app.add_option("--layers", layerCount, "Number of layers, known as 1 to N")
      ->check(CLI::Range(1, 1024))
      ->capture_default_str();
  app.footer(kFooter);
  CLI11_PARSE(app, argc, argv);
  options.layers = LCD::DeviceSim::layersOneTo(layerCount);

  const sigset_t signals = blockTerminationSignals();
  try {
    LCD::DeviceSim::DeviceSimulator simulator(options);
    std::cout << "lcd-devicesim listening on " << simulator.url() << '\n'
              << "see the layers at " << simulator.url() << "/" << std::endl;
    int received = 0;
    sigwait(&signals, &received);
  } catch (const std::exception& error) {
    std::cerr << "lcd-devicesim: " << error.what() << '\n';
    return 1;
  }
  return 0;
}
