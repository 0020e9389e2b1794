// zarnex_spawn_time: runs a program several times and prints the time of
// one run as "WALL_MEDIAN WALL_MIN CPU_MEDIAN" in seconds: the wall time
// from spawning it to reaping it, and its processor time (user and system).
//
//   zarnex_spawn_time RUNS INPUT OUTPUT PROGRAM [ARGUMENTS...]
//
// Standard input comes from the file INPUT, standard output goes to the file
// OUTPUT (both may be /dev/null); standard error is kept. A run that does
// not end with status 0 stops the measurement with status 2.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

extern char** environ;

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fputs("usage: zarnex_spawn_time RUNS INPUT OUTPUT PROGRAM [ARGUMENTS...]\n", stderr);
    return 1;
  }
  const long runs = std::strtol(argv[1], nullptr, 10);
  std::vector<double> seconds;
  std::vector<double> cpu_seconds;
  for (long run = 0; run < runs; ++run) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, argv[2], O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, argv[3],
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, argv[4], &actions, nullptr, argv + 4, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (failed != 0 || wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
      std::fprintf(stderr, "zarnex_spawn_time: %s did not run to status 0\n", argv[4]);
      return 2;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    seconds.push_back(elapsed.count());
    cpu_seconds.push_back(static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6);
  }
  std::sort(seconds.begin(), seconds.end());
  std::sort(cpu_seconds.begin(), cpu_seconds.end());
  std::printf("%.6f %.6f %.6f\n", seconds[seconds.size() / 2], seconds.front(),
              cpu_seconds[cpu_seconds.size() / 2]);
  return 0;
}
