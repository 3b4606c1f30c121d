// Everything the loaded plug-in does outside itself, in order, for every
// message it can be given: the host interface slots it calls, its device
// library calls with their arguments, and what it logs. Each case of
// calltraces.json runs once against partners of each hand-back kind: the
// trace must not change; after an assessment it ends with the caller's
// record as JSON. A case names its handler with "to" (one of
// "targets") or gives "type" and "id". In an expected trace "@name" stands for
// the lines of a macro; in a trace line or a payload "«name»" stands for one of
// "texts" and "«c*N»" for N times the character c.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "layercutout/assessexchange.h"
#include "tests/plugin/tracehost.h"

namespace {

using nlohmann::json;

const json& table() {
  static const json parsed = json::parse(std::ifstream(LCD_PLUGIN_TEST_DIR "/calltraces.json"));
  return parsed;
}

std::string filled(const std::string& text) {
  static const std::regex mark("«(?:(.)\\*([0-9]+)|([a-z! ]+))»");
  std::string out;
  std::sregex_iterator it(text.begin(), text.end(), mark), end;
  std::size_t from = 0;
  for (; it != end; ++it) {
    const auto& m = *it;
    out += text.substr(from, m.position() - from) +
           (m[3].matched ? filled(table()["texts"].at(m[3].str())) : std::string(std::stoul(m[2]), m[1].str()[0]));
    from = m.position() + m.length();
  }
  return out + text.substr(from);
}

void expand(const std::string& line, Trace& out) {
  if (line[0] != '@') return out.push_back(filled(line));
  for (const auto& part : table()["macros"].at(line.substr(1))) expand(part, out);
}

std::uint32_t number(const std::string& text) {
  return text == "command" ? kCommandType : text == "event" ? kEventType : std::stoul(text, nullptr, 16);
}

// The payloads the cases name, each with the size it is sent with.
struct Payload {
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers{{1, {}}};
  LCD::ProtoModel::Layer::s_ReadLayerCursorColor cursor{2, {1, {640, 360}}};
  LayerCutout::AssessExchange exchange{{}, layers, {42, "before", {{}}}};
  LayerCutout::AssessExchange* record = &exchange;
  unsigned char zeros[32] = {};
  std::string text;
  std::pair<const void*, int> sent;

  explicit Payload(const std::string& name) {
    if (name.rfind("text ", 0) == 0) text = filled(name.substr(5));
    const std::map<std::string, std::pair<const void*, int>> named = {{"layer", {&layers, sizeof layers}},
                                                                      {"cursor", {&cursor, sizeof cursor}},
                                                                      {"assess", {&record, sizeof record}},
                                                                      {"zeros", {zeros, sizeof zeros}},
                                                                      {"null", {nullptr, 0}}};
    const auto found = named.find(name);
    if (text.empty() && found == named.end()) throw std::invalid_argument("unknown payload: " + name);
    sent = text.empty() ? found->second : std::pair<const void*, int>(text.c_str(), static_cast<int>(text.size() + 1));
  }
};

// A row of the table and the hand-back kind of the partners it runs against.
using Case = std::tuple<json, Handback>;

std::string caseName(const testing::TestParamInfo<Case>& info) {
  return testName(std::get<0>(info.param)["name"].get<std::string>() + " " + handbackName(std::get<1>(info.param)));
}

std::string joined(const Trace& trace) {
  std::string out;
  for (const auto& line : trace) out += line + "\n";
  return out;
}

class CallTrace : public testing::TestWithParam<Case> {};

TEST_P(CallTrace, MakesTheCallsItShouldInOrder) {
  const auto& [c, handback] = GetParam();
  static const std::set<std::string> kKeys = {"name",  "to",       "type",       "id",       "payload", "size",
                                              "reply", "answered", "initialise", "withheld", "trace"};
  for (const auto& item : c.items()) ASSERT_EQ(kKeys.count(item.key()), 1u) << "unknown key " << item.key();
  TracedPlugin plugin(handback, c.value("withheld", std::set<std::string>{}), c.value("initialise", true));
  const std::string name = c.value("payload", "null");
  const Payload payload(name);
  const json to = c.contains("to") ? table()["targets"].at(c["to"].get<std::string>()) : json{c.at("type"), c.at("id")};
  const json reply = c.value("reply", json());  // none: no response
  const bool answered =
      plugin.deliver(number(to[0]), number(to[1]), payload.sent.first, c.value("size", payload.sent.second),
                     reply.is_null() ? std::nullopt : std::optional(reply.get<std::string>()));
  if (name == "assess") LCD::ProtoModel::encode(plugin.trace.emplace_back(), payload.exchange.result);
  Trace expected;
  for (const auto& line : c["trace"]) expand(line, expected);
  EXPECT_EQ(joined(plugin.trace), joined(expected));
  EXPECT_EQ(answered, c.value("answered", false));
}

INSTANTIATE_TEST_SUITE_P(Table, CallTrace,
                         testing::Combine(testing::ValuesIn(table()["cases"]), testing::ValuesIn(kHandbacks)),
                         caseName);

}  // namespace
