#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/tools/scratchdir.h"

// What a finished program left behind.
struct ProcessResult {
  int exitCode = -1;  // -1 when it did not exit normally
  std::string out;
  std::string err;
};

// Runs `argv` (argv[0] a path) to completion with `input` on its standard
// input; its standard output and error are captured through files, so a
// chatty program cannot block on a full pipe.
ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input = {});

// Starts `argv` in the background with `input` on its standard input and its
// standard output and error going to NAME.out and NAME.err in `io`.
pid_t startProcess(const std::vector<std::string>& argv, const ScratchDir& io, const std::string& name,
                   const std::string& input = {});
// Its exit code, -1 when it did not exit normally.
int waitForExit(pid_t pid);

// `argv` as the build runs a program built for the target: through its emulator, if any.
std::vector<std::string> onTarget(const std::vector<std::string>& argv);

// Runs a program built for the target, through the build's emulator when
// the build is a cross build.
ProcessResult runTargetProgram(const std::vector<std::string>& argv, const std::string& input = {});

// The lcd-host built in this tree, with `arguments`.
ProcessResult runLcdHost(const std::vector<std::string>& arguments, const std::string& input = {});
