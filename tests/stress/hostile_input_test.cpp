#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "layercutout/messageids.h"
#include "proto/constants.h"
#include "proto/response.h"
#include "tests/plugin/pluginsession.h"
#include "tests/stress/commands.h"
#include "tests/stress/probes.h"
#include "tests/stress/rawmessage.h"
#include "tests/stress/reports.h"

namespace {

using Bytes = std::vector<unsigned char>;
using LCD::DeviceSim::Fault;
using LCD::DeviceSim::FaultKind;
using LCD::ProtoModel::Layer::s_LayerCursorColorResult;
using Stress::Outcome;
using Stress::Probe;
namespace Id = LayerCutout::MessageId;
namespace Constants = LCD::Proto::Constants;

constexpr int kLargestSize = 256;
constexpr std::size_t kDepth = 10000;
constexpr std::size_t kMegabyte = std::size_t{1} << 20;
constexpr unsigned kSeed = 20240607;  // fixed, so that every run sends the same bytes

constexpr const char* kCutoutReportSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutout(const wyn::IMessage*)";
constexpr const char* kCursorReportSignature =
    "wyn::IMessage* LayerCutout::LayerCutoutModel::changeLayerCutoutCursor(const wyn::IMessage*)";
constexpr const char* kNotCorrect = "command does not correct.";
constexpr const char* kNoRecord = "resp does not matches.";
constexpr const char* kNoData = "msg data is null.";

std::string repeated(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

std::string deepArray() { return repeated("[", kDepth) + repeated("]", kDepth); }
std::string deepObject() { return repeated("{\"a\":", kDepth) + "0" + repeated("}", kDepth); }

bool isDecoderError(const std::string& text) {
  return text.rfind("error at line :", 0) == 0 && text.find(" col :") != std::string::npos &&
         text.find(" msg:") != std::string::npos;
}

// Payloads no well-behaved sender produces, handed to the plug-in's own
// handleMessage. Each payload lives in a heap block of exactly its size, so
// that AddressSanitizer (this suite also runs under it) flags any read past it.
class HostileInput : public ::testing::Test {
 protected:
  void SetUp() override {
    session.runtime().subscribe(Id::kLayerCutoutChanged, [this](const wyn::IMessage& event) {
      const auto& layers = *static_cast<const Stress::LayerSettings*>(event.getData());
      std::vector<int> ids;
      for (const auto& layer : layers) ids.push_back(layer.layerId);
      cutoutEvents.push_back(ids);
    });
    session.runtime().subscribe(Id::kLayerCutoutCursorChanged, [this](const wyn::IMessage& event) {
      s_LayerCursorColorResult cursor;
      std::memcpy(&cursor, event.getData(), sizeof cursor);
      cursorEvents.push_back(cursor.layerId);
    });
  }

  // The reply's payload, copied before the reply goes back to the message center.
  std::optional<Bytes> deliver(std::uint32_t type, std::uint32_t id, const void* data, int size) {
    const RawMessage message(type, id, data, size);
    const wyn::IMessage* reply = session.plugin().components().front()->handler().handleMessage(&message);
    if (reply == nullptr) return std::nullopt;
    const auto* bytes = static_cast<const unsigned char*>(reply->getData());
    Bytes payload(bytes, bytes + reply->getDataSize());
    auto* owned = const_cast<wyn::IMessage*>(reply);
    session.runtime().messageCenter().releaseMessage(&owned);
    return payload;
  }

  std::optional<Bytes> command(std::uint32_t id, const Bytes& payload) {
    return deliver(wyn::kCommandType, id, payload.data(), static_cast<int>(payload.size()));
  }

  void report(std::uint32_t id, const Bytes& payload) {
    EXPECT_EQ(deliver(wyn::kEventType, id, payload.data(), static_cast<int>(payload.size())), std::nullopt);
  }

  void report(std::uint32_t id, const std::string& text) {
    report(id, Bytes(text.c_str(), text.c_str() + text.size() + 1));
  }

  Bytes randomBytes(std::size_t size, unsigned lowest = 0, unsigned highest = 255) {
    std::uniform_int_distribution<unsigned> byte(lowest, highest);
    Bytes bytes(size);
    for (auto& b : bytes) b = static_cast<unsigned char>(byte(random));
    return bytes;
  }

  // Requests to a path since the last call; the whole log is taken.
  std::size_t requestsTo(const std::string& path) {
    const auto requests = session.takeRequests();
    return static_cast<std::size_t>(
        std::count_if(requests.begin(), requests.end(), [&path](const auto& r) { return r.path == path; }));
  }

  std::size_t anyRequests() { return session.takeRequests().size(); }

  PluginSession session;
  std::mt19937 random{kSeed};
  std::vector<std::vector<int>> cutoutEvents;
  std::vector<int> cursorEvents;
};

template <typename T>
Bytes bytesOf(const T& object) {
  const auto* first = reinterpret_cast<const unsigned char*>(&object);
  return Bytes(first, first + sizeof object);
}

// Only a payload of exactly a vector object's size is dereferenced, so at that
// size alone a real vector goes in; every other size carries random bytes that
// the handler must refuse without reading.
TEST_F(HostileInput, SetCutoutReadsOnlyAPayloadOfAVectorsSize) {
  const Stress::LayerSettings layers = Stress::layersNumbered({1});
  for (int size = 0; size <= kLargestSize; ++size) {
    SCOPED_TRACE(size);
    session.log().clear();
    if (size == static_cast<int>(sizeof layers)) {
      EXPECT_EQ(command(Id::kSetLayerCutout, bytesOf(layers)), Bytes{1});
      expectNoLog(session.log());
      EXPECT_EQ(requestsTo(Constants::PUTLAYERSCUTOUT), 1u);
    } else {
      EXPECT_EQ(command(Id::kSetLayerCutout, randomBytes(static_cast<std::size_t>(size))), std::nullopt);
      expectOnlyLog(session.log(), {QtWarningMsg, Stress::kSetCutoutProbe.signature, kNotCorrect});
      EXPECT_EQ(anyRequests(), 0u);
    }
  }
}

// The cursor request is four integers, so any 16 bytes are a request; random
// ones name a layer the device does not know and get the marked default back.
TEST_F(HostileInput, CursorReadTakesAny16BytesAndRefusesOtherSizes) {
  for (int size = 0; size <= kLargestSize; ++size) {
    SCOPED_TRACE(size);
    session.log().clear();
    const Bytes payload = randomBytes(static_cast<std::size_t>(size));
    if (size == static_cast<int>(sizeof(Stress::s_ReadLayerCursorColor))) {
      Stress::s_ReadLayerCursorColor request;
      std::memcpy(&request, payload.data(), sizeof request);
      std::string body;
      LCD::ProtoModel::encode(body, request);
      const auto answer = command(Id::kSetLayerCutoutCursor, payload);
      ASSERT_TRUE(answer.has_value());
      EXPECT_EQ(Stress::cursorWords({0, answer}), Stress::markedDefault());
      expectNoLog(session.log());
      std::vector<std::string> bodies;
      for (const auto& r : session.takeRequests()) {
        if (r.path == Constants::PUTLAYERSCUTOUTCURSOR) bodies.push_back(r.body);
      }
      EXPECT_EQ(bodies, std::vector<std::string>{body});
    } else {
      EXPECT_EQ(command(Id::kSetLayerCutoutCursor, payload), std::nullopt);
      expectOnlyLog(session.log(), {QtWarningMsg, Stress::kReadCursorProbe.signature, kNotCorrect});
      EXPECT_EQ(anyRequests(), 0u);
    }
  }
}

// The first eight bytes are a pointer the handler follows, so they are never
// random: below eight bytes there is no whole pointer (random bytes, refused);
// from eight on they hold either a real record's address or null, and the bytes
// after them are random and must be ignored.
TEST_F(HostileInput, AssessmentFollowsOnlyAWholeNonNullPointer) {
  constexpr int kPointerSize = sizeof(LayerCutout::AssessExchange*);
  // The size is taken on trust: a sender always puts the whole pointer there.
  for (int size = kPointerSize; size <= kLargestSize; ++size) {
    SCOPED_TRACE(size);
    session.log().clear();
    auto record = Stress::exchangeFor({1, 2});
    LayerCutout::AssessExchange* pointers[] = {&record, nullptr};
    for (LayerCutout::AssessExchange* pointer : pointers) {
      Bytes payload = randomBytes(static_cast<std::size_t>(size));
      std::memcpy(payload.data(), &pointer, sizeof pointer);
      EXPECT_EQ(command(Id::kGetLayerCutoutAssess, payload), std::nullopt);
    }
    EXPECT_TRUE(Stress::holdsItsOwnResults(record));
    expectOnlyLog(session.log(), {QtWarningMsg, Stress::kAssessProbe.signature, kNoRecord});
    EXPECT_EQ(requestsTo(Constants::TAVROPROTOPUTASSESSLAYERCUTOUT), 1u);
  }
}

struct NullCase {
  std::uint32_t type;
  std::uint32_t id;
  const char* signature;
  const char* log;
};

TEST_F(HostileInput, NullDataIsRefusedWhateverSizeIsClaimed) {
  const NullCase cases[] = {
      {wyn::kCommandType, Id::kSetLayerCutout, Stress::kSetCutoutProbe.signature, kNotCorrect},
      {wyn::kCommandType, Id::kSetLayerCutoutCursor, Stress::kReadCursorProbe.signature, kNotCorrect},
      {wyn::kCommandType, Id::kGetLayerCutoutAssess, Stress::kAssessProbe.signature, kNoRecord},
      {wyn::kEventType, Id::kLayerCutoutReport, kCutoutReportSignature, kNoData},
      {wyn::kEventType, Id::kLayerCutoutCursorReport, kCursorReportSignature, kNoData},
  };
  for (const NullCase& c : cases) {
    for (int size : {0, 1, 8, 16, 24, kLargestSize, -1}) {
      SCOPED_TRACE(testing::Message() << std::hex << c.id << std::dec << " size " << size);
      session.log().clear();
      EXPECT_EQ(deliver(c.type, c.id, nullptr, size), std::nullopt);
      expectOnlyLog(session.log(), {QtWarningMsg, c.signature, c.log});
    }
  }
  EXPECT_EQ(anyRequests(), 0u);
  EXPECT_TRUE(cutoutEvents.empty());
  EXPECT_TRUE(cursorEvents.empty());
}

struct RandomReportCase {
  const char* name;
  unsigned lowest;  // byte range drawn from
  unsigned highest;
};

// Without a NUL the text ends where the payload ends; with one, at the NUL.
// Either way random bytes decode to nothing, and the only log is the decoder's
// positioned error.
TEST_F(HostileInput, RandomReportsAreRefusedWithTheDecoderError) {
  const RandomReportCase cases[] = {
      {"any bytes", 0, 255},
      {"no NUL", 1, 255},
      {"printable text", 0x20, 0x7e},
  };
  const std::pair<std::uint32_t, const char*> handlers[] = {{Id::kLayerCutoutReport, kCutoutReportSignature},
                                                            {Id::kLayerCutoutCursorReport, kCursorReportSignature}};
  for (const auto& c : cases) {
    for (const auto& [id, signature] : handlers) {
      for (int size = 0; size <= kLargestSize; ++size) {
        SCOPED_TRACE(testing::Message() << c.name << " size " << size);
        session.log().clear();
        report(id, randomBytes(static_cast<std::size_t>(size), c.lowest, c.highest));
        const auto entries = session.log().entries();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].level, QtWarningMsg);
        EXPECT_EQ(entries[0].function, signature);
        if (size == 0) {
          EXPECT_EQ(entries[0].text, kNoData);
        } else {
          EXPECT_TRUE(isDecoderError(entries[0].text)) << entries[0].text;
        }
      }
    }
  }
  EXPECT_TRUE(cutoutEvents.empty());
  EXPECT_TRUE(cursorEvents.empty());
  EXPECT_EQ(anyRequests(), 0u);
}

