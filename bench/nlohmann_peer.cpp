#include "bench/nlohmann_peer.h"

#include <cstdint>
#include <nlohmann/json.hpp>

#include "bench/mapping_error.h"

namespace codec_bench {
namespace nlohmann_peer {
namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;
using LCD::AutoReport::AutoReportTLVDataMessage;
using LCD::AutoReport::LCDAutoReportData;
using json = nlohmann::json;

template <typename ReadMember>
void for_each_member(const json& object, ReadMember&& read_member) {
  if (!object.is_object()) throw mapping_error("nlohmann: object expected");
  for (auto it = object.begin(); it != object.end(); ++it) read_member(it.key(), it.value());
}

int int_of(const json& value) {
  if (!value.is_number_integer()) throw mapping_error("nlohmann: int expected");
  return value.get<int>();
}

unsigned uint_of(const json& value) {
  if (!value.is_number_unsigned()) throw mapping_error("nlohmann: unsigned expected");
  return value.get<unsigned>();
}

void read_string(const json& value, std::string& out) {
  if (!value.is_string()) throw mapping_error("nlohmann: string expected");
  out = value.get_ref<const std::string&>();
}

void read(const json& object, s_RGB& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "R")
      out.R = int_of(value);
    else if (key == "G")
      out.G = int_of(value);
    else if (key == "B")
      out.B = int_of(value);
  });
}

void read(const json& object, s_Pos& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "x")
      out.x = int_of(value);
    else if (key == "y")
      out.y = int_of(value);
  });
}

void read(const json& object, s_SetCursor& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "enable") out.enable = int_of(value);
  });
}

void read(const json& object, s_ForegroundColor& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "enable")
      out.enable = int_of(value);
    else if (key == "R")
      out.R = int_of(value);
    else if (key == "G")
      out.G = int_of(value);
    else if (key == "B")
      out.B = int_of(value);
  });
}

void read(const json& object, s_Brightness& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "threshold")
      out.threshold = int_of(value);
    else if (key == "gain")
      out.gain = int_of(value);
    else if (key == "foregroundColor")
      read(value, out.foregroundColor);
  });
}

void read(const json& object, s_Hue& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "color")
      read(value, out.color);
    else if (key == "hueClip")
      out.hueClip = int_of(value);
    else if (key == "hueRamp")
      out.hueRamp = int_of(value);
    else if (key == "saturationClip")
      out.saturationClip = int_of(value);
    else if (key == "saturationGain")
      out.saturationGain = int_of(value);
    else if (key == "spill")
      out.spill = int_of(value);
    else if (key == "shadow")
      out.shadow = int_of(value);
    else if (key == "highLigh")
      out.highLigh = int_of(value);
    else if (key == "edgeSmooth")
      out.edgeSmooth = int_of(value);
  });
}

void read(const json& object, s_SetCutout& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "enable")
      out.enable = int_of(value);
    else if (key == "cursor")
      read(value, out.cursor);
    else if (key == "type")
      out.type = int_of(value);
    else if (key == "brightness")
      read(value, out.brightness);
    else if (key == "hue")
      read(value, out.hue);
  });
}

void read(const json& object, s_LayerCutout& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "cutout")
      read(value, out.cutout);
  });
}

void read(const json& object, s_Cursor& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "enable")
      out.enable = int_of(value);
    else if (key == "pos")
      read(value, out.pos);
    else if (key == "color")
      read(value, out.color);
  });
}

void read(const json& object, s_LayerCursorColorResult& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "cursor")
      read(value, out.cursor);
  });
}

void read(const json& object, s_InterfaceId& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "interfaceId") out.interfaceId = int_of(value);
  });
}

// Defined after every record reader, so that it sees them all.
template <typename T>
void read(const json& array, std::vector<T>& out);

void read(const json& object, s_LayerCutoutAssessResult& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "state")
      out.state = int_of(value);
    else if (key == "interfaces")
      read(value, out.interfaces);
  });
}

void read(const json& object, AutoReportTLVDataMessage& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "CommandCode")
      out.CommandCode = uint_of(value);
    else if (key == "ErrorCode")
      out.ErrorCode = static_cast<std::uint16_t>(uint_of(value));
    else if (key == "UserDataLength")
      out.UserDataLength = static_cast<std::uint16_t>(uint_of(value));
  });
}

