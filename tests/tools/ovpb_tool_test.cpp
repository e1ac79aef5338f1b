// The ovpb tool as a user meets it, run on real files. The library it loads
// is a copy in a folder of the test's, with the test's cv.ver beside it.

#include <gtest/gtest.h>

#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "ovpb32.h"
#include "support/test_support.h"

namespace {

using namespace testing_support;

struct ToolRun {
  int status;
  std::string output;  // standard output and error, in order
};

class OvpbTool : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(LibraryFile(), dir_ / LibraryFile().filename());
    WriteTextFile(dir_ / "cv.ver", "[VERSION]\nGeneralLogging=2\nLoggingSize=-1\nLoggingPath=" + Path("general.log") + "\n");
  }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  std::string Command(const std::string& arguments) const {
    const std::string folder = "'" + dir_.path().string() + "'";
    return "(cd " + folder + " && LC_ALL=C.UTF-8 LD_LIBRARY_PATH=" + folder + " '" OVPB_TOOL_FILE "' " + arguments + ") 2>&1";
  }
  ToolRun Run(const std::string& arguments) const {
    ToolRun run{-1, std::string()};
    FILE* pipe = popen(Command(arguments).c_str(), "r");
    char block[4096];
    size_t count;
    while ((count = fread(block, 1, sizeof block, pipe)) > 0) run.output.append(block, count);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  TempDir dir_;
};

// Entries in the library's format, of lengths that move the marker across
// the limit at different points.
std::string Entry(int number) {
  return "(Sun Dec 06 04:32:01 2026) PC7:alice prog:4711 [Test        ]: entry " + std::to_string(number) +
         std::string(static_cast<size_t>(number * 7 % 23), '.') + "\r\n";
}

// What `log show` must list of a ring after `count` entries: every entry
// still whole where it was written, in the order written.
std::string WholeEntries(const std::string& ring, int count, size_t limit) {
  std::string expected;
  size_t position = 10;
  for (int i = 0; i < count; ++i) {
    const std::string entry = Entry(i);
    if (ring.compare(position, entry.size(), entry) == 0) expected += entry.substr(0, entry.size() - 2) + "\n";
    position = position + entry.size() <= limit ? position + entry.size() : 10;
  }
  return expected;
}

TEST_F(OvpbTool, ShowsARingLogInOrderAfterAnyNumberOfWraps) {
  for (size_t limit : {400, 512, 777}) {
    for (int count : {1, 4, 9, 23, 60}) {
      std::string log = Path("ring-" + std::to_string(limit) + "-" + std::to_string(count) + ".log");
      for (int i = 0; i < count; ++i) ASSERT_EQ(DoWriteLog(log.c_str(), Entry(i).c_str(), static_cast<int>(limit)), 1);
      ToolRun run = Run("log show " + log);
      EXPECT_EQ(run.status, 0);
      EXPECT_EQ(run.output, WholeEntries(ReadTextFile(log), count, limit)) << "limit " << limit << ", " << count << " entries";
    }
  }
}

TEST_F(OvpbTool, TailFollowsARingThatAnotherWriterWraps) {
  std::string log = Path("followed.log");
  DoWriteLog(log.c_str(), Entry(0).c_str(), 600);
  std::string output = Path("followed.out");
  pid_t follower = fork();
  if (follower == 0) {
    setpgid(0, 0);  // the shell and the tool go together
    execl("/bin/sh", "sh", "-c", (Command("log tail -f " + log) + " > '" + output + "'").c_str(), nullptr);
    _exit(127);
  }
  for (int wait = 0; wait < 100 && ReadTextFile(output).empty(); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(100));
  for (int i = 1; i < 12; ++i) DoWriteLog(log.c_str(), Entry(i).c_str(), 600), std::this_thread::sleep_for(std::chrono::milliseconds(250));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  kill(-follower, SIGTERM);
  waitpid(follower, nullptr, 0);
  std::string expected;
  for (int i = 0; i < 12; ++i) expected += Entry(i).substr(0, Entry(i).size() - 2) + "\n";
  EXPECT_EQ(ReadTextFile(output), expected);
}