struct ExtremeReport {
  const char* name;
  std::uint32_t id;
  std::string text;
  std::vector<std::vector<int>> cutoutEvents;  // layer ids of each event sent on
  std::vector<int> cursorEvents;
  std::string log;  // empty: nothing logged
};

TEST_F(HostileInput, ExtremeReportsAreDecodedOrRefusedAsStated) {
  const std::string megabyte(kMegabyte, 'x');
  const ExtremeReport cases[] = {
      {"deep array skipped in the body",
       Id::kLayerCutoutReport,
       Stress::reportAbout("[{\"layerId\":1,\"deep\":" + deepArray() + "}]"),
       {{1}},
       {},
       ""},
      {"deep object skipped in the body",
       Id::kLayerCutoutCursorReport,
       Stress::reportAbout("{\"deep\":" + deepObject() + ",\"layerId\":4}"),
       {},
       {4},
       ""},
      {"deep array skipped in the report",
       Id::kLayerCutoutReport,
       "{\"deep\":" + deepArray() + ",\"body\":\"[]\"}",
       {{}},
       {},
       ""},
      {"deep array where a layer belongs",
       Id::kLayerCutoutReport,
       Stress::reportAbout(deepArray()),
       {},
       {},
       "error at line :0 col :2 msg:read object must start with {!"},
      {"deep array never closed",
       Id::kLayerCutoutReport,
       "{\"deep\":" + repeated("[", kDepth),
       {},
       {},
       "error at line :0 col :10008 msg:invalid json document!"},
      {"megabyte string in the report",
       Id::kLayerCutoutCursorReport,
       "{\"sn\":\"" + megabyte + "\",\"body\":\"{\\\"layerId\\\":5}\"}",
       {},
       {5},
       ""},
      {"megabyte string in the body",
       Id::kLayerCutoutReport,
       Stress::reportAbout("[{\"layerId\":6,\"note\":\"" + megabyte + "\"}]"),
       {{6}},
       {},
       ""},
      // Integers keep their low bits; reals are truncated and saturated.
      {"huge layer numbers",
       Id::kLayerCutoutReport,
       Stress::reportAbout("[{\"layerId\":4294967303},{\"layerId\":99999999999999999999999},{\"layerId\":1e400}]"),
       {{7, -159383553, 2147483647}},
       {},
       ""},
      {"huge error code",
       Id::kLayerCutoutReport,
       "{\"tl\":{\"ErrorCode\":1e400},\"body\":\"[]\"}",
       {},
       {},
       "\"auto report data error. error code : 65535.\""},
      {"error code that wraps to zero",
       Id::kLayerCutoutCursorReport,
       "{\"tl\":{\"ErrorCode\":65536},\"body\":\"{\\\"layerId\\\":8}\"}",
       {},
       {8},
       ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    session.log().clear();
    cutoutEvents.clear();
    cursorEvents.clear();
    report(c.id, c.text);
    EXPECT_EQ(cutoutEvents, c.cutoutEvents);
    EXPECT_EQ(cursorEvents, c.cursorEvents);
    const char* signature = c.id == Id::kLayerCutoutReport ? kCutoutReportSignature : kCursorReportSignature;
    if (c.log.empty()) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {QtWarningMsg, signature, c.log.c_str()});
    }
  }
  EXPECT_EQ(anyRequests(), 0u);
}

