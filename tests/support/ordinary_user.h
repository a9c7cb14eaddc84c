// Runs part of a test as an ordinary user. Permissions do not bind the superuser, and the tests
// run as root in CI: there the part runs in a child process that has become the user nobody,
// to whom the test's tree is handed first, so that its permissions bind as they bind the owner
// of a tree. Anyone else runs the part in this process. (POSIX only.)
#pragma once

#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vemo::test {

// The lines `part` returns (each without a line break).
inline std::vector<std::string> AsOrdinaryUser(
    const std::filesystem::path& tree, const std::function<std::vector<std::string>()>& part) {
  if (geteuid() != 0) return part();
  const passwd* nobody = getpwnam("nobody");
  if (!nobody) {
    ADD_FAILURE() << "there is no user nobody to run as";
    return {};
  }
  const uid_t uid = nobody->pw_uid;
  const gid_t gid = nobody->pw_gid;
  std::error_code ignored;
  lchown(tree.c_str(), uid, gid);
  for (auto it = std::filesystem::recursive_directory_iterator(tree, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
    lchown(it->path().c_str(), uid, gid);

  int out[2];
  if (pipe(out) != 0) {
    ADD_FAILURE() << "no pipe to the child";
    return {};
  }
  std::fflush(stdout);
  std::fflush(stderr);
  const pid_t pid = fork();
  if (pid == 0) {
    close(out[0]);
    std::string text;
    if (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)
      text = "(could not become nobody)\n";
    else
      for (const std::string& line : part()) text += line + "\n";
    for (size_t written = 0; written < text.size();) {
      const ssize_t n = write(out[1], text.data() + written, text.size() - written);
      if (n <= 0) break;
      written += static_cast<size_t>(n);
    }
    _exit(0);
  }
  close(out[1]);
  std::string text;
  const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  for (;;) {
    if (std::chrono::steady_clock::now() > until) {
      ADD_FAILURE() << "the part run as nobody did not end within a minute";
      kill(pid, SIGKILL);
      break;
    }
    pollfd ready{out[0], POLLIN, 0};
    if (poll(&ready, 1, 100) <= 0) continue;
    char buffer[4096];
    const ssize_t n = read(out[0], buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<size_t>(n));
  }
  close(out[0]);
  waitpid(pid, nullptr, 0);
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
    lines.push_back(text.substr(start, end - start));
  return lines;
}

}  // namespace vemo::test
