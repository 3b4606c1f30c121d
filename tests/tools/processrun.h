#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with
// everything in it when this object goes.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `text` to `name` in the directory; returns its path.
  std::string write(const std::string& name, const std::string& text) const;
  std::string read(const std::string& name) const;

 private:
  std::filesystem::path path_;
};

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

// The lcd-host built in this tree, with `arguments`.
ProcessResult runLcdHost(std::vector<std::string> arguments, const std::string& input = {});
