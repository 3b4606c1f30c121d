#pragma once

#include "devicesim/fault.h"
#include "devicesim/requestlog.h"

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace LCD {
namespace DeviceSim {

// Layer ids 1 to `count`.
std::vector<int> layersOneTo(int count);

struct SimulatorOptions {
  std::string host = "127.0.0.1";
  int port = 0;  // 0 picks a free port; see DeviceSimulator::port()
  std::string user = "admin";
  std::string password = "admin";
  std::vector<int> layers = layersOneTo(16);
  std::size_t maxConnections = 1024;          // open at once; each has a thread of its own
  std::string serialNumber = "LCD-SIM-0001";  // "sn" of every report
  std::size_t reportQueueLimit = 256;         // reports kept for subscribers that fall behind or come back
};

// The simulated display processor's REST interface, serving on its own
// threads from construction to destruction, with its stream of automatic
// reports (see proto/reportstream.h).
class DeviceSimulator {
 public:
  // Throws std::runtime_error when it cannot listen.
  explicit DeviceSimulator(SimulatorOptions options = {});
  ~DeviceSimulator();
  DeviceSimulator(const DeviceSimulator&) = delete;
  DeviceSimulator& operator=(const DeviceSimulator&) = delete;

  int port() const;
  std::string url() const;  // "http://host:port", the communicator's device URL

  // Spoils the replies for `path` (any method) as the fault says.
  void injectFault(const std::string& path, const Fault& fault);
  void clearFaults();

  std::string currentToken() const;
  // The current token stops working; the next login gets a new one.
  void revokeToken();

  // The last cutout settings accepted for a layer, as the device keeps them.
  std::optional<nlohmann::json> layerCutout(int layerId) const;

  // Sends a report as the device does when its state changes, about `body`
  // (the reported record), without changing anything.
  void publishReport(std::uint32_t commandCode, const nlohmann::json& body);
  // The report streams open now.
  std::size_t reportSubscribers() const;

  std::vector<RecordedRequest> requests() const;
  void clearRequests();
  // The connections that carried the recorded requests (told apart by the client's port).
  std::size_t acceptedConnections() const;

  // Ends serving; idempotent, also done by the destructor.
  void stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace DeviceSim
}  // namespace LCD
