// Documents started through the shell, and the wait cursor.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ovpb32.h"
#include "platform/shell.h"
#include "platform/user.h"
#include "platform/wide.h"
#include "support/test_support.h"

#ifndef _WIN32
#include <cerrno>
#include <sys/wait.h>
#endif

namespace {

namespace fs = testing_support::fs;
using testing_support::TempDir;
using testing_support::WriteTextFile;

// Records the verb each call passes and starts nothing.
struct VerbRecorder : platform::ShellSeam {
  std::vector<std::string> verbs;
  bool OnExecute(const WCHAR* verb, const WCHAR*, const WCHAR*, const WCHAR*) override {
    verbs.push_back(verb == nullptr ? "(null)" : testing_support::ToUtf8(verb));
    return false;
  }
};

// Registers ".ovopen" (opened by the helper program, which notes its
// folder and file) and ".ovedit" (a type without an open command): in the
// registry on Windows, in a private XDG tree on Linux.
class ShellTypes : public ::testing::Test {
 protected:
  void SetUp() override {
    note_ = (dir_ / "note.txt").string();
    const std::string helper = testing_support::HelperProgram().string();
#ifdef _WIN32
    SetClass(".ovopen", "OvpbOpened");
    SetClass("OvpbOpened\\shell\\open\\command", "\"" + helper + "\" note \"" + note_ + "\" \"%1\"");
    SetClass(".ovnamed", "OvpbOpened");
    SetClass(".ovedit", "OvpbEdited");
    SetClass("OvpbEdited\\shell\\edit\\command", "\"" + helper + "\" note \"" + note_ + "\" \"%1\"");
#else
    const fs::path data = dir_ / "data";
    fs::create_directories(data / "mime");
    fs::create_directories(data / "applications");
    WriteTextFile(data / "mime" / "globs2",
                  "50:application/x-ovpb-opened:*.ovopen\n50:application/x-ovpb-edited:*.ovedit\n"
                  "50:application/x-ovpb-named:*.ovnamed\n");
    WriteTextFile(data / "applications" / "ovpb-helper.desktop",
                  "[Desktop Entry]\nType=Application\nName=Helper\nExec=\"" + helper + "\" note \"" + note_ +
                      "\" %f\nMimeType=application/x-ovpb-opened;application/x-ovpb-named;\n");
    fs::create_directories(dir_ / "config");  // the default for one type; the other only named by the entry
    WriteTextFile(dir_ / "config" / "mimeapps.list", "[Default Applications]\napplication/x-ovpb-opened=ovpb-helper.desktop\n");
    for (const char* name : {"XDG_DATA_HOME", "XDG_DATA_DIRS", "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS"}) {
      const char* old = std::getenv(name);
      saved_.emplace_back(name, old == nullptr ? "" : old);
    }
    testing_support::SetEnvironment("XDG_DATA_HOME", data.string().c_str());
    testing_support::SetEnvironment("XDG_DATA_DIRS", (dir_ / "none").string().c_str());
    testing_support::SetEnvironment("XDG_CONFIG_HOME", (dir_ / "config").string().c_str());
    testing_support::SetEnvironment("XDG_CONFIG_DIRS", (dir_ / "none").string().c_str());
#endif
  }
  void TearDown() override {
    platform::ActiveShellSeam() = nullptr;
#ifdef _WIN32
    for (const char* key : {".ovopen", ".ovnamed", "OvpbOpened", ".ovedit", "OvpbEdited"}) {
      RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
    }
#else
    for (const auto& [name, value] : saved_) testing_support::SetEnvironment(name.c_str(), value.c_str());
#endif
  }
#ifdef _WIN32
  static void SetClass(const std::string& key, const std::string& value) {
    HKEY opened;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                             &opened, nullptr));
    RegSetValueExA(opened, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(opened);
  }
#else
  std::vector<std::pair<std::string, std::string>> saved_;
#endif
  TempDir dir_;
  std::string note_;
};

TEST_F(ShellTypes, OpenIsPassedOnlyForTypesWithAnOpenCommand) {
  VerbRecorder recorder;
  platform::ActiveShellSeam() = &recorder;
  struct Case { const char* verb; const char* file; const char* passed; };
  const Case cases[] = {
      {"open", "a.ovopen", "open"},         {"open", "a.ovedit", "(null)"},   {"Open", "a.ovedit", "Open"},
      {nullptr, "a.ovopen", "(null)"},      {"edit", "a.ovopen", "edit"},     {"open", "a.ovunknown", "(null)"},
      {"open", "noextension", "(null)"},    {"open", nullptr, "open"},          {"open", "b.OVNAMED", "open"},
  };
  for (const Case& c : cases) {
    recorder.verbs.clear();
    EXPECT_EQ(42, reinterpret_cast<INT_PTR>(OVShellExecuteA(nullptr, c.verb, c.file, nullptr, nullptr, 1)));
    const WideString verb = WidenAscii(c.verb == nullptr ? "" : c.verb);
    const WideString file = WidenAscii(c.file == nullptr ? "" : c.file);
    OVShellExecuteW(nullptr, c.verb == nullptr ? nullptr : verb.c_str(), c.file == nullptr ? nullptr : file.c_str(),
                    nullptr, nullptr, 1);
    EXPECT_EQ(std::vector<std::string>(2, c.passed), recorder.verbs) << (c.verb ? c.verb : "-") << (c.file ? c.file : "-");
  }
}

