#include <gtest/gtest.h>
#include <httplib.h>

#include <cctype>
#include <future>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <thread>

#include "communicator/devicesettings.h"
#include "proto/constants.h"
#include "reportrelay/reportrelay.h"

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

void useDevice(const std::string& url, long timeoutMs = 20000) {
  LCD::Communicator::configureDevice({url, "admin", "admin", timeoutMs});
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

// Answers each GET of the report stream under /lcd with the next stream of its script, then 503, calling
// `onEnd` at the first 503; logs in anybody once `onLogin` returns; holds two layers as of report B-9.
class ScriptedDevice {
 public:
  using Ending = std::function<void(const std::vector<std::string>& asked)>;
  ScriptedDevice(
      std::vector<std::string> script, Ending onEnd, std::function<void()> onLogin = [] {})
      : script_(std::move(script)), onEnd_(std::move(onEnd)) {
    server_.Post(std::string("/lcd") + Constants::POSTLOGIN, [onLogin](const auto&, httplib::Response& response) {
      onLogin();
      response.set_content(R"({"code":0,"data":{"token":"t"}})", "application/json");
    });
    server_.Get(std::string("/lcd") + Constants::PUTLAYERSCUTOUT, [](const auto&, httplib::Response& response) {
      response.set_content(R"({"code":0,"data":[{"layerId":1},{"layerId":2}],"reportId":"B-9"})", "application/json");
    });
    server_.Get(std::string("/lcd") + Stream::kPath,
                [this](const httplib::Request& request, httplib::Response& response) {
                  std::lock_guard<std::mutex> lock(mutex_);
                  asked_.push_back(request.get_header_value(Stream::kLastEventIdHeader));
                  if (next_ >= script_.size()) {
                    response.status = 503;
                    if (next_++ == script_.size()) onEnd_(asked_);
                  } else if (script_[next_++] == "401") {
                    response.status = 401;
                  } else {
                    response.set_content(streamOf(script_[next_ - 1]), "text/event-stream");
                  }
                });
    url = "http://127.0.0.1:" + std::to_string(server_.bind_to_any_port("127.0.0.1")) + "/lcd";
    listening_ = std::thread([this] { server_.listen_after_bind(); });
  }
  ~ScriptedDevice() {
    server_.stop();
    listening_.join();
  }

  std::string url;

 private:
  std::vector<std::string> asked_;  // the Last-Event-ID of each stream request
  const std::vector<std::string> script_;
  const Ending onEnd_;
  std::mutex mutex_;
  std::size_t next_ = 0;
  httplib::Server server_;
  std::thread listening_;
};

// A script of streams, the seqs delivered, the Last-Event-ID of each stream request, and the least of each
// wait between attempts until the script ends.
struct Script {
  const char* name;
  std::vector<std::string> streams;
  const char* delivered;
  std::vector<std::string> asked;
  std::vector<long> leastWaits;
};

void PrintTo(const Script& script, std::ostream* out) { *out << script.name; }

class RelayAgainstScript : public ::testing::TestWithParam<Script> {};

TEST_P(RelayAgainstScript, DeliversEachReportOnceAndWaitsAsItShould) {
  Host host;
  std::mutex mutex;
  std::vector<long> waits, waitsAtEnd;
  std::vector<std::string> asked;
  std::promise<std::string> ended;
  ScriptedDevice device(GetParam().streams, [&](const std::vector<std::string>& askedAtEnd) {
    std::lock_guard<std::mutex> lock(mutex);
    std::tie(waitsAtEnd, asked) = std::pair(waits, askedAtEnd);
    std::lock_guard<std::mutex> delivered(host.mutex);
    ended.set_value(host.seqs);
  });
  useDevice(device.url);
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

const Script kScripts[] = {
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

// A login that would hang for ten minutes ends at stop().
TEST(RelayStop, EndsALoginUnderWay) {
  std::promise<void> loggingIn, release;
  std::shared_future<void> released = release.get_future().share();
  ScriptedDevice device(
      {}, [](const auto&) {}, [&loggingIn, released] { loggingIn.set_value(), released.wait(); });
  useDevice(device.url, 600000);
  LCD::Host::Runtime runtime;
  ReportRelay relay(runtime);
  EXPECT_EQ(loggingIn.get_future().wait_for(kPatience), std::future_status::ready);
  std::future<void> stopped = std::async(std::launch::async, [&relay] { relay.stop(); });
  EXPECT_EQ(stopped.wait_for(kPatience), std::future_status::ready);
  release.set_value();
}

}  // namespace
