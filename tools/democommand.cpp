#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

#include "devicesim/colourbars.h"
#include "devicesim/layerimage.h"
#include "devicesim/pngimage.h"
#include "layercutout/messageids.h"
#include "tools/clierror.h"
#include "tools/commands.h"
#include "tools/livereports.h"
#include "tools/outputdocuments.h"

namespace LCD::Tools {
namespace {

using ProtoModel::Layer::s_LayerCursorColorResult;
using ProtoModel::Layer::s_LayerCutout;
using ProtoModel::Layer::s_ReadLayerCursorColor;
namespace MessageId = LayerCutout::MessageId;

constexpr int kCursorLayer = 2;
constexpr std::chrono::seconds kReportWait{2};

// Layer 1 keyed by brightness, layer 2 by hue on green with its cursor on.
std::vector<s_LayerCutout> demoLayers() {
  s_LayerCutout brightnessKey;
  brightnessKey.layerId = 1;
  brightnessKey.cutout.enable = 1;
  brightnessKey.cutout.type = 0;
  brightnessKey.cutout.brightness.threshold = 20;
  brightnessKey.cutout.brightness.gain = 60;

  s_LayerCutout hueKey;
  hueKey.layerId = kCursorLayer;
  hueKey.cutout.enable = 1;
  hueKey.cutout.cursor.enable = 1;
  hueKey.cutout.type = 1;
  hueKey.cutout.hue.color = {0, 255, 0};
  hueKey.cutout.hue.hueClip = 20;
  return {brightnessKey, hueKey};
}

std::string describe(const s_LayerCutout& layer) {
  const auto& cutout = layer.cutout;
  std::string text = "layer " + std::to_string(layer.layerId) + ": cutout " + (cutout.enable ? "on" : "off") +
                     ", type " + std::to_string(cutout.type) + ", cursor " + (cutout.cursor.enable ? "on" : "off");
  if (cutout.type == 0) {
    return text + ", brightness threshold " + std::to_string(cutout.brightness.threshold) + ", gain " +
           std::to_string(cutout.brightness.gain);
  }
  const auto& hue = cutout.hue;
  return text + ", hue colour (" + std::to_string(hue.color.R) + ", " + std::to_string(hue.color.G) + ", " +
         std::to_string(hue.color.B) + "), hue clip " + std::to_string(hue.hueClip);
}

// The colour with its name when it is one of the simulator's colour bars.
std::string describe(const ProtoModel::s_RGB& colour) {
  const std::string text =
      "R " + std::to_string(colour.R) + " G " + std::to_string(colour.G) + " B " + std::to_string(colour.B);
  const char* name = DeviceSim::colourBarName({colour.R, colour.G, colour.B});
  return name == nullptr ? text : text + " (" + name + ")";
}

std::string describe(const s_LayerCursorColorResult& reading) {
  const auto& cursor = reading.cursor;
  return "layer " + std::to_string(reading.layerId) + ", cursor " + (cursor.enable ? "on" : "off") + " at (" +
         std::to_string(cursor.pos.x) + ", " + std::to_string(cursor.pos.y) + "), colour " + describe(cursor.color);
}

// A device report as the host receives it: the envelope around `body`.
template <typename T>
std::string deviceReport(std::uint32_t seq, const T& body) {
  AutoReport::LCDAutoReportData report;
  report.source = "device";
  report.seq = seq;
  report.sn = "LCD-DEMO-0001";
  ProtoModel::encode(report.body, body);
  std::string text;
  ProtoModel::encode(text, report);
  return text;
}

class Demo {
 public:
  explicit Demo(HostSession& session) : session_(session), layers_(demoLayers()) {}

  void run() {
    std::cout << "lcd-host demo: the layer cutout plug-in in a host runtime\n"
              << "plug-in: " << session_.pluginPath() << '\n'
              << "device:  " << (session_.device().simulated() ? "embedded simulator at " : "")
              << session_.device().url() << "\n";
    if (session_.device().simulated()) {
      std::cout << "page:    " << session_.device().url() << "/ shows the layers keyed, live, while the demo runs\n";
    }
    step("Set the cutout of layers 1 and 2 (command " + hexId(MessageId::kSetLayerCutout) + ")",
         [this] { return setLayers(); });
    step("Read the colour under layer 2's cutout cursor across the colour bars (command " +
             hexId(MessageId::kSetLayerCutoutCursor) + ")",
         [this] { return readColours(); });
    step("Assess the two layers' settings (command " + hexId(MessageId::kGetLayerCutoutAssess) + ")",
         [this] { return assessLayers(); });
    step("Deliver a cutout report (event " + hexId(MessageId::kLayerCutoutReport) + ")",
         [this] { return reportCutout(); });
    step("Deliver a cursor report (event " + hexId(MessageId::kLayerCutoutCursorReport) + ")",
         [this] { return reportCursor(); });
    step("Change layer 1's cutout and receive the device's live report (event " +
             hexId(MessageId::kLayerCutoutChanged) + ")",
         [this] { return liveReport(); });
    std::cout << "\ndemo: " << steps_ - failures_ << " of " << steps_ << " steps succeeded\n";
    if (failures_ != 0) {
      throw CliError(ExitCode::deviceFailure, std::to_string(failures_) + " demo steps failed");
    }
  }

