// Child processes for the file tests: a check run without the power to
// override file permissions (root, as in CI, reads any file), and several
// processes doing the same thing at once.
#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

namespace filetest {

// The user and group "nobody" of Debian.
constexpr uid_t kUnprivilegedId = 65534;

// Runs check in a child process that cannot override file permissions: as root
// the child becomes "nobody" first. Returns what check returns (empty for
// success) or why the child could not run it.
inline std::string runUnprivileged(const std::function<std::string()>& check) {
  int pipe_fds[2];
  if (::pipe(pipe_fds) != 0) return "no pipe";
  const pid_t pid = ::fork();
  if (pid < 0) return "no fork";
  if (pid == 0) {
    ::close(pipe_fds[0]);
    std::string said = "cannot drop root's rights";
    if (::geteuid() != 0 ||
        (::setgroups(0, nullptr) == 0 && ::setgid(kUnprivilegedId) == 0 && ::setuid(kUnprivilegedId) == 0))
      said = check();
    const ssize_t put = ::write(pipe_fds[1], said.data(), said.size());
    ::_exit(put == static_cast<ssize_t>(said.size()) ? 0 : 1);
  }
  ::close(pipe_fds[1]);
  std::string said;
  char buf[512];
  for (ssize_t got; (got = ::read(pipe_fds[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(got));
  ::close(pipe_fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "the child failed: " + said;
  return said;
}

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
