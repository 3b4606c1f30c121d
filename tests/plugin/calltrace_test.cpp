// Everything the loaded plug-in does outside itself, in order, for every
// message it can be given: the host interface slots it calls, its device
// library calls with their arguments, and what it logs. The cases are
// calltraces.json; in an expected trace "@name" stands for the lines of a
// macro.
// A payload "file NAME" is read from NAME beside this file: reports far
// longer than a table holds or a fuzzer tries.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "layercutout/assessexchange.h"
#include "tests/plugin/tracehost.h"

namespace {

using nlohmann::json;

void expand(const json& table, const std::string& line, Trace& out) {
  if (line[0] != '@') return out.push_back(line);
  for (const auto& part : table["macros"][line.substr(1)]) expand(table, part, out);
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

  explicit Payload(const std::string& name) {
    exchange.layers.resize(1);
    exchange.layers[0].layerId = 1;
    exchange.result = {42, "before", {{}}};
    if (name.rfind("layers ", 0) == 0) {
      layers.resize(std::stoul(name.substr(7)));
      for (std::size_t i = 0; i < layers.size(); ++i) layers[i].layerId = static_cast<int>(i) + 1;
    }
    if (name.rfind("text ", 0) == 0) text = name.substr(5);
    if (name.rfind("file ", 0) == 0) {
      std::ifstream file(LCD_PLUGIN_TEST_DIR "/" + name.substr(5), std::ios::binary);
      text.assign(std::istreambuf_iterator<char>(file), {});
    }
  }
  std::pair<const void*, int> of(const std::string& name) const {
    if (name == "cursor") return {&cursor, sizeof cursor};
    if (name == "assess") return {&record, sizeof record};
    if (name == "zeros") return {zeros, sizeof zeros};
    if (name.rfind("layers ", 0) == 0) return {&layers, sizeof layers};
    if (!text.empty()) return {text.c_str(), static_cast<int>(text.size() + 1)};
    return {nullptr, 0};
  }
};

TEST(CallTrace, EveryMessageMakesTheCallsItShouldInOrder) {
  const json table = json::parse(std::ifstream(LCD_PLUGIN_TEST_DIR "/calltraces.json"));
  for (const json& c : table["cases"]) {
    SCOPED_TRACE(c["name"].get<std::string>());
    TracedPlugin plugin(c.value("withheld", std::set<std::string>{}), c.value("initialise", true));
    const std::string name = c["payload"];
    const Payload payload(name);
    auto [data, size] = payload.of(name);
    size = c.value("size", size);
    std::optional<std::string> reply = R"({"code":0})";
    if (c.contains("reply")) reply = c["reply"].is_null() ? std::nullopt : std::optional(c["reply"]);
    const bool answered = plugin.deliver(number(c["type"]), number(c["id"]), data, size, reply) != nullptr;
    if (name == "assess") {
      std::string record;
      LCD::ProtoModel::encode(record, payload.exchange.result);
      plugin.trace.push_back("record: " + record);
    }
    Trace expected;
    for (const auto& line : c["trace"]) expand(table, line, expected);
    EXPECT_EQ(plugin.trace, expected);
    EXPECT_EQ(answered, c.value("answered", false));
  }
}

}  // namespace
