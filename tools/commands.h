#pragma once

#include <optional>
#include <string>

#include "proto/layercutout.h"
#include "tools/hostsession.h"

// The work of each lcd-host command, once its command line is parsed (the
// command line itself is in main.cpp, the one file that includes CLI11).
// Each throws CliError on failure.
namespace LCD::Tools {

// Layer cutouts read from `file` ("-": standard input).
void setCutout(const std::string& file, const SessionOptions& options);
void assess(const std::string& file, const SessionOptions& options);

void readColor(const ProtoModel::Layer::s_ReadLayerCursorColor& request, const SessionOptions& options);

// `kind` is "cutout" or "cursor".
void report(const std::string& kind, const std::string& file, const SessionOptions& options);

void demo(const SessionOptions& options);

struct WatchArguments {
  std::optional<int> count;
  std::optional<double> seconds;
  double silence = 60;  // seconds
};
void watch(const WatchArguments& arguments, const SessionOptions& options);

}  // namespace LCD::Tools
