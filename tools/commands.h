#pragma once

#include <functional>

#include <CLI/CLI.hpp>

#include "tools/hostsession.h"

namespace LCD::Tools {

// The work a parsed command line asks for. It throws CliError on failure.
using Job = std::function<void(const SessionOptions&)>;

// Each adds its subcommand to `app`; when the subcommand is chosen, parsing
// stores its work in `job`.
void addSetCutoutCommand(CLI::App& app, Job& job);
void addReadColorCommand(CLI::App& app, Job& job);
void addAssessCommand(CLI::App& app, Job& job);
void addReportCommand(CLI::App& app, Job& job);
void addDemoCommand(CLI::App& app, Job& job);
void addWatchCommand(CLI::App& app, Job& job);

}  // namespace LCD::Tools
