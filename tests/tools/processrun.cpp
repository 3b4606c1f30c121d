#include "tests/tools/processrun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

#include "tests/tools/scratchdir.h"

extern char** environ;

namespace {

// Frees the file actions however the spawn goes.
class FileActions {
 public:
  FileActions() { posix_spawn_file_actions_init(&actions_); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;

  void open(int fd, const std::string& path, int flags) {
    posix_spawn_file_actions_addopen(&actions_, fd, path.c_str(), flags, 0600);
  }
  const posix_spawn_file_actions_t* get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

int waitForExit(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) {
      throw std::runtime_error("waitpid failed");
    }
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t startProcess(const std::vector<std::string>& argv, const ScratchDir& io, const std::string& name,
                   const std::string& input) {
  FileActions actions;
  actions.open(STDIN_FILENO, io.write(name + ".in", input), O_RDONLY);
  actions.open(STDOUT_FILENO, (io.path() / (name + ".out")).string(), O_WRONLY | O_CREAT | O_TRUNC);
  actions.open(STDERR_FILENO, (io.path() / (name + ".err")).string(), O_WRONLY | O_CREAT | O_TRUNC);

  std::vector<char*> arguments;
  for (const std::string& argument : argv) {
    arguments.push_back(const_cast<char*>(argument.c_str()));
  }
  arguments.push_back(nullptr);

  pid_t pid = 0;
  if (posix_spawn(&pid, arguments[0], actions.get(), nullptr, arguments.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + argv.front());
  }
  return pid;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input) {
  const ScratchDir io;
  ProcessResult result;
  result.exitCode = waitForExit(startProcess(argv, io, "run", input));
  result.out = io.read("run.out");
  result.err = io.read("run.err");
  return result;
}

std::vector<std::string> onTarget(const std::vector<std::string>& argv) {
  // LCD_TARGET_EMULATOR: the emulator's command line with "|" between words, or empty.
  std::vector<std::string> command;
  std::istringstream emulator(LCD_TARGET_EMULATOR);
  for (std::string word; std::getline(emulator, word, '|');) {
    command.push_back(word);
  }
  command.insert(command.end(), argv.begin(), argv.end());
  return command;
}

ProcessResult runTargetProgram(const std::vector<std::string>& argv, const std::string& input) {
  return runProcess(onTarget(argv), input);
}

ProcessResult runLcdHost(const std::vector<std::string>& arguments, const std::string& input) {
  std::vector<std::string> argv{LCD_HOST_PATH};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return runTargetProgram(argv, input);
}
