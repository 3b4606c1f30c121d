#include <gtest/gtest.h>

#include <cctype>
#include <future>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "reportrelay/reportrelay.h"
#include "scripteddevice.h"

namespace {

namespace Stream = LCD::Proto::ReportStream;
namespace Constants = LCD::Proto::Constants;
using LCD::Relay::ReportRelay;
using nlohmann::json;
constexpr auto kPatience = std::chrono::seconds(20);

// The seq of every report the relay delivers into a host runtime.
struct Host {
  Host() {
    for (std::uint32_t code : {Stream::kCutoutReportCode, Stream::kCursorReportCode}) {
      runtime.subscribe(code, [this](const wyn::IMessage& event) {
        std::lock_guard<std::mutex> lock(mutex);
        seqs += (seqs.empty() ? "" : " ") + json::parse(static_cast<const char*>(event.getData()))["seq"].dump();
      });
    }
  }
  LCD::Host::Runtime runtime;
  std::mutex mutex;
  std::string seqs;
};

void useDevice(const std::string& address, long timeoutMs = 20000) {
  LCD::Communicator::configureDevice({"http://" + address + "/lcd", "admin", "admin", timeoutMs});
}

// A stream of a script as the device would send it: "A1" report 1 of run A ("A1/" its first half, as when the
// stream is cut), "hb:A7" a heartbeat that says the stream starts after A-7, "resync" and "ping" (with the data of
// report 99), "retry" (3 s); "401" refuses the token instead.
std::string streamOf(const std::string& script) {
  std::string stream;
  std::istringstream words(script);
  for (std::string word; words >> word;) {
    if (word == "resync" || word == "ping") {
      const std::string report = streamOf("A99");
      stream += "event: " + word + "\n" + report.substr(report.find("data"));
    } else if (word == "retry") {
      stream += "retry: 3000\n\n";
    } else if (word.rfind("hb:", 0) == 0) {
      stream += "event: heartbeat\ndata: 1000\nid: " + word.substr(3, 1) + "-" + word.substr(4) + "\n\n";
    } else if (word.size() >= 2 && std::isupper(word[0]) && std::isdigit(word[1])) {
      const std::string seq = word.substr(1, word.find('/') - 1);
      const std::string report = "id: " + word.substr(0, 1) + "-" + seq + "\ndata: {\"seq\":" + seq +
                                 ",\"tl\":{\"CommandCode\":528657,\"ErrorCode\":0},\"body\":\"{}\"}\n\n";
      stream += word.back() == '/' ? report.substr(0, report.size() / 2) : report;
    } else {
      ADD_FAILURE() << "unknown word in a script: " << word;
    }
  }
  return stream;
}

Script refusal(int status) { return {"", "HTTP/1.1 " + std::to_string(status) + " No\r\nContent-Length: 0\r\n\r\n"}; }

// A script of streams, the seqs delivered, the Last-Event-ID of each stream request, and the least of each
// wait between attempts until the script ends.
struct Run {
  const char* name;
  std::vector<std::string> streams;
  const char* delivered;
  std::vector<std::string> asked;
  std::vector<long> leastWaits;
};

void PrintTo(const Run& run, std::ostream* out) { *out << run.name; }

class RelayAgainstScript : public ::testing::TestWithParam<Run> {};

TEST_P(RelayAgainstScript, DeliversEachReportOnceAndWaitsAsItShould) {
  Host host;
  std::mutex mutex;
  std::vector<long> waits, waitsAtEnd;
  std::vector<std::string> asked;
  std::promise<std::string> ended;
  const std::vector<std::string>& streams = GetParam().streams;
  // Under /lcd: logs in anybody, holds two layers as of report B-9, answers the report stream with each stream of
  // the script in turn, then 503 (the first of which ends the run); anything else it does not know.
  ScriptedDevice device([&](const std::string& request) {
    const std::string lcd = "/lcd", field = std::string("\r\n") + Stream::kLastEventIdHeader + ": ";
    if (asks(request, "POST", lcd + Constants::POSTLOGIN)) return Script{R"({"code":0,"data":{"token":"t"}})"};
    if (asks(request, "GET", lcd + Constants::PUTLAYERSCUTOUT))
      return Script{R"({"code":0,"data":[{"layerId":1},{"layerId":2}],"reportId":"B-9"})"};
    if (!asks(request, "GET", lcd + Stream::kPath)) return refusal(404);
    std::lock_guard<std::mutex> lock(mutex);
    if (asked.size() > streams.size()) return refusal(503);
    const std::size_t at = request.find(field), from = at + field.size();
    asked.push_back(at == std::string::npos ? "" : request.substr(from, request.find("\r\n", from) - from));
    if (asked.size() <= streams.size())
      return streams[asked.size() - 1] == "401" ? refusal(401) : Script{streamOf(streams[asked.size() - 1])};
    waitsAtEnd = waits;
    std::lock_guard<std::mutex> delivered(host.mutex);
    ended.set_value(host.seqs);
    return refusal(503);
  });
  useDevice(device.address());
  LCD::Relay::RelayOptions options;
  options.wait = [&](std::chrono::milliseconds wait) {
    std::lock_guard<std::mutex> lock(mutex);
    waits.push_back(wait.count());
  };
  ReportRelay relay(host.runtime, options);
  std::future<std::string> delivered = ended.get_future();
  ASSERT_EQ(delivered.wait_for(kPatience), std::future_status::ready);
  relay.stop();
  EXPECT_EQ(delivered.get(), GetParam().delivered);
  EXPECT_EQ(asked, GetParam().asked);
  ASSERT_EQ(waitsAtEnd.size(), GetParam().leastWaits.size());
  for (std::size_t i = 0; i < waitsAtEnd.size(); ++i) EXPECT_GE(waitsAtEnd[i], GetParam().leastWaits[i]) << i;
}

const Run kScripts[] = {
    {"DuplicateDropped", {"A1 A2 A2 A3"}, "1 2 3", {"", "A-3"}, {50}},
    {"GapAskedForAgain", {"A1 A3", "A2 A3 A4"}, "1 2 3 4", {"", "A-1", "A-4"}, {50}},
    {"GapNotReplayed", {"A1 A3", "A3"}, "1 3", {"", "A-1", "A-3"}, {50}},
    {"CutReportAskedForAgain", {"A1 A2/", "A2 A3"}, "1 2 3", {"", "A-1", "A-3"}, {50, 50}},
    {"ResyncWhenAsked", {"A1", "resync"}, "1 9", {"", "A-1", "B-9"}, {50}},
    {"RestartSeenInTheStream", {"A1 B5"}, "1 9", {"", "B-9"}, {}},
    {"OnlyMessagesAreReports", {"ping A1"}, "1", {"", "A-1"}, {50}},
    {"NewStreamStartsWhereTheDeviceIs", {"hb:A7"}, "", {"", "A-7"}, {50}},
    {"StaleTokenLogsInAtOnce", {"A1", "401", "A2"}, "1 2", {"", "A-1", "A-1", "A-2"}, {50, 50}},
    {"FreshTokenRefusedCounts", {"401", "401"}, "", {"", "", ""}, {50, 100}},
    {"AcceptThenCloseBacksOff", {"", "", "", "", ""}, "", {"", "", "", "", "", ""}, {50, 100, 200, 400, 800}},
    {"RetryHonoured", {"retry", ""}, "", {"", "", ""}, {3000, 5000}},
};
INSTANTIATE_TEST_SUITE_P(Streams, RelayAgainstScript, ::testing::ValuesIn(kScripts),
                         [](const auto& info) { return std::string(info.param.name); });

// A login the device never answers (the time-out is ten minutes) ends at stop().
TEST(RelayStop, EndsALoginUnderWay) {
  std::promise<void> loggingIn;
  ScriptedDevice device([&loggingIn](const std::string&) {
    loggingIn.set_value();
    return Script{"", ""};
  });
  useDevice(device.address(), 600000);
  LCD::Host::Runtime runtime;
  ReportRelay relay(runtime);
  EXPECT_EQ(loggingIn.get_future().wait_for(kPatience), std::future_status::ready);
  std::future<void> stopped = std::async(std::launch::async, [&relay] { relay.stop(); });
  EXPECT_EQ(stopped.wait_for(kPatience), std::future_status::ready);
}

}  // namespace
