// The helper program running beside a test, spoken to through its standard
// input and output: it answers with lines, and goes when its input closes or
// when it is killed.
#pragma once

#include <string>
#include <vector>

namespace testing_support {

class HelperProcess {
 public:
  explicit HelperProcess(const std::vector<std::string>& arguments);
  // A copy of the helper program under another name.
  HelperProcess(const std::string& program, const std::vector<std::string>& arguments);
  ~HelperProcess();
  HelperProcess(const HelperProcess&) = delete;
  HelperProcess& operator=(const HelperProcess&) = delete;

  // One line of its output without the line end; empty once it has ended.
  std::string ReadLine();
  // Closes its input and waits for it to end; its exit code.
  int Finish();
  // Kills it and waits until it is gone.
  void Kill();

 private:
  void Wait();
  size_t ReadSome(char* buffer, size_t room);

  std::string unread_;  // read from the pipe, not yet returned as a line

  bool started_ = false;
  bool running_ = false;
  int exitCode_ = -1;
#ifdef _WIN32
  void* process_ = nullptr;
  void* input_ = nullptr;
  void* output_ = nullptr;
#else
  int pid_ = -1;
  int input_ = -1;
  int output_ = -1;
#endif
};

}  // namespace testing_support