void read(const json& object, LCDAutoReportData& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "source")
      read_string(value, out.source);
    else if (key == "seq")
      out.seq = uint_of(value);
    else if (key == "sn")
      read_string(value, out.sn);
    else if (key == "tl")
      read(value, out.tl);
    else if (key == "body")
      read_string(value, out.body);
  });
}

template <typename T>
void read(const json& array, std::vector<T>& out) {
  if (!array.is_array()) throw mapping_error("nlohmann: array expected");
  for (const json& element : array) {
    out.emplace_back();
    read(element, out.back());
  }
}

template <typename Envelope>
void envelope_read(const json& object, Envelope& out) {
  for_each_member(object, [&](const std::string& key, const json& value) {
    if (key == "code")
      out.code = int_of(value);
    else if (key == "message")
      read_string(value, out.message);
    else if (key == "data")
      read(value, out.data);
  });
}

void read(const json& object, CursorColorReply& out) { envelope_read(object, out); }
void read(const json& object, AssessReply& out) { envelope_read(object, out); }

template <typename T>
void parse_and_read(const std::string& text, T& out) {
  read(json::parse(text), out);
}

json as_json(const s_RGB& value) { return {{"R", value.R}, {"G", value.G}, {"B", value.B}}; }

json as_json(const s_Pos& value) { return {{"x", value.x}, {"y", value.y}}; }

json as_json(const s_ForegroundColor& value) {
  return {{"enable", value.enable}, {"R", value.R}, {"G", value.G}, {"B", value.B}};
}

json as_json(const s_LayerCutout& value) {
  const s_SetCutout& cutout = value.cutout;
  return {{"layerId", value.layerId},
          {"cutout",
           {{"enable", cutout.enable},
            {"cursor", {{"enable", cutout.cursor.enable}}},
            {"type", cutout.type},
            {"brightness",
             {{"threshold", cutout.brightness.threshold},
              {"gain", cutout.brightness.gain},
              {"foregroundColor", as_json(cutout.brightness.foregroundColor)}}},
            {"hue",
             {{"color", as_json(cutout.hue.color)},
              {"hueClip", cutout.hue.hueClip},
              {"hueRamp", cutout.hue.hueRamp},
              {"saturationClip", cutout.hue.saturationClip},
              {"saturationGain", cutout.hue.saturationGain},
              {"spill", cutout.hue.spill},
              {"shadow", cutout.hue.shadow},
              {"highLigh", cutout.hue.highLigh},
              {"edgeSmooth", cutout.hue.edgeSmooth}}}}}};
}

json as_json(const s_LayerCursorColorResult& value) {
  return {
      {"layerId", value.layerId},
      {"cursor",
       {{"enable", value.cursor.enable}, {"pos", as_json(value.cursor.pos)}, {"color", as_json(value.cursor.color)}}}};
}

json as_json(const s_InterfaceId& value) { return {{"interfaceId", value.interfaceId}}; }

// Defined after every record writer, so that it sees them all.
template <typename T>
json as_json(const std::vector<T>& values);

json as_json(const s_LayerCutoutAssessResult& value) {
  return {{"layerId", value.layerId}, {"state", value.state}, {"interfaces", as_json(value.interfaces)}};
}

template <typename T>
json as_json(const std::vector<T>& values) {
  json array = json::array();
  for (const T& value : values) array.push_back(as_json(value));
  return array;
}

template <typename Envelope>
json envelope_as_json(const Envelope& value) {
  return {{"code", value.code}, {"message", value.message}, {"data", as_json(value.data)}};
}

json as_json(const CursorColorReply& value) { return envelope_as_json(value); }
json as_json(const AssessReply& value) { return envelope_as_json(value); }

template <typename T>
void write_text(std::string& out, const T& value) {
  out = as_json(value).dump();
}

}  // namespace

void decode(const std::string& text, LayerCutouts& out) { parse_and_read(text, out); }
void decode(const std::string& text, CursorColorReply& out) { parse_and_read(text, out); }
void decode(const std::string& text, CutoutReport& out) { parse_and_read(text, out); }
void decode(const std::string& text, AssessReply& out) { parse_and_read(text, out); }

void encode(std::string& out, const LayerCutouts& value) { write_text(out, value); }
void encode(std::string& out, const CursorColorReply& value) { write_text(out, value); }
void encode(std::string& out, const AssessReply& value) { write_text(out, value); }

}  // namespace nlohmann_peer
}  // namespace codec_bench