TEST(PathFindExtension, EndsAtSeparatorsAndBlanks) {
  const std::pair<const char*, const char*> cases[] = {
      {"file.txt", ".txt"}, {"a.b.c", ".c"}, {"a.b c", ""}, {"dir.x\\file", ""}, {"noext", ""}, {".hidden", ".hidden"}, {"", ""},
  };
  for (const auto& [path, extension] : cases) {
    const WideString wide = WidenAscii(path);
    EXPECT_EQ(WidenAscii(extension), WideString(platform::PathFindExtensionW(wide.c_str()))) << path;
  }
}

TEST_F(ShellTypes, StartsTheApplicationInTheFolderOrFailsAsWindowsDoes) {
  const fs::path document = dir_ / "letter.ovopen";
  WriteTextFile(document, "text");
  const fs::path folder = dir_ / "work";
  fs::create_directories(folder);
  INT_PTR result = reinterpret_cast<INT_PTR>(
      OVShellExecuteA(nullptr, "open", document.string().c_str(), nullptr, folder.string().c_str(), 1));
  ASSERT_GT(result, 32);
  for (int wait = 0; wait < 200 && !fs::exists(note_); ++wait) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::ifstream note(note_);
  std::string workingFolder, file;
  ASSERT_TRUE(std::getline(note, workingFolder) && std::getline(note, file));
  EXPECT_TRUE(fs::equivalent(folder, fs::path(workingFolder))) << workingFolder;
  EXPECT_TRUE(fs::equivalent(document, fs::path(file))) << file;
#ifndef _WIN32
  errno = 0;
  EXPECT_EQ(-1, waitpid(-1, nullptr, WNOHANG));  // nothing left to reap
  EXPECT_EQ(ECHILD, errno);
#endif
  WriteTextFile(dir_ / "plain.ovedit", "x");
  const std::string plain = (dir_ / "plain.ovedit").string(), none = (dir_ / "none").string();
  auto start = [](const std::string& file, const char* folder) {
    return reinterpret_cast<INT_PTR>(OVShellExecuteA(nullptr, "open", file.c_str(), nullptr, folder, 1));
  };
  EXPECT_EQ(2, start((dir_ / "missing.ovopen").string(), nullptr));
  EXPECT_EQ(2, start((dir_ / "none" / "missing.ovopen").string(), nullptr));
#ifndef _WIN32
  EXPECT_EQ(31, start(plain, nullptr));  // no application takes the type
  EXPECT_EQ(3, start(plain, none.c_str()));
#endif
}

class WaitCursor : public ::testing::Test {
 protected:
  void SetUp() override {
    WaitCleanup();
    platform::SetCursor(arrow_);
  }
  HCURSOR arrow_ = platform::LoadCursorA(nullptr, IDC_ARROW);
  HCURSOR ibeam_ = platform::LoadCursorA(nullptr, IDC_IBEAM);
  HCURSOR wait_ = platform::LoadCursorA(nullptr, IDC_WAIT);
};

TEST_F(WaitCursor, NestsRestoresAndCleansUp) {
  ASSERT_NE(nullptr, wait_);
  WaitOn();
  WaitOn();
  EXPECT_EQ(wait_, platform::GetCursor());
  WaitOff();
  EXPECT_EQ(1, IsWaitOn());
  EXPECT_EQ(wait_, platform::GetCursor());
  WaitOff();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  platform::SetCursor(ibeam_);
  WaitOff();  // unmatched: depth 0 and the saved cursor (the arrow) back
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  WaitOn();
  WaitOn();
  WaitCleanup();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  EXPECT_EQ(1, WaitFunction());
  EXPECT_EQ(wait_, platform::GetCursor());
}

TEST_F(WaitCursor, WorkersDoNotNestButMayReplaceTheSavedCursor) {
  testing_support::TestThread([] { WaitOn(); }).join();
  EXPECT_EQ(0, IsWaitOn());
  EXPECT_EQ(arrow_, platform::GetCursor());
  WaitOn();
  testing_support::TestThread([&] {
    WaitOff();
    platform::SetCursor(ibeam_);
    WaitFunction();
  }).join();
  EXPECT_EQ(1, IsWaitOn());
  WaitOff();
  EXPECT_EQ(ibeam_, platform::GetCursor());
}

}  // namespace
