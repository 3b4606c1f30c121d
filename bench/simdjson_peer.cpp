#include "bench/simdjson_peer.h"

#include <cstdint>
#include <string_view>

#include "bench/mapping_error.h"

namespace codec_bench {
namespace simdjson_peer {
namespace {

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;
using LCD::AutoReport::AutoReportTLVDataMessage;
using LCD::AutoReport::LCDAutoReportData;
using simdjson::ondemand::array;
using simdjson::ondemand::object;
using simdjson::ondemand::value;

template <typename ReadMember>
void for_each_member(object members, ReadMember&& read_member) {
  for (auto field : members) {
    const std::string_view key = field.unescaped_key();
    read_member(key, value(field.value()));
  }
}

int int_of(value v) { return static_cast<int>(std::int64_t(v.get_int64())); }

unsigned uint_of(value v) {
  const std::uint64_t u = v.get_uint64();
  if (u > UINT32_MAX) throw mapping_error("simdjson: unsigned 32-bit expected");
  return static_cast<unsigned>(u);
}

void read_string(value v, std::string& out) {
  const std::string_view text = v.get_string();
  out.assign(text.data(), text.size());
}

void read(object members, s_RGB& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "R")
      out.R = int_of(v);
    else if (key == "G")
      out.G = int_of(v);
    else if (key == "B")
      out.B = int_of(v);
  });
}

void read(object members, s_Pos& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "x")
      out.x = int_of(v);
    else if (key == "y")
      out.y = int_of(v);
  });
}

void read(object members, s_SetCursor& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "enable") out.enable = int_of(v);
  });
}

void read(object members, s_ForegroundColor& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "enable")
      out.enable = int_of(v);
    else if (key == "R")
      out.R = int_of(v);
    else if (key == "G")
      out.G = int_of(v);
    else if (key == "B")
      out.B = int_of(v);
  });
}

void read(object members, s_Brightness& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "threshold")
      out.threshold = int_of(v);
    else if (key == "gain")
      out.gain = int_of(v);
    else if (key == "foregroundColor")
      read(v.get_object(), out.foregroundColor);
  });
}

void read(object members, s_Hue& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "color")
      read(v.get_object(), out.color);
    else if (key == "hueClip")
      out.hueClip = int_of(v);
    else if (key == "hueRamp")
      out.hueRamp = int_of(v);
    else if (key == "saturationClip")
      out.saturationClip = int_of(v);
    else if (key == "saturationGain")
      out.saturationGain = int_of(v);
    else if (key == "spill")
      out.spill = int_of(v);
    else if (key == "shadow")
      out.shadow = int_of(v);
    else if (key == "highLigh")
      out.highLigh = int_of(v);
    else if (key == "edgeSmooth")
      out.edgeSmooth = int_of(v);
  });
}

void read(object members, s_SetCutout& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "enable")
      out.enable = int_of(v);
    else if (key == "cursor")
      read(v.get_object(), out.cursor);
    else if (key == "type")
      out.type = int_of(v);
    else if (key == "brightness")
      read(v.get_object(), out.brightness);
    else if (key == "hue")
      read(v.get_object(), out.hue);
  });
}

void read(object members, s_LayerCutout& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "layerId")
      out.layerId = int_of(v);
    else if (key == "cutout")
      read(v.get_object(), out.cutout);
  });
}

void read(object members, s_Cursor& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "enable")
      out.enable = int_of(v);
    else if (key == "pos")
      read(v.get_object(), out.pos);
    else if (key == "color")
      read(v.get_object(), out.color);
  });
}

void read(object members, s_LayerCursorColorResult& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "layerId")
      out.layerId = int_of(v);
    else if (key == "cursor")
      read(v.get_object(), out.cursor);
  });
}

void read(object members, s_InterfaceId& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "interfaceId") out.interfaceId = int_of(v);
  });
}

// Defined after every record reader, so that it sees them all.
template <typename T>
void read(array elements, std::vector<T>& out);

void read(object members, s_LayerCutoutAssessResult& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "layerId")
      out.layerId = int_of(v);
    else if (key == "state")
      out.state = int_of(v);
    else if (key == "interfaces")
      read(v.get_array(), out.interfaces);
  });
}

void read(object members, AutoReportTLVDataMessage& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "CommandCode")
      out.CommandCode = uint_of(v);
    else if (key == "ErrorCode")
      out.ErrorCode = static_cast<std::uint16_t>(uint_of(v));
    else if (key == "UserDataLength")
      out.UserDataLength = static_cast<std::uint16_t>(uint_of(v));
  });
}

void read(object members, LCDAutoReportData& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "source")
      read_string(v, out.source);
    else if (key == "seq")
      out.seq = uint_of(v);
    else if (key == "sn")
      read_string(v, out.sn);
    else if (key == "tl")
      read(v.get_object(), out.tl);
    else if (key == "body")
      read_string(v, out.body);
  });
}

template <typename T>
void read(array elements, std::vector<T>& out) {
  for (auto element : elements) {
    out.emplace_back();
    read(object(element.get_object()), out.back());
  }
}

// The envelopes' data: one record or an array of them.
void read(value v, s_LayerCursorColorResult& out) { read(object(v.get_object()), out); }
void read(value v, std::vector<s_LayerCutoutAssessResult>& out) { read(array(v.get_array()), out); }

template <typename Envelope>
void read_envelope(object members, Envelope& out) {
  for_each_member(members, [&](std::string_view key, value v) {
    if (key == "code")
      out.code = int_of(v);
    else if (key == "message")
      read_string(v, out.message);
    else if (key == "data")
      read(v, out.data);
  });
}

}  // namespace

void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, LayerCutouts& out) {
  auto document = parser.iterate(json);
  read(array(document.get_array()), out);
}

void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, CursorColorReply& out) {
  auto document = parser.iterate(json);
  read_envelope(object(document.get_object()), out);
}

void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, CutoutReport& out) {
  auto document = parser.iterate(json);
  read(object(document.get_object()), out);
}

void decode(simdjson::ondemand::parser& parser, const simdjson::padded_string& json, AssessReply& out) {
  auto document = parser.iterate(json);
  read_envelope(object(document.get_object()), out);
}

}  // namespace simdjson_peer
}  // namespace codec_bench
