#include "support/helper_process.h"

#include "support/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
extern char** environ;
#endif

namespace testing_support {

HelperProcess::HelperProcess(const std::vector<std::string>& arguments)
    : HelperProcess(HelperProgram().string(), arguments) {}

#ifdef _WIN32

namespace {

std::wstring CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
  std::wstring line = L"\"" + fs::path(program).wstring() + L"\"";
  for (const std::string& argument : arguments) line += L" \"" + fs::path(argument).wstring() + L"\"";
  return line;
}

}  // namespace

HelperProcess::HelperProcess(const std::string& program, const std::vector<std::string>& arguments) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE childInput, childOutput;
  if (!CreatePipe(&childInput, &input_, &inherited, 0)) return;
  if (!CreatePipe(&output_, &childOutput, &inherited, 0)) return;
  SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childInput;
  startup.hStdOutput = childOutput;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION created = {};
  std::wstring line = CommandLine(program, arguments);
  started_ = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &created);
  CloseHandle(childInput);
  CloseHandle(childOutput);
  if (!started_) return;
  CloseHandle(created.hThread);
  process_ = created.hProcess;
  running_ = true;
}

HelperProcess::~HelperProcess() {
  if (running_) Kill();
  if (input_ != nullptr) CloseHandle(input_);
  if (output_ != nullptr) CloseHandle(output_);
  if (process_ != nullptr) CloseHandle(process_);
}

size_t HelperProcess::ReadSome(char* buffer, size_t room) {
  DWORD got = 0;
  return ReadFile(output_, buffer, static_cast<DWORD>(room), &got, nullptr) ? got : 0;
}

int HelperProcess::Finish() {
  CloseHandle(input_);
  input_ = nullptr;
  Wait();
  return exitCode_;
}

void HelperProcess::Kill() {
  if (!running_) return;
  TerminateProcess(process_, 9);
  Wait();
}

void HelperProcess::Wait() {
  if (!running_) return;
  WaitForSingleObject(process_, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  exitCode_ = static_cast<int>(code);
  running_ = false;
}

#else

HelperProcess::HelperProcess(const std::string& helper, const std::vector<std::string>& arguments) {
  int toChild[2], fromChild[2];
  if (pipe2(toChild, O_CLOEXEC) != 0) return;
  if (pipe2(fromChild, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
  posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
  std::string program = helper;
  std::vector<char*> argv{&program[0]};
  std::vector<std::string> copies(arguments);
  for (std::string& argument : copies) argv.push_back(&argument[0]);
  argv.push_back(nullptr);
  started_ = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  close(toChild[0]);
  close(fromChild[1]);
  input_ = toChild[1];
  output_ = fromChild[0];
  running_ = started_;
}

HelperProcess::~HelperProcess() {
  if (running_) Kill();
  if (input_ >= 0) close(input_);
  if (output_ >= 0) close(output_);
}

size_t HelperProcess::ReadSome(char* buffer, size_t room) {
  ssize_t got;
  while ((got = read(output_, buffer, room)) < 0 && errno == EINTR) {
  }
  return got > 0 ? static_cast<size_t>(got) : 0;
}

int HelperProcess::Finish() {
  close(input_);
  input_ = -1;
  Wait();
  return exitCode_;
}

void HelperProcess::Kill() {
  if (!running_) return;
  kill(pid_, SIGKILL);
  Wait();
}

void HelperProcess::Wait() {
  if (!running_) return;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  running_ = false;
}

#endif

// Read in blocks: under Wine every read of a pipe is a round trip to its
// server, which a byte at a time makes the slowest part of a long exchange.
std::string HelperProcess::ReadLine() {
  size_t end;
  while ((end = unread_.find('\n')) == std::string::npos) {
    char block[4096];
    const size_t got = ReadSome(block, sizeof block);
    if (got == 0) break;
    unread_.append(block, got);
  }
  std::string line = unread_.substr(0, end);
  unread_.erase(0, end == std::string::npos ? end : end + 1);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace testing_support
