#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The device's stream of automatic reports, as both of its ends see it. A GET
// of kPath with the login token answers "text/event-stream": one event per
// report, its data the report's JSON text on one line and its id
// "RUN-SEQ", where RUN names the device's start and SEQ numbers its reports
// (1, 2, 3...). A subscriber that comes back sends the last id it received
// as "Last-Event-ID": the device replays what followed, in order, or, when it
// no longer holds those reports or started afresh since, sends the event
// kResyncEvent. A GET of the layer cutout resource then gives every layer's
// cutout and, as kStateReportIdKey, the id of the last report that state
// includes, to go on from.
namespace LCD {
namespace Proto {
namespace ReportStream {

constexpr char kPath[] = "/tavro/v1/system/auto-report";

// tl.CommandCode of the device's two reports, and the host events they arrive as.
constexpr std::uint32_t kCutoutReportCode = 0x81110u;
constexpr std::uint32_t kCursorReportCode = 0x81111u;

constexpr char kLastEventIdHeader[] = "Last-Event-ID";
// Sent first on a stream: its data is the device's heartbeat interval in
// milliseconds, so that a subscriber can tell silence from a quiet device.
constexpr char kHeartbeatEvent[] = "heartbeat";
constexpr char kResyncEvent[] = "resync";
constexpr char kStateReportIdKey[] = "reportId";

// A report's event id: the device's start and the report's number.
struct ReportId {
  std::string run;
  std::uint64_t seq;

  std::string text() const { return run + "-" + std::to_string(seq); }
};

// Nothing when `id` is not "RUN-SEQ".
inline std::optional<ReportId> parseReportId(const std::string& id) {
  constexpr std::size_t kLongestSeq = 19;  // digits that always fit 64 bits
  const std::size_t dash = id.rfind('-');
  if (dash == std::string::npos || dash == 0) {
    return std::nullopt;
  }
  const std::string digits = id.substr(dash + 1);
  if (digits.empty() || digits.size() > kLongestSeq || digits.find_first_not_of("0123456789") != std::string::npos) {
    return std::nullopt;
  }
  return ReportId{id.substr(0, dash), std::stoull(digits)};
}

}  // namespace ReportStream
}  // namespace Proto
}  // namespace LCD
