#include "bench/rapidjson_peer.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bench/mapping_error.h"

namespace codec_bench {
namespace rapidjson_peer {
namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;
using LCD::AutoReport::AutoReportTLVDataMessage;
using LCD::AutoReport::LCDAutoReportData;
using Value = rapidjson::Value;
using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

// Reading.

template <typename ReadMember>
void for_each_member(const Value& object, ReadMember&& read_member) {
  if (!object.IsObject()) throw mapping_error("rapidjson: object expected");
  for (const auto& member : object.GetObject()) {
    read_member(std::string_view(member.name.GetString(), member.name.GetStringLength()), member.value);
  }
}

template <typename ReadElement>
void for_each_element(const Value& array, ReadElement&& read_element) {
  if (!array.IsArray()) throw mapping_error("rapidjson: array expected");
  for (const Value& element : array.GetArray()) read_element(element);
}

int int_of(const Value& value) {
  if (!value.IsInt()) throw mapping_error("rapidjson: int expected");
  return value.GetInt();
}

unsigned uint_of(const Value& value) {
  if (!value.IsUint()) throw mapping_error("rapidjson: unsigned expected");
  return value.GetUint();
}

void read_string(const Value& value, std::string& out) {
  if (!value.IsString()) throw mapping_error("rapidjson: string expected");
  out.assign(value.GetString(), value.GetStringLength());
}

void read(const Value& object, s_RGB& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "R")
      out.R = int_of(value);
    else if (key == "G")
      out.G = int_of(value);
    else if (key == "B")
      out.B = int_of(value);
  });
}

void read(const Value& object, s_Pos& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "x")
      out.x = int_of(value);
    else if (key == "y")
      out.y = int_of(value);
  });
}

void read(const Value& object, s_SetCursor& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "enable") out.enable = int_of(value);
  });
}

void read(const Value& object, s_ForegroundColor& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
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

void read(const Value& object, s_Brightness& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "threshold")
      out.threshold = int_of(value);
    else if (key == "gain")
      out.gain = int_of(value);
    else if (key == "foregroundColor")
      read(value, out.foregroundColor);
  });
}

void read(const Value& object, s_Hue& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
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

void read(const Value& object, s_SetCutout& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
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

void read(const Value& object, s_LayerCutout& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "cutout")
      read(value, out.cutout);
  });
}

void read(const Value& object, s_Cursor& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "enable")
      out.enable = int_of(value);
    else if (key == "pos")
      read(value, out.pos);
    else if (key == "color")
      read(value, out.color);
  });
}

void read(const Value& object, s_LayerCursorColorResult& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "cursor")
      read(value, out.cursor);
  });
}

void read(const Value& object, s_InterfaceId& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "interfaceId") out.interfaceId = int_of(value);
  });
}

// Defined after every record reader, so that it sees them all.
template <typename T>
void read(const Value& array, std::vector<T>& out);

void read(const Value& object, s_LayerCutoutAssessResult& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "layerId")
      out.layerId = int_of(value);
    else if (key == "state")
      out.state = int_of(value);
    else if (key == "interfaces")
      read(value, out.interfaces);
  });
}

void read(const Value& object, AutoReportTLVDataMessage& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "CommandCode")
      out.CommandCode = uint_of(value);
    else if (key == "ErrorCode")
      out.ErrorCode = static_cast<std::uint16_t>(uint_of(value));
    else if (key == "UserDataLength")
      out.UserDataLength = static_cast<std::uint16_t>(uint_of(value));
  });
}

void read(const Value& object, LCDAutoReportData& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
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
void read(const Value& array, std::vector<T>& out) {
  for_each_element(array, [&](const Value& element) {
    out.emplace_back();
    read(element, out.back());
  });
}

template <typename T>
void read(const Value& object, s_response<T>& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "code")
      out.code = int_of(value);
    else if (key == "message")
      read_string(value, out.message);
    else if (key == "data")
      read(value, out.data);
  });
}

template <typename T>
void read(const Value& object, s_responseVector<T>& out) {
  for_each_member(object, [&](std::string_view key, const Value& value) {
    if (key == "code")
      out.code = int_of(value);
    else if (key == "message")
      read_string(value, out.message);
    else if (key == "data")
      read(value, out.data);
  });
}

template <typename T>
void parse_and_read(const std::string& json, T& out) {
  rapidjson::Document document;
  document.Parse(json.c_str(), json.size());
  if (document.HasParseError()) throw mapping_error("rapidjson: parse error");
  read(document, out);
}

// Writing.

template <std::size_t N>
void key(Writer& writer, const char (&name)[N]) {
  writer.Key(name, N - 1);
}

template <std::size_t N>
void member(Writer& writer, const char (&name)[N], int value) {
  key(writer, name);
  writer.Int(value);
}

