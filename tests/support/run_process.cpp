#include "tests/support/run_process.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>

#include <thread>

#include "win32/text.h"
#else
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#endif

namespace vemo::test {
namespace {
// No run of these tests takes more than seconds: past this a program is taken for hung.
constexpr int kLimitMs = 60000;

void Hung(const std::vector<std::string>& args) {
  ADD_FAILURE() << args[0] << " did not end within " << kLimitMs / 1000 << " s and was ended";
}
}  // namespace

#ifdef _WIN32
std::string VemoCliPath() {
  std::string path = "Z:" + std::string(VEMO_CLI);
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

namespace {
std::wstring Quote(const std::string& arg) {
  std::wstring w = ToWide(arg), out = L"\"";
  for (size_t i = 0; i < w.size(); ++i) {
    size_t slashes = 0;
    while (i < w.size() && w[i] == L'\\') ++slashes, ++i;
    if (i == w.size()) {
      out.append(slashes * 2, L'\\');
      break;
    }
    if (w[i] == L'"')
      out.append(slashes * 2 + 1, L'\\');
    else
      out.append(slashes, L'\\');
    out += w[i];
  }
  return out + L"\"";
}

void Drain(HANDLE pipe, std::string& into) {
  char buf[65536];
  DWORD got;
  while (ReadFile(pipe, buf, sizeof buf, &got, nullptr) && got > 0) into.append(buf, got);
}
}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& args, int) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  CreatePipe(&outRead, &outWrite, &sa, 0);
  CreatePipe(&errRead, &errWrite, &sa, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  std::wstring line;
  for (const std::string& arg : args) line += (line.empty() ? L"" : L" ") + Quote(arg);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = outWrite;
  si.hStdError = errWrite;
  PROCESS_INFORMATION pi{};
  ProcessResult result;
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    return result;
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  std::thread errThread([&] { Drain(errRead, result.err); });
  std::thread outThread([&] { Drain(outRead, result.out); });
  if (WaitForSingleObject(pi.hProcess, kLimitMs) != WAIT_OBJECT_0) {
    Hung(args);
    TerminateProcess(pi.hProcess, 9);
    WaitForSingleObject(pi.hProcess, INFINITE);
  }
  outThread.join();
  errThread.join();
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  result.status = static_cast<int>(code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}
#else
std::string VemoCliPath() { return VEMO_CLI; }

ProcessResult RunProcess(const std::vector<std::string>& args, int interruptAfterMs) {
  int out[2], err[2];
  ProcessResult result;
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(err[1], 2);
    close(out[0]), close(out[1]), close(err[0]), close(err[1]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  auto start = std::chrono::steady_clock::now();
  bool interrupted = interruptAfterMs < 0, killed = false;
  struct pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  int open = 2;
  while (open > 0) {
    poll(fds, 2, 20);
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP))) continue;
      char buf[65536];
      ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      } else {
        (i == 0 ? result.out : result.err).append(buf, static_cast<size_t>(n));
      }
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (!interrupted && elapsed >= std::chrono::milliseconds(interruptAfterMs)) {
      kill(pid, SIGINT);
      interrupted = true;
    }
    if (!killed && elapsed >= std::chrono::milliseconds(kLimitMs)) {
      Hung(args);
      kill(pid, SIGKILL);  // its pipes close: the loop ends
      killed = true;
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}
#endif

}  // namespace vemo::test
