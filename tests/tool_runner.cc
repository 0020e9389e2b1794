#include "tests/tool_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

extern char** environ;

namespace zarnex::testing {
namespace {

std::string temp_path(const char* tag) {
  char name[] = "/tmp/zarnex-test-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) throw std::runtime_error("mkstemp failed");
  close(fd);
  return std::string(name) + tag;
}

}  // namespace

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> folder_names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

std::string read_line_within_10s(int fd) {
  std::string line;
  char c;
  while (line.empty() || line.back() != '\n') {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 10000) <= 0) break;
    if (read(fd, &c, 1) != 1) break;
    line.push_back(c);
  }
  return line;
}

ToolResult run_tool(const ToolRun& run) {
  signal(SIGPIPE, SIG_IGN);
  std::string out_path = temp_path(".out");
  std::string err_path = temp_path(".err");
  int in_pipe[2];
  if (pipe(in_pipe) != 0) throw std::runtime_error("pipe failed");

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in_pipe[0], 0);
  posix_spawn_file_actions_addclose(&actions, in_pipe[0]);
  posix_spawn_file_actions_addclose(&actions, in_pipe[1]);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  std::string binary = ZARNEX_BINARY;
  argv.push_back(binary.data());
  std::vector<std::string> args = run.args;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // The run's entries replace those of the same name in this process's
  // environment.
  std::vector<std::string> env = run.env;
  auto overridden = [&env](const char* entry) {
    const std::string_view text(entry);
    for (const std::string& own : env) {
      const std::size_t equals = own.find('=');
      if (equals == std::string::npos) continue;
      const std::string_view name_and_equals(own.data(), equals + 1);
      if (text.substr(0, equals + 1) == name_and_equals) return true;
    }
    return false;
  };
  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry)
    if (!overridden(*entry)) envp.push_back(*entry);
  for (std::string& entry : env) envp.push_back(entry.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, binary.c_str(), &actions, nullptr,
                            argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(in_pipe[0]);
  if (spawned != 0) {
    close(in_pipe[1]);
    throw std::runtime_error("cannot start " + binary);
  }

  int write_fd = in_pipe[1];
  std::thread writer([write_fd, &run] {
    std::size_t done = 0;
    while (done < run.input.size()) {
      ssize_t n = write(write_fd, run.input.data() + done, run.input.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    if (!run.keep_stdin_open) close(write_fd);
  });

  ToolResult result;
  int wait_status = 0;
  auto deadline = std::chrono::steady_clock::now() +
                  std::chrono::seconds(run.timeout_seconds);
  for (;;) {
    pid_t done = waitpid(pid, &wait_status, WNOHANG);
    if (done == pid) break;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &wait_status, 0);
      wait_status = -1;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (run.keep_stdin_open) close(write_fd);
  writer.join();
  if (wait_status != -1 && WIFEXITED(wait_status))
    result.status = WEXITSTATUS(wait_status);
  result.out = read_file(out_path);
  result.err = read_file(err_path);
  std::remove(out_path.c_str());
  std::remove(err_path.c_str());
  std::remove(out_path.substr(0, out_path.size() - 4).c_str());
  std::remove(err_path.substr(0, err_path.size() - 4).c_str());
  return result;
}

ToolResult run_tool(std::vector<std::string> args, const std::string& input) {
  ToolRun run;
  run.args = std::move(args);
  run.input = input;
  return run_tool(run);
}

std::string read_source_file(const std::string& relative_path) {
  return read_file(std::string(ZARNEX_SOURCE_DIR) + "/" + relative_path);
}

std::string run_shell(const std::string& command, int* status) {
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    *status = -1;
    return output;
  }
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  int raw = pclose(pipe);
  *status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return output;
}

}  // namespace zarnex::testing
