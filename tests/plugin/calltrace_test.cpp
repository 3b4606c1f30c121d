// Everything the loaded plug-in does outside itself, in order, for every
// message it can be given: the host interface slots it calls, its device
// library calls with their arguments, and what it logs. Each case of
// calltraces.json runs once against partners of each hand-back kind: the
// trace must not change. In an expected trace "@name" stands for the lines of
// a macro and "%name text" for a log line of the handler that prefix names;
// in a payload "«c*N»" stands for N times the character c.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "layercutout/assessexchange.h"
#include "tests/plugin/tracehost.h"

namespace {

using nlohmann::json;

const json& table() {
  static const json parsed = json::parse(std::ifstream(LCD_PLUGIN_TEST_DIR "/calltraces.json"));
  return parsed;
}

void expand(const std::string& line, Trace& out) {
  if (line[0] == '@') {
    for (const auto& part : table()["macros"].at(line.substr(1))) expand(part, out);
  } else if (line[0] == '%') {
    const auto space = line.find(' ');
    out.push_back(table()["prefixes"].at(line.substr(1, space - 1)).get<std::string>() + line.substr(space + 1));
  } else {
    out.push_back(line);
  }
}

std::string repeated(const std::string& text) {
  static const std::regex run("«(.)\\*([0-9]+)»");
  std::string out;
  std::sregex_iterator it(text.begin(), text.end(), run), end;
  std::size_t from = 0;
  for (; it != end; ++it) {
    out += text.substr(from, it->position() - from) + std::string(std::stoul((*it)[2]), (*it)[1].str()[0]);
    from = it->position() + it->length();
  }
  return out + text.substr(from);
}

std::uint32_t number(const std::string& text) {
  return text == "command" ? kCommandType : text == "event" ? kEventType : std::stoul(text, nullptr, 16);
}

// The payloads the cases name, each with the size it is sent with.
struct Payload {
  std::vector<LCD::ProtoModel::Layer::s_LayerCutout> layers;
  LCD::ProtoModel::Layer::s_ReadLayerCursorColor cursor{2, {1, {640, 360}}};
  LayerCutout::AssessExchange exchange{};
  LayerCutout::AssessExchange* record = &exchange;
  unsigned char zeros[32] = {};
  std::string text;
  std::pair<const void*, int> sent{nullptr, 0};

  explicit Payload(const std::string& name) {
    exchange.layers.resize(1);
    exchange.layers[0].layerId = 1;
    exchange.result = {42, "before", {{}}};
    if (name == "cursor") sent = {&cursor, sizeof cursor};
    if (name == "assess") sent = {&record, sizeof record};
    if (name == "zeros") sent = {zeros, sizeof zeros};
    if (name.rfind("layers ", 0) == 0) {
      layers.resize(std::stoul(name.substr(7)));
      for (std::size_t i = 0; i < layers.size(); ++i) layers[i].layerId = static_cast<int>(i) + 1;
      sent = {&layers, sizeof layers};
    }
    if (name.rfind("text ", 0) == 0) {
      text = repeated(name.substr(5));
      sent = {text.c_str(), static_cast<int>(text.size() + 1)};
    }
    if (sent.first == nullptr && name != "null") throw std::invalid_argument("unknown payload: " + name);
  }
};

struct Case {
  json row;
  Handback handback;
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.row["name"] << " " << handbackName(c.handback); }

std::vector<Case> everyCaseUnderEveryHandback() {
  std::vector<Case> cases;
  for (const json& row : table()["cases"])
    for (Handback handback : {Handback::Reset, Handback::Leave, Handback::Poison}) cases.push_back({row, handback});
  return cases;
}

std::string caseName(const testing::TestParamInfo<Case>& info) {
  static const char* const kHandbacks[] = {"reset", "leave", "poison"};
  std::string name =
      info.param.row["name"].get<std::string>() + " " + kHandbacks[static_cast<int>(info.param.handback)];
  for (char& c : name)
    if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
  return name;
}

std::string joined(const Trace& trace) {
  std::string out;
  for (const auto& line : trace) out += line + "\n";
  return out;
}

class CallTrace : public testing::TestWithParam<Case> {};

TEST_P(CallTrace, MakesTheCallsItShouldInOrder) {
  const json& c = GetParam().row;
  static const std::set<std::string> kKeys = {"name",  "type",     "id",         "payload",  "size",
                                              "reply", "answered", "initialise", "withheld", "trace"};
  for (const auto& item : c.items()) ASSERT_EQ(kKeys.count(item.key()), 1u) << "unknown key " << item.key();
  TracedPlugin plugin(GetParam().handback, c.value("withheld", std::set<std::string>{}), c.value("initialise", true));
  const std::string name = c["payload"];
  const Payload payload(name);
  std::optional<std::string> reply = R"({"code":0})";
  if (c.contains("reply")) reply = c["reply"].is_null() ? std::nullopt : std::optional(c["reply"]);
  const bool answered = plugin.deliver(number(c["type"]), number(c["id"]), payload.sent.first,
                                       c.value("size", payload.sent.second), reply);
  if (name == "assess") {
    std::string record;
    LCD::ProtoModel::encode(record, payload.exchange.result);
    plugin.trace.push_back("record: " + record);
  }
  Trace expected;
  for (const auto& line : c["trace"]) expand(line, expected);
  EXPECT_EQ(joined(plugin.trace), joined(expected));
  EXPECT_EQ(answered, c.value("answered", false));
}

INSTANTIATE_TEST_SUITE_P(Table, CallTrace, testing::ValuesIn(everyCaseUnderEveryHandback()), caseName);

}  // namespace
