#pragma once

#include "devicesim/reply.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace LCD {
namespace DeviceSim {

// Where the device sends its automatic reports: tl.CommandCode and the
// reported record's JSON text. Called with the device's lock held, so that
// reports go out in the order of the changes they report.
using ReportSink = std::function<void(std::uint32_t commandCode, const std::string& body)>;

// The id of the last report the sink published.
using ReportPosition = std::function<std::string()>;

struct DeviceConfig {
  std::string user;
  std::string password;
  std::vector<int> layers;
  ReportSink reports;
  ReportPosition lastReport;
};

// The protocol side of the simulated display processor: login and token,
// the known layers with their cutout settings, the cursor colour and the
// assessment. It reports the cutouts a request changed and the cursors a
// colour read moved or switched, and gives every layer's cutout with the id
// of the last report they include (a GET of the layer cutout resource).
// Thread-safe; knows nothing of sockets.
class Device {
 public:
  explicit Device(DeviceConfig config);

  // The answer to one request; `authorization` is the "Authorization" header.
  Reply answer(const std::string& method, const std::string& path, const std::string& authorization,
               const std::string& body);

  // The token a login hands out now; empty before the first login.
  std::string currentToken() const;

  // The 401 answer when `authorization` is not the current token.
  std::optional<Reply> refusal(const std::string& authorization) const;

  // Invalidates the current token; the next login gets a new one.
  void revokeToken();

  // The last cutout settings the device accepted for a layer.
  std::optional<nlohmann::json> layerCutout(int layerId) const;

 private:
  using Handler = Reply (Device::*)(const nlohmann::json&);

  Reply withJsonBody(const std::string& body, Handler handler);
  Reply logIn(const nlohmann::json& body);
  Reply setCutout(const nlohmann::json& body);
  Reply readCursorColour(const nlohmann::json& body);
  Reply assess(const nlohmann::json& body);
  Reply cutoutState() const;

  std::optional<Reply> cutoutListFault(const nlohmann::json& body) const;
  std::optional<Reply> tokenRefusal(const std::string& authorization) const;
  bool isKnownLayer(std::int64_t layerId) const;
  std::string mintToken();

  mutable std::mutex mutex_;
  const std::string user_;
  const std::string password_;
  const ReportSink reports_;
  const ReportPosition lastReport_;
  std::map<int, std::optional<nlohmann::json>> layers_;
  std::map<int, nlohmann::json> cursors_;  // the last cursor read per layer: {"enable":..,"pos":{..}}
  std::string token_;
  std::uint64_t tokensIssued_ = 0;
  std::mt19937_64 random_;
};

}  // namespace DeviceSim
}  // namespace LCD
