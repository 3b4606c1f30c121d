#pragma once

#include <string>
#include <vector>

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

// Runs a program built for the target, through the build's emulator when
// the build is a cross build.
ProcessResult runTargetProgram(const std::vector<std::string>& argv, const std::string& input = {});

// The lcd-host built in this tree, with `arguments`.
ProcessResult runLcdHost(const std::vector<std::string>& arguments, const std::string& input = {});
