// What every ovpb command shares: its arguments, its way of failing, and the
// exit statuses of the tool.
#pragma once

#include <string>
#include <vector>

namespace tool {

enum ExitStatus { kSuccess = 0, kNegative = 1, kFailure = 2 };

struct Arguments {
  std::vector<std::string> words;  // what follows the command's name
  size_t next = 0;

  bool Done() const { return next >= words.size(); }
  const std::string& Peek() const { return words[next]; }
  std::string Take() { return words[next++]; }
  // The value of an option given as "--name value" or "--name=value".
  bool TakeOption(const char* name, std::string* value);
  bool TakeFlag(const char* name);
};

// "ovpb: <what>: <why>" on standard error; returns kFailure.
int Fail(const std::string& what, const std::string& why);
int Usage(const std::string& command, const std::string& why);

struct Command {
  const char* name;
  const char* synopsis;  // one line for the tool's --help
  const char* help;      // the command's --help
  int (*run)(Arguments& arguments);
};

// The commands of each family.
const std::vector<Command>& LogCommands();
int RunConfig(Arguments& arguments);
int RunCopy(Arguments& arguments);
int RunGuid(Arguments& arguments);
int RunMd5(Arguments& arguments);
int RunBase64(Arguments& arguments);
int RunScramble(Arguments& arguments);
int RunUnscramble(Arguments& arguments);
int RunLocale(Arguments& arguments);
int RunMoney(Arguments& arguments);
int RunDate(Arguments& arguments);
int RunUnc(Arguments& arguments);

// Runs `arguments` against a family's subcommands ("log show" ...).
int RunSubcommand(const char* family, const std::vector<Command>& commands, Arguments& arguments);

// The folder of the library and its settings, shared by config and log.
std::string ConfigFilePath();
std::string GeneralLogPath();

}  // namespace tool