void write(Writer& writer, const s_RGB& value) {
  writer.StartObject();
  member(writer, "R", value.R);
  member(writer, "G", value.G);
  member(writer, "B", value.B);
  writer.EndObject();
}

void write(Writer& writer, const s_Pos& value) {
  writer.StartObject();
  member(writer, "x", value.x);
  member(writer, "y", value.y);
  writer.EndObject();
}

void write(Writer& writer, const s_ForegroundColor& value) {
  writer.StartObject();
  member(writer, "enable", value.enable);
  member(writer, "R", value.R);
  member(writer, "G", value.G);
  member(writer, "B", value.B);
  writer.EndObject();
}

void write(Writer& writer, const s_LayerCutout& value) {
  const s_SetCutout& cutout = value.cutout;
  writer.StartObject();
  member(writer, "layerId", value.layerId);
  key(writer, "cutout");
  writer.StartObject();
  member(writer, "enable", cutout.enable);
  key(writer, "cursor");
  writer.StartObject();
  member(writer, "enable", cutout.cursor.enable);
  writer.EndObject();
  member(writer, "type", cutout.type);
  key(writer, "brightness");
  writer.StartObject();
  member(writer, "threshold", cutout.brightness.threshold);
  member(writer, "gain", cutout.brightness.gain);
  key(writer, "foregroundColor");
  write(writer, cutout.brightness.foregroundColor);
  writer.EndObject();
  key(writer, "hue");
  writer.StartObject();
  key(writer, "color");
  write(writer, cutout.hue.color);
  member(writer, "hueClip", cutout.hue.hueClip);
  member(writer, "hueRamp", cutout.hue.hueRamp);
  member(writer, "saturationClip", cutout.hue.saturationClip);
  member(writer, "saturationGain", cutout.hue.saturationGain);
  member(writer, "spill", cutout.hue.spill);
  member(writer, "shadow", cutout.hue.shadow);
  member(writer, "highLigh", cutout.hue.highLigh);
  member(writer, "edgeSmooth", cutout.hue.edgeSmooth);
  writer.EndObject();
  writer.EndObject();
  writer.EndObject();
}

void write(Writer& writer, const s_LayerCursorColorResult& value) {
  writer.StartObject();
  member(writer, "layerId", value.layerId);
  key(writer, "cursor");
  writer.StartObject();
  member(writer, "enable", value.cursor.enable);
  key(writer, "pos");
  write(writer, value.cursor.pos);
  key(writer, "color");
  write(writer, value.cursor.color);
  writer.EndObject();
  writer.EndObject();
}

void write(Writer& writer, const s_InterfaceId& value) {
  writer.StartObject();
  member(writer, "interfaceId", value.interfaceId);
  writer.EndObject();
}

// Defined after every record writer, so that it sees them all.
template <typename T>
void write(Writer& writer, const std::vector<T>& values);

void write(Writer& writer, const s_LayerCutoutAssessResult& value) {
  writer.StartObject();
  member(writer, "layerId", value.layerId);
  member(writer, "state", value.state);
  key(writer, "interfaces");
  write(writer, value.interfaces);
  writer.EndObject();
}

template <typename T>
void write(Writer& writer, const std::vector<T>& values) {
  writer.StartArray();
  for (const T& value : values) write(writer, value);
  writer.EndArray();
}

template <typename Envelope>
void write_envelope(Writer& writer, const Envelope& value) {
  writer.StartObject();
  member(writer, "code", value.code);
  key(writer, "message");
  writer.String(value.message.data(), static_cast<rapidjson::SizeType>(value.message.size()));
  key(writer, "data");
  write(writer, value.data);
  writer.EndObject();
}

void write(Writer& writer, const CursorColorReply& value) { write_envelope(writer, value); }
void write(Writer& writer, const AssessReply& value) { write_envelope(writer, value); }

template <typename T>
void write_text(std::string& out, const T& value) {
  rapidjson::StringBuffer buffer;
  Writer writer(buffer);
  write(writer, value);
  out.assign(buffer.GetString(), buffer.GetSize());
}

}  // namespace

void decode(const std::string& json, LayerCutouts& out) { parse_and_read(json, out); }
void decode(const std::string& json, CursorColorReply& out) { parse_and_read(json, out); }
void decode(const std::string& json, CutoutReport& out) { parse_and_read(json, out); }
void decode(const std::string& json, AssessReply& out) { parse_and_read(json, out); }

void encode(std::string& out, const LayerCutouts& value) { write_text(out, value); }
void encode(std::string& out, const CursorColorReply& value) { write_text(out, value); }
void encode(std::string& out, const AssessReply& value) { write_text(out, value); }

}  // namespace rapidjson_peer
}  // namespace codec_bench