TEST_F(OvpbTool, CommandsAnswerAndFailAsTheConventionsSay) {
  EXPECT_EQ(Run("log write --level 2 Tool 'hello there'").status, 0);
  EXPECT_EQ(Run("log write --level 3 Tool 'too detailed'").status, 0);
  ToolRun shown = Run("log tail -n 1");
  EXPECT_NE(shown.output.find("[Tool        ]: hello there\n"), std::string::npos) << shown.output;
  EXPECT_EQ(shown.output.find("too detailed"), std::string::npos);
  ToolRun where = Run("log where");
  EXPECT_NE(where.output.find(Path("general.log")), std::string::npos);
  EXPECT_NE(where.output.find("append"), std::string::npos);
  ToolRun config = Run("config");
  EXPECT_NE(config.output.find("GeneralLogging         2"), std::string::npos) << config.output;
  EXPECT_NE(config.output.find("(cv.ver)"), std::string::npos);
  EXPECT_NE(config.output.find("OVAssert               0                              (default)"), std::string::npos);
  // The ring keeps no mark after the previous round: an older round's entry
  // lying whole beyond it is known by its earlier time.
  auto line = [](char second, const char* text) {
    return std::string("(Sun Dec 06 04:32:0") + second + " 2026) PC7:alice prog:1 : " + text;
  };
  std::string header = std::to_string(10 + line('5', "newest").size() + 2);
  header.resize(10, ' ');
  WriteTextFile(dir_ / "ring.log", header + line('5', "newest") + "\r\n*++++++++++++++++++++++++End of Log++++++++++++++++++++++++*\r\n" +
                                       line('3', "previous") + "\r\n" + line('1', "older") + "\r\n");
  const std::string net = "(Sat Dec 05 23:59:59 2026) PC7:alice my prog:1 [Net         ]:   connected to db1";
  const std::string plain = "(Sun Dec 06 00:00:01 2026) PC7:alice my prog:2 : no component";
  WriteTextFile(dir_ / "append.log", net + "\r\nraw line\r\n" + plain + "\r\n");
  WriteTextFile(dir_ / "notes.txt", "just some text\n");
  WriteTextFile(dir_ / "abc.txt", "abc");
  GUID guid;
  GenerateNameBasedGuidA("abc", &guid);
  char text[23];
  GUIDtoBase64A(&guid, text);
  const std::string braced = "{98500190-D23C-B03F-8696-3F7D28E17F72}";
  const struct {
    std::string command, output;
    int status;
  } kCases[] = {
      {"log show ring.log", line('3', "previous") + "\n" + line('5', "newest") + "\n", 0},
      {"log show --component net append.log", net + "\n", 0},
      {"log show --since '2026-12-06' append.log", plain + "\n", 0},
      {"log show --grep raw append.log", "raw line\n", 0},
      {"log show --json --grep db1 append.log",
       "{\"time\":\"Sat Dec 05 23:59:59 2026\",\"computer\":\"PC7\",\"user\":\"alice\",\"program\":\"my prog\","
       "\"thread\":\"1\",\"component\":\"Net\",\"indentation\":2,\"message\":\"connected to db1\"}\n", 0},
      {"log show missing.log", "ovpb: missing.log: no such file\n", 2},
      {"log show notes.txt", "ovpb: notes.txt: not a log file\n", 2},
      {"guid text '" + braced + "'", std::string(text) + "\n", 0},
      {"guid parse " + std::string(text), braced + "\n", 0},
      {"base64 encode abc.txt", "YWJj\n", 0},
      {"base64 encode abc.txt | " + Command("base64 decode"), "abc", 0},
      {"money format 1234.5", "1,234.50\n", 0},
      {"money todb 1,234.50", "1234.50\n", 0},
      {"copy abc.txt copy.txt", "", 0}};
  for (const auto& c : kCases) {
    ToolRun run = Run(c.command);
    EXPECT_EQ(run.output, c.output) << c.command;
    EXPECT_EQ(run.status, c.status) << c.command;
  }
  EXPECT_EQ(ReadTextFile(dir_ / "copy.txt"), "abc");
  EXPECT_EQ(Run("md5 abc.txt").output.substr(0, 32), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_NE(Run("locale").output.find("interface locale:   0x0409 en-US"), std::string::npos);
  EXPECT_NE(Run("date 2001-03-05").output.find("long:       March 5, 2001\nshort:      3/5/2001"), std::string::npos);
  EXPECT_NE(Run("unc /tmp/x.txt").output.find("safe:        /tmp/x.txt"), std::string::npos);
  std::string scrambled = Run("scramble 'Secret 42'").output;
  scrambled.pop_back();
  EXPECT_EQ(Run("unscramble '" + scrambled + "'").output, "Secret 42\n");
  for (const char* negative : {"guid parse short", "date 1899-12-31"}) EXPECT_EQ(Run(negative).status, 1) << negative;
  for (const char* misused : {"frobnicate", "log tail -n many"}) EXPECT_EQ(Run(misused).status, 2) << misused;
  EXPECT_EQ(Run("--version").output.rfind("ovpb ", 0), 0u);
  for (const char* command : {"--help", "log show --help", "log tail --help", "log write --help", "log where --help",
                              "config --help", "copy --help", "locale --help", "money --help", "date --help", "unc --help", "guid --help", "md5 --help", "base64 --help",
                              "scramble --help", "unscramble --help"}) {
    ToolRun help = Run(command);
    EXPECT_EQ(help.status, 0) << command;
    EXPECT_EQ(help.output.rfind("Usage: ovpb", 0), 0u) << command;
  }
}

}  // namespace
