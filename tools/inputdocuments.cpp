#include "tools/inputdocuments.h"

#include "proto/response.h"
#include "tools/clierror.h"

namespace LCD::Tools {
namespace {

template <typename T>
T decodeInput(const std::string& text, const std::string& source, const char* expected) {
  T value{};
  std::string error;
  if (!ProtoModel::decode(text, value, error)) {
    throw CliError(ExitCode::badUsage, source + ": not " + expected + ": " + error);
  }
  return value;
}

}  // namespace

std::vector<ProtoModel::Layer::s_LayerCutout> parseLayerCutouts(const std::string& text, const std::string& source) {
  return decodeInput<std::vector<ProtoModel::Layer::s_LayerCutout>>(text, source, "a JSON array of layer cutouts");
}

void checkReport(const std::string& text, const std::string& source) {
  decodeInput<AutoReport::LCDAutoReportData>(text, source, "a device report");
}

}  // namespace LCD::Tools
