#include "host/reportrelay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <tuple>

#include "devicesim/reportstream.h"
#include "devicesim/reportstreamcontract.h"
#include "host/eventstreamparser.h"
#include "layercutout/messageids.h"
#include "tests/stress/livesession.h"

namespace {

namespace Id = LayerCutout::MessageId;
using LCD::DeviceSim::FaultKind;
using nlohmann::json;

bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

TEST(EventStreamParser, GivesTheDataOfEachEventWithinItsBound) {
  // The stream in pieces, the events they give, whether they fit the bound of 14 bytes.
  const std::tuple<std::vector<std::string>, std::vector<std::string>, bool> cases[] = {
      {{"da", "ta:b\r", "\n\r\n", "data: c\n", "\n"}, {"b", "c"}, true},
      {{": heartbeat\nid: 7\ndata: x\ndata:  y\n\nevent: ping\n\n"}, {"x\n y"}, true},
      {{"data: 12345678\n\n"}, {"12345678"}, true},
      {{"data: 123456789"}, {}, false},
  };
  for (const auto& [pieces, expected, fitsAll] : cases) {
    std::vector<std::string> events;
    LCD::Host::EventStreamParser parser(14, [&events](const std::string& data) { events.push_back(data); });
    bool fits = true;
    for (const std::string& piece : pieces) fits = fits && parser.feed(piece.data(), piece.size());
    EXPECT_EQ(std::pair(events, fits), std::pair(expected, fitsAll)) << pieces.front();
  }
}

// The device's reports through the relay and the plug-in, as the host application sees them: the plug-in's event,
// if any, then the report event it answered (0 when its payload is not the text with its NUL).
TEST(ReportRelay, DeliversEachReportInOrderAndRecoversFromEveryFault) {
  LiveSession session;
  std::mutex mutex;
  std::vector<std::uint32_t> events;
  for (std::uint32_t id :
       {Id::kLayerCutoutReport, Id::kLayerCutoutChanged, Id::kLayerCutoutCursorReport, Id::kLayerCutoutCursorChanged}) {
    session.runtime().subscribe(id, [&mutex, &events, id](const wyn::IMessage& event) {
      const auto* text = static_cast<const char*>(event.getData());
      const auto size = static_cast<std::size_t>(event.getDataSize());
      const bool isText = id > 0xffffffu || std::memchr(text, '\0', size) == text + size - 1;
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back(isText ? id : 0);
    });
  }
  LCD::Host::ReportRelay relay(session.runtime());
  // A fault, the events for a cutout report it spoils; a clean cursor report follows.
  const std::tuple<const char*, std::optional<FaultKind>, std::vector<std::uint32_t>> cases[] = {
      {"clean", std::nullopt, {Id::kLayerCutoutChanged, Id::kLayerCutoutReport}},
      {"error code", FaultKind::ErrorReport, {Id::kLayerCutoutReport}},
      {"report text", FaultKind::GarbledReport, {}},
      {"report body", FaultKind::GarbledReportBody, {Id::kLayerCutoutReport}},
      {"cut, then opened again with a new token", FaultKind::CutReport, {}},
  };
  ASSERT_TRUE(eventually([&session] { return session.device().reportSubscribers() == 1; }));
  for (const auto& [why, fault, cutoutEvents] : cases) {
    const std::uint64_t opened = relay.streamsOpened();
    if (fault) session.device().injectFault(LCD::DeviceSim::kReportStreamPath, {*fault});
    if (fault == FaultKind::CutReport) session.device().revokeToken();
    session.device().publishReport(LCD::DeviceSim::kCutoutReportCode, json::parse(R"([{"layerId":3}])"));
    if (fault == FaultKind::CutReport) {
      ASSERT_TRUE(eventually([&] { return relay.streamsOpened() > opened; }));
    }
    session.device().publishReport(LCD::DeviceSim::kCursorReportCode, json::parse(R"({"layerId":2})"));
    ASSERT_TRUE(eventually([&] {
      std::lock_guard<std::mutex> lock(mutex);
      return !events.empty() && events.back() == Id::kLayerCutoutCursorReport;
    }));
    std::vector<std::uint32_t> expected = cutoutEvents;
    expected.insert(expected.end(), {Id::kLayerCutoutCursorChanged, Id::kLayerCutoutCursorReport});
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(std::exchange(events, {}), expected) << why;
  }
  EXPECT_EQ(relay.reportsUndecodable(), 1u);
  EXPECT_EQ(relay.reportsMissed(), 2u);  // the undecodable one and the cut one

  const auto stopping = std::chrono::steady_clock::now();
  relay.stop();
  EXPECT_LT(std::chrono::steady_clock::now() - stopping, std::chrono::milliseconds(500));
}

}  // namespace
