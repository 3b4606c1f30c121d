#include "tests/tools/processrun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <sstream>
#include <stdexcept>

extern char** environ;

int waitForExit(pid_t pid) {
  int status = -1;  // not an exit, should waitpid fail
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) continue;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t startProcess(const std::vector<std::string>& argv, const ScratchDir& io, const std::string& name,
                   const std::string& input) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, io.write(name + ".in", input).c_str(), O_RDONLY, 0);
  for (const auto& [fd, stream] : {std::pair(STDOUT_FILENO, ".out"), std::pair(STDERR_FILENO, ".err")}) {
    const std::string path = (io.path() / (name + stream)).string();
    posix_spawn_file_actions_addopen(&actions, fd, path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  }
  std::vector<char*> arguments;
  for (const std::string& argument : argv) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, arguments[0], &actions, nullptr, arguments.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (failed != 0) throw std::runtime_error("cannot start " + argv.front());
  return pid;
}

ProcessResult runProcess(const std::vector<std::string>& argv, const std::string& input) {
  const ScratchDir io;
  const int exitCode = waitForExit(startProcess(argv, io, "run", input));
  return {exitCode, io.read("run.out"), io.read("run.err")};
}

std::vector<std::string> onTarget(const std::vector<std::string>& argv) {
  // LCD_TARGET_EMULATOR: the emulator's command line with "|" between words, or empty.
  std::vector<std::string> command;
  std::istringstream emulator(LCD_TARGET_EMULATOR);
  for (std::string word; std::getline(emulator, word, '|');) command.push_back(word);
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