 private:
  void step(const std::string& title, const std::function<bool()>& body) {
    std::cout << '\n' << ++steps_ << ". " << title << '\n';
    bool succeeded = false;
    try {
      succeeded = body();
    } catch (const CliError& error) {
      std::cout << "   failed: " << error.what() << '\n';
    }
    failures_ += succeeded ? 0 : 1;
  }

  bool setLayers() {
    for (const auto& layer : layers_) {
      std::cout << "   " << describe(layer) << '\n';
    }
    const unsigned char answer = session_.setCutout(layers_);
    std::cout << "   answer " << int{answer} << (answer == 1 ? ": the device accepted both layers\n" : ": refused\n");
    return answer == 1 && drawKeys();
  }

  bool readColours() {
    bool allRead = true;
    for (const int x : {120, 600, 1080, 1800}) {
      s_ReadLayerCursorColor request;
      request.layerId = kCursorLayer;
      request.cursor.enable = 1;
      request.cursor.pos = {x, 540};
      const auto reading = session_.readColour(request);
      if (reading.layerId == -1) {
        std::cout << "   (" << x << ", 540): the device could not read the colour (layerId -1)\n";
        allRead = false;
      } else {
        std::cout << "   (" << x << ", 540): " << describe(reading.cursor.color) << '\n';
      }
    }
    return allRead;
  }

  // The keys as the simulator's page shows them now, drawn here with its
  // formulas so that it works against any device. No colour was read yet:
  // a cursor is at the top left.
  bool drawKeys() {
    for (const auto& layer : layers_) {
      const std::filesystem::path path =
          std::filesystem::temp_directory_path() / ("lcd-host-demo-layer-" + std::to_string(layer.layerId) + ".png");
      std::ofstream file(path, std::ios::binary);
      file << DeviceSim::encodePng(DeviceSim::renderLayer(layer.cutout, {}));
      file.close();
      if (!file) {
        std::cout << "   cannot write " << path.string() << '\n';
        return false;
      }
      std::cout << "   layer " << layer.layerId << "'s key: " << path.string() << '\n';
    }
    return true;
  }

  bool assessLayers() {
    const auto result = session_.assess(layers_);
    if (!result) {
      std::cout << "   no results: the exchange record is untouched\n";
      return false;
    }
    for (const auto& layer : result->data) {
      std::cout << "   layer " << layer.layerId << ": state " << layer.state << ", interfaces";
      const char* separator = " ";
      for (const auto& interface : layer.interfaces) {
        std::cout << separator << interface.interfaceId;
        separator = ", ";
      }
      std::cout << '\n';
    }
    return true;
  }

  bool reportCutout() {
    std::vector<s_LayerCutout> changed{layers_.back()};
    changed.front().cutout.hue.hueClip = 30;
    std::cout << "   the device reports: " << describe(changed.front()) << '\n';
    const auto sent = session_.reportCutout(deviceReport(1, changed));
    if (!sent) {
      std::cout << "   the plug-in sent no event\n";
      return false;
    }
    std::cout << "   event " << hexId(MessageId::kLayerCutoutChanged) << " with the changed settings:\n";
    for (const auto& layer : *sent) {
      std::cout << "     " << describe(layer) << '\n';
    }
    return true;
  }

  bool reportCursor() {
    s_LayerCursorColorResult moved;
    moved.layerId = kCursorLayer;
    moved.cursor.enable = 1;
    moved.cursor.pos = {900, 300};
    moved.cursor.color = {255, 0, 255};
    std::cout << "   the device reports: " << describe(moved) << '\n';
    const auto sent = session_.reportCursor(deviceReport(2, moved));
    if (!sent) {
      std::cout << "   the plug-in sent no event\n";
      return false;
    }
    std::cout << "   event " << hexId(MessageId::kLayerCutoutCursorChanged) << ": " << describe(*sent) << '\n';
    return true;
  }

  bool liveReport() {
    LiveReports reports(session_);
    reports.awaitStream();
    std::vector<s_LayerCutout> changed{layers_.front()};
    changed.front().cutout.brightness.threshold = 35;
    std::cout << "   set " << describe(changed.front()) << '\n';
    if (session_.setCutout(changed) != 1) {
      std::cout << "   the device refused the settings\n";
      return false;
    }
    const std::optional<ReportEvent> event = reports.next(kReportWait);
    const auto* sent = event ? std::get_if<std::vector<s_LayerCutout>>(&event->data) : nullptr;
    if (sent == nullptr) {
      std::cout << "   no event " << hexId(MessageId::kLayerCutoutChanged) << " within " << kReportWait.count()
                << " s\n";
      return false;
    }
    std::cout << "   the device reported the change; event " << hexId(event->id) << ":\n";
    for (const auto& layer : *sent) {
      std::cout << "     " << describe(layer) << '\n';
    }
    return true;
  }

  HostSession& session_;
  const std::vector<s_LayerCutout> layers_;
  int steps_ = 0;
  int failures_ = 0;
};

}  // namespace

void demo(const SessionOptions& options) {
  HostSession session(options);
  Demo(session).run();
}

}  // namespace LCD::Tools
