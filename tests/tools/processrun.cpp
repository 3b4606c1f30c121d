#include "tests/tools/processrun.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "lcd-tools-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot create a scratch directory from " + pattern);
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDir::write(const std::string& name, const std::string& text) const {
  const std::filesystem::path file = path_ / name;
  std::ofstream(file, std::ios::binary) << text;
  return file.string();
}

std::string ScratchDir::read(const std::string& name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

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

ProcessResult runLcdHost(std::vector<std::string> arguments, const std::string& input) {
  arguments.insert(arguments.begin(), LCD_HOST_PATH);
  return runProcess(onTarget(arguments), input);
}