struct ExtremeReply {
  const char* name;
  const Probe* probe;
  std::string body;
  Outcome outcome;
  QtMsgType level;
  std::string log;  // empty: nothing logged
};

// What the simulated device answers to the cursor probe, and to the assessment probe.
const std::string kReading =
    R"({"layerId":2,"cursor":{"enable":1,"pos":{"x":300,"y":100},"color":{"R":255,"G":255,"B":0}}})";
const std::string kResults = R"([{"layerId":1},{"layerId":2}])";
// Where the decoder stops on the unclosed reply below: the end of its text.
const std::string kUnclosedAtEnd = "error at line :0 col :10017 msg:invalid json document!";

TEST_F(HostileInput, ExtremeRepliesAreDecodedOrRefusedAsStated) {
  const std::string megabyte(kMegabyte, 'x');
  const ExtremeReply cases[] = {
      {"deep array skipped", &Stress::kSetCutoutProbe, "{\"deep\":" + deepArray() + ",\"code\":0}", Outcome::AnswerOne,
       QtWarningMsg, ""},
      {"deep object skipped", &Stress::kReadCursorProbe,
       "{\"code\":0,\"deep\":" + deepObject() + ",\"data\":" + kReading + "}", Outcome::DeviceReading, QtWarningMsg,
       ""},
      {"deep array skipped", &Stress::kAssessProbe,
       "{\"code\":0,\"deep\":" + deepArray() + ",\"data\":" + kResults + "}", Outcome::RecordWritten, QtWarningMsg, ""},
      {"deep array never closed", &Stress::kSetCutoutProbe, "{\"code\":0,\"deep\":" + repeated("[", kDepth),
       Outcome::AnswerOne, QtWarningMsg, "put layer cutout result json failed :  " + kUnclosedAtEnd},
      {"deep array never closed", &Stress::kReadCursorProbe, "{\"code\":0,\"deep\":" + repeated("[", kDepth),
       Outcome::MarkedDefault, QtWarningMsg, "put layer cutout cursor result json failed : " + kUnclosedAtEnd},
      {"deep array never closed", &Stress::kAssessProbe, "{\"code\":0,\"deep\":" + repeated("[", kDepth),
       Outcome::RecordUntouched, QtCriticalMsg, "Layer cutout assess decode json failed :  " + kUnclosedAtEnd},
      {"megabyte message", &Stress::kAssessProbe,
       "{\"code\":0,\"message\":\"" + megabyte + "\",\"data\":" + kResults + "}", Outcome::RecordWritten, QtWarningMsg,
       ""},
      // Integers keep their low 32 bits; reals are truncated toward zero and saturated.
      {"code that wraps to zero", &Stress::kSetCutoutProbe, "{\"code\":4294967296}", Outcome::AnswerOne, QtWarningMsg,
       ""},
      {"code beyond 64 bits", &Stress::kSetCutoutProbe, "{\"code\":99999999999999999999999}", Outcome::AnswerZero,
       QtWarningMsg, ""},
      {"reading in odd numbers", &Stress::kReadCursorProbe,
       R"({"code":4294967296,"data":{"layerId":4294967298,"cursor":{"enable":1.9,"pos":{"x":3e2,"y":100},)"
       R"("color":{"R":255.9,"G":2.55e2,"B":-0.5}}}})",
       Outcome::DeviceReading, QtWarningMsg, ""},
      {"code saturated", &Stress::kAssessProbe, "{\"code\":1e400,\"data\":" + kResults + "}", Outcome::RecordUntouched,
       QtWarningMsg, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.name << " to " << c.probe->name);
    session.log().clear();
    session.device().injectFault(c.probe->path, Fault{FaultKind::FixedBody, false, {}, 0, c.body});
    EXPECT_EQ(c.probe->send(session.runtime()), c.outcome);
    if (c.log.empty()) {
      expectNoLog(session.log());
    } else {
      expectOnlyLog(session.log(), {c.level, c.probe->signature, c.log.c_str()});
    }
  }
}

}  // namespace
