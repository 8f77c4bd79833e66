// Child processes for the file tests: several processes doing the same thing
// at once.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace filetest {

// Runs work in count child processes at once; each exits 0 when work returns
// true. Returns how many failed.
inline int failuresAcrossProcesses(int count, const std::function<bool(int)>& work) {
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(work(i) ? 0 : 1);
    children.push_back(pid);
  }
  int failed = 0;
  for (const pid_t pid : children) {
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) ++failed;
  }
  return failed;
}

}  // namespace filetest
