// ovpb: the library's files and texts at the command line, above all its
// logs. Linked against the library, so it sees the cv.ver beside the
// library's own file, as every program of the suite does.

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/command_line.h"

namespace tool {
namespace {

const char kVersion[] = "ovpb (Ovpb32) 0.1";

int RunLog(Arguments& arguments) { return RunSubcommand("log", LogCommands(), arguments); }

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"log", "log show|tail|write|where ...   the diagnostic log",
       "Usage: ovpb log show|tail|write|where [options] ...\n"
       "The diagnostic log's entries; 'ovpb log COMMAND --help' for each.\n",
       RunLog},
      {"config", "config                           what the library reads from cv.ver",
       "Usage: ovpb config\n"
       "Prints the library's folder, its configuration file and every key's\n"
       "value with where it came from (cv.ver or the default).\n",
       RunConfig},
      {"copy", "copy SOURCE DEST                 a safe byte-level file copy",
       "Usage: ovpb copy SOURCE DEST\n"
       "Copies SOURCE onto DEST so that DEST is either its old content or the\n"
       "whole new one. Exit status 0 when copied, 2 when not (DEST unchanged).\n",
       RunCopy},
      {"guid", "guid new|text|parse ...          GUIDs and their 22-character texts",
       "Usage: ovpb guid new | guid text {GUID} | guid parse TEXT\n"
       "  new          a new GUID, in braces and as its 22-character text\n"
       "  text GUID    the 22-character text of a GUID given in braces\n"
       "  parse TEXT   the GUID of a 22-character text (exit 1 when not valid)\n",
       RunGuid},
      {"md5", "md5 [FILE...]                    MD5 digests, hex and 22-character text",
       "Usage: ovpb md5 [FILE...]\n"
       "Prints each file's MD5 digest in hex and as the library's 22-character\n"
       "text, then the name; standard input without FILE or with -.\n",
       RunMd5},
      {"base64", "base64 encode|decode [FILE]      MIME Base64",
       "Usage: ovpb base64 encode|decode [FILE]\n"
       "Encodes bytes as one line of MIME Base64, or decodes it (line breaks\n"
       "allowed); standard input without FILE.\n",
       RunBase64},
      {"locale", "locale                           the regional settings the library reads",
       "Usage: ovpb locale\n"
       "The interface locale and the settings record the library makes from it\n"
       "(dates, times, money, separators, grouping, character set).\n",
       RunLocale},
      {"money", "money format|todb|fromdb TEXT     number and money text",
       "Usage: ovpb money format NUMBER | money todb TEXT | money fromdb TEXT\n"
       "  format NUMBER  a number as money is shown: grouped, with the currency digits\n"
       "  todb TEXT      display money text in the database form\n"
       "  fromdb TEXT    database money text as it is shown\n",
       RunMoney},
      {"date", "date [YYYY-MM-DD|DAYNUMBER|now]  a date's day number and texts",
       "Usage: ovpb date [YYYY-MM-DD | DAYNUMBER | now]\n"
       "The day number of a date (or the date of a day number) and its long and\n"
       "short texts in the user's locale. Exit status 1 for a date the library\n"
       "does not count (before 1 March 1900, or invalid).\n",
       RunDate},
      {"unc", "unc PATH                         a path's network names",
       "Usage: ovpb unc PATH\n"
       "The path's universal name, its name through the drive letter that maps\n"
       "most of it, and its network-safe and persistable names.\n",
       RunUnc},
      {"scramble", "scramble TEXT                    hides a short text from casual reading",
       "Usage: ovpb scramble TEXT\nThe library's keyless scrambling of TEXT (not encryption).\n", RunScramble},
      {"unscramble", "unscramble TEXT                  reverses scramble",
       "Usage: ovpb unscramble TEXT\nThe text that 'ovpb scramble' turned into TEXT.\n", RunUnscramble},
  };
  return commands;
}

void PrintHelp() {
  std::printf("Usage: ovpb COMMAND [options] [arguments]\n\nCommands:\n");
  for (const Command& command : Commands()) std::printf("  %s\n", command.synopsis);
  std::printf("\n'ovpb COMMAND --help' describes a command. Exit status: 0 success,\n"
              "1 a negative answer (not found, not valid), 2 bad usage or an error.\n");
}

}  // namespace

bool Arguments::TakeOption(const char* name, std::string* value) {
  if (Done()) return false;
  const std::string& word = Peek();
  size_t length = std::strlen(name);
  if (word.compare(0, length, name) != 0) return false;
  if (word.size() > length && word[length] == '=') {
    *value = word.substr(length + 1);
    ++next;
    return true;
  }
  if (word.size() != length || next + 1 >= words.size()) return false;
  *value = words[next + 1];
  next += 2;
  return true;
}

bool Arguments::TakeFlag(const char* name) {
  if (Done() || Peek() != name) return false;
  ++next;
  return true;
}

int Fail(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "ovpb: %s: %s\n", what.c_str(), why.c_str());
  return kFailure;
}

int Usage(const std::string& command, const std::string& why) {
  Fail(command, why);
  std::fprintf(stderr, "Try 'ovpb %s --help'.\n", command.c_str());
  return kFailure;
}

int RunSubcommand(const char* family, const std::vector<Command>& commands, Arguments& arguments) {
  if (arguments.Done()) return Usage(family, "a command is missing");
  std::string name = arguments.Take();
  for (const Command& command : commands) {
    if (name != command.name) continue;
    if (!arguments.Done() && arguments.Peek() == "--help") {
      std::fputs(command.help, stdout);
      return kSuccess;
    }
    return command.run(arguments);
  }
  if (name == "--help") {
    for (const Command& command : commands) std::fputs(command.help, stdout);
    return kSuccess;
  }
  return Usage(family, "unknown command '" + name + "'");
}

}  // namespace tool

int main(int argc, char** argv) {
  using namespace tool;
  if (argc < 2) {
    PrintHelp();
    return kFailure;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h") {
    PrintHelp();
    return kSuccess;
  }
  if (name == "--version") {
    std::printf("%s\n", kVersion);
    return kSuccess;
  }
  Arguments arguments;
  arguments.words.assign(argv + 2, argv + argc);
  for (const Command& command : Commands()) {
    if (name != command.name) continue;
    if (!arguments.Done() && arguments.Peek() == "--help" && std::strcmp(command.name, "log") != 0) {
      std::fputs(command.help, stdout);
      return kSuccess;
    }
    return command.run(arguments);
  }
  return Usage(name, "no such command");
}
