// Path composition: splitting, joining, the trailing backslash, and the
// current drive and directory.

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "files/paths.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "support/test_support.h"
#ifndef _WIN32
#include "platform/posix/drives.h"
#include "platform/posix/posix_codepage.h"
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::ToUtf8;

// The three outputs as "dir|name|ext"; an output not asked for shows as "-".
// Outputs start as junk, so that "emptied" is told apart from "untouched".
std::string SplitA(const std::string& path, bool wantDir = true, bool wantName = true, bool wantExt = true) {
  char dir[MAX_PATH] = "junk", name[MAX_PATH] = "junk", ext[MAX_PATH] = "junk";
  SplitPathA(path.c_str(), wantDir ? dir : nullptr, wantName ? name : nullptr, wantExt ? ext : nullptr);
  return std::string(wantDir ? dir : "-") + "|" + (wantName ? name : "-") + "|" + (wantExt ? ext : "-");
}

std::string SplitW(const WideString& path) {
  static WCHAR dir[2051], name[513], ext[257];
  dir[0] = name[0] = ext[0] = u'?';
  SplitPathW(path.c_str(), dir, name, ext);
  return ToUtf8(dir) + "|" + ToUtf8(name) + "|" + ToUtf8(ext);
}

TEST(SplitPath, TakesDriveDirectoryNameAndExtension) {
  EXPECT_EQ(SplitA("C:\\dir\\file.txt"), "C:\\dir\\|file|txt");
  EXPECT_EQ(SplitA("\\\\server\\share\\a.b.c"), "\\\\server\\share\\|a.b|c");
  EXPECT_EQ(SplitA("file"), "|file|");
  EXPECT_EQ(SplitA("C:file.txt"), "C:|file|txt");
  EXPECT_EQ(SplitA("dir/sub/file.txt"), "dir/sub/|file|txt");
  EXPECT_EQ(SplitA("C:\\dir.x\\file"), "C:\\dir.x\\|file|");
  EXPECT_EQ(SplitA(".profile"), "||profile");
  EXPECT_EQ(SplitA(""), "||");
  EXPECT_EQ(SplitW(OV_WIDE("\\\\server\\share\\a.b.c")), "\\\\server\\share\\|a.b|c");
}

TEST(SplitPath, KeepsTheExtensionWithTheNameWhenItHasNoPlaceOfItsOwn) {
  EXPECT_EQ(SplitA("C:\\dir\\file."), "C:\\dir\\|file.|");
  EXPECT_EQ(SplitW(OV_WIDE("C:\\dir\\file.")), "C:\\dir\\|file.|");
  EXPECT_EQ(SplitA("C:\\dir\\file.txt", true, true, false), "C:\\dir\\|file.txt|-");
  EXPECT_EQ(SplitA("C:\\dir\\file.txt", false, false, true), "-|-|txt");
  EXPECT_EQ(SplitA("C:\\dir\\file.", false, false, true), "-|-|");
  SplitPathA("C:\\dir\\file.txt", nullptr, nullptr, nullptr);  // nothing wanted, nothing written
}

// The narrow split takes paths of up to 259 bytes; the wide one empties
// everything when a component outgrows its buffer (name 256, directory 2048).
TEST(SplitPath, EmptiesEverythingBeyondItsBuffers) {
  const std::string longest = "C:\\" + std::string(250, 'd') + "\\f.txt";
  ASSERT_EQ(longest.size(), size_t{MAX_PATH - 1});
  EXPECT_EQ(SplitA(longest), longest.substr(0, longest.size() - 5) + "|f|txt");
  EXPECT_EQ(SplitA(longest + "x"), "||");
  const WideString name256(256, u'n');
  EXPECT_EQ(SplitW(OV_WIDE("C:\\d\\") + name256 + OV_WIDE(".e")), "C:\\d\\|" + std::string(256, 'n') + "|e");
  EXPECT_EQ(SplitW(OV_WIDE("C:\\d\\n") + name256 + OV_WIDE(".e")), "||");
  const WideString dir2048 = OV_WIDE("\\") + WideString(2046, u'd') + OV_WIDE("\\");
  EXPECT_EQ(SplitW(OV_WIDE("C:") + dir2048 + OV_WIDE("f.e")), "C:" + ToUtf8(dir2048) + "|f|e");
  EXPECT_EQ(SplitW(OV_WIDE("C:d") + dir2048 + OV_WIDE("f.e")), "||");
}

#ifdef _WIN32
// The runtime's own splitter is the reference for the narrow and wide split.
TEST(SplitPath, AgreesWithTheRuntimeSplitter) {
  std::mt19937 random(20240611);
  const char alphabet[] = "ab.\\/:C ";
  for (int round = 0; round < 600; ++round) {
    std::string path;
    for (size_t i = 0, length = random() % 24; i < length; ++i) path += alphabet[random() % (sizeof alphabet - 1)];
    char drive[_MAX_DRIVE], dir[_MAX_DIR], name[_MAX_FNAME], ext[_MAX_EXT];
    _splitpath(path.c_str(), drive, dir, name, ext);
    const bool extApart = std::strlen(ext) > 1;
    const std::string expected = std::string(drive) + dir + "|" + name + (extApart ? "" : ext) + "|" +
                                 (extApart ? ext + 1 : "");
    EXPECT_EQ(SplitA(path), expected) << "'" << path << "'";
    EXPECT_EQ(SplitW(WidenAscii(path.c_str())), expected) << "'" << path << "'";
  }
}
#endif

std::string JoinA(const char* dir, const char* name, const char* ext) {
  char out[MAX_PATH];
  MakePathA(out, dir, name, ext);
  return out;
}

TEST(MakePath, JoinsWithOneBackslashAndOneDot) {
  EXPECT_EQ(JoinA("C:\\dir", "file", "txt"), "C:\\dir\\file.txt");
  EXPECT_EQ(JoinA("C:\\dir\\", "file", ".txt"), "C:\\dir\\file.txt");
  EXPECT_EQ(JoinA("C:/dir/", "file", "txt"), "C:/dir/file.txt");
  EXPECT_EQ(JoinA("", "file", ""), "file");
  EXPECT_EQ(JoinA(nullptr, "file", nullptr), "file");
  WCHAR wide[MAX_PATH];
  MakePathW(wide, OV_WIDE("\\\\server\\share"), OV_WIDE("a.b"), OV_WIDE("c"));
  EXPECT_EQ(ToUtf8(wide), "\\\\server\\share\\a.b.c");
}

TEST(MakePath, NeverWritesBeyondItsBuffer) {
  char guarded[MAX_PATH + 8];
  std::memset(guarded, '#', sizeof guarded);
  MakePathA(guarded, "C:\\dir", std::string(400, 'n').c_str(), "txt");
  EXPECT_EQ(std::strlen(guarded), size_t{MAX_PATH - 1});
  EXPECT_EQ(std::string(guarded + MAX_PATH, 8), "########");
  char exact[8];
  EXPECT_TRUE(files::JoinPath(exact, sizeof exact, "ab", "cd", "e"));
  EXPECT_STREQ(exact, "ab\\cd.e");
  EXPECT_FALSE(files::JoinPath(exact, sizeof exact, "ab", "cde", "f"));
  EXPECT_STREQ(exact, "ab\\cde.");
}

std::string Slashed(int (*function)(char*), std::string text, int expected) {
  char buffer[32];
  std::strcpy(buffer, text.c_str());
  EXPECT_EQ(function(buffer), expected) << "on '" << text << "'";
  return buffer;
}

TEST(TrailingBackslash, NeedslshLeavesTheCurrentDirectoryOfADriveAlone) {
  EXPECT_EQ(Slashed(needslsh, "C:", 0), "C:");
  EXPECT_EQ(Slashed(needslsh, "C:\\dir", 1), "C:\\dir\\");
  EXPECT_EQ(Slashed(needslsh, "C:\\dir\\", 0), "C:\\dir\\");
  EXPECT_EQ(Slashed(needslsh, "", 0), "");
  EXPECT_EQ(Slashed(needslsh, "C:/dir/", 1), "C:/dir/\\");
  EXPECT_EQ(Slashed(forceslsh, "C:", 1), "C:\\");
  EXPECT_EQ(Slashed(forceslsh, "C:\\", 0), "C:\\");
  EXPECT_EQ(Slashed(forceslsh, "", 0), "");
  EXPECT_EQ(Slashed(forceslsh, "dir", 1), "dir\\");
}

TEST(TrailingBackslash, NeedslshAIsTheSameExportedFunction) {
  testing_support::LoadedLibrary library(testing_support::LibraryFile());
  ASSERT_TRUE(library.loaded());
  auto narrow = library.Get<int (*)(char*)>("needslshA");
  ASSERT_NE(narrow, nullptr);
  EXPECT_EQ(narrow, library.Get<int (*)(char*)>("needslsh"));
}

TEST(TrailingBackslash, RemoveslshTakesOffOneBackslash) {
  EXPECT_EQ(Slashed(removeslsh, "C:\\", 1), "C:");
  EXPECT_EQ(Slashed(removeslsh, "\\", 1), "");
  EXPECT_EQ(Slashed(removeslsh, "C:\\dir\\\\", 1), "C:\\dir\\");
  EXPECT_EQ(Slashed(removeslsh, "C:\\dir", 0), "C:\\dir");
  EXPECT_EQ(Slashed(removeslsh, "C:/dir/", 0), "C:/dir/");
  EXPECT_EQ(Slashed(removeslsh, "", 0), "");
}

TEST(TrailingBackslash, WideNeedslshAppendsToAShare) {
  WCHAR share[32] = {};
  WideCopyBounded(share, OV_WIDE("\\\\server\\share"), 32);
  EXPECT_EQ(needslshW(share), 1);
  EXPECT_EQ(needslshW(share), 0);
  EXPECT_EQ(ToUtf8(share), "\\\\server\\share\\");
  WCHAR drive[4] = {u'D', u':', 0, 0};
  EXPECT_EQ(needslshW(drive), 0);
}

// Double-byte text in code page 932, where 0x95 0x5C is one character whose
// trail byte is a backslash. The POSIX layer pins the code page; under Wine
// the program runs a second time in a Japanese locale.
class DoubleByte : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    if (platform::GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
#else
    platform::AnsiCodePageStore::Pin(932);
#endif
  }
  void TearDown() override {
#ifndef _WIN32
    platform::AnsiCodePageStore::Pin(0);
#endif
  }
};

TEST_F(DoubleByte, ATrailByteIsNeitherASeparatorNorADot) {
  EXPECT_EQ(SplitA("C:\\a\x95\\b.txt"), "C:\\|a\x95\\b|txt");
  EXPECT_EQ(SplitA("C:\\d\\\x81.x"), "C:\\d\\|\x81.x|");  // a lead byte takes even a dot along
  EXPECT_EQ(JoinA("C:\\\x95\\", "f", "e"), "C:\\\x95\\\\f.e");
  EXPECT_EQ(Slashed(removeslsh, "C:\\\x95\\", 0), "C:\\\x95\\");
  EXPECT_EQ(Slashed(needslsh, "C:\\\x95\\", 0), "C:\\\x95\\");  // needslsh looks at the last byte
}

TEST_F(DoubleByte, TheDoubleByteSpaceIsCutFromTheEndOfAName) {
  char out[32];
  RemoveTrailingSpacesAndPeriods("name\x81\x40.", out);
  EXPECT_STREQ(out, "name");
  RemoveTrailingSpacesAndPeriods("\x95\\.", out);  // a trail byte 0x5C is kept
  EXPECT_STREQ(out, "\x95\\");
}

std::string Checked(std::string text, int expected) {
  char buffer[MAX_PATH + 1];
  std::strcpy(buffer, text.c_str());
  EXPECT_EQ(chk_path(buffer), expected) << "on '" << text << "'";
  return buffer;
}

// "C:" names the drive's current directory, but the check tests its root.
TEST(CheckPath, CutsBlanksAddsTheBackslashAndTestsTheDirectory) {
  TempDir dir;
  const std::string folder = dir.path().string();
  EXPECT_EQ(Checked(folder + "   ", 0), folder + "\\");
  EXPECT_EQ(Checked("  " + folder + "\\", -1), "  " + folder + "\\");  // leading blanks stay
  testing_support::WriteTextFile(dir.path() / "file", "x");
  EXPECT_EQ(Checked(folder + "\\file", -1), folder + "\\file\\");
  EXPECT_EQ(Checked(folder + "\\missing", -1), folder + "\\missing\\");
  EXPECT_EQ(Checked("   ", -1), "");
  EXPECT_EQ(Checked("", 0), "");
  EXPECT_EQ(Checked("C:   ", 0), "C:");
  EXPECT_EQ(Checked("C:\\", 0), "C:\\");
}

TEST(CurrentDirectory, ChangesAndReadsBack) {
  TempDir dir;
  fs::path before = fs::current_path();
  ASSERT_NE(chng_dir(dir.path().string().c_str()), 0);
  char out[MAX_PATH] = "junk";
  EXPECT_EQ(curr_path(0, out), 0);
  EXPECT_TRUE(fs::equivalent(fs::path(out), dir.path())) << out;
  EXPECT_EQ(chng_dir((dir.path() / "missing").string().c_str()), 0);
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path()));
  fs::current_path(before);
}

// The test's folder is entered through C:, and Z: is another drive: the root
// of the file system under Wine; a folder of its own in the POSIX layer's
// drive table, which remembers the directory last entered on each drive.
TEST(CurrentDirectory, ReadingAnotherDrivesDirectoryLeavesOursAlone) {
  TempDir dir, other;
  fs::path before = fs::current_path();
#ifdef _WIN32
  const std::string onDriveC = dir.path().string();
#else
  platform::posix::DriveTable::Instance().Load("C:=/;Z:=" + other.path().string());
  fs::create_directory(other.path() / "sub");
  ASSERT_NE(chng_dir("Z:\\sub"), 0);
  const std::string onDriveC = "C:" + dir.path().string();
#endif
  ASSERT_NE(chng_dir(onDriveC.c_str()), 0);
  ASSERT_EQ(default_drive(), 3);

  char out[MAX_PATH] = "";
  EXPECT_EQ(curr_path(26, out), 0);
#ifdef _WIN32
  EXPECT_EQ(std::string(out).substr(0, 2), "Z:");
  EXPECT_TRUE(fs::is_directory(fs::path(out))) << out;
#else
  EXPECT_TRUE(fs::equivalent(fs::path(out), other.path() / "sub")) << out;
#endif
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path()));
  EXPECT_EQ(default_drive(), 3);

  // A drive that cannot be selected gives the current directory.
  std::memset(out, 0, sizeof out);
  EXPECT_EQ(curr_path(200, out), 0);
  EXPECT_TRUE(fs::equivalent(fs::path(out), dir.path())) << out;
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path()));
  fs::current_path(before);
#ifndef _WIN32
  platform::posix::DriveTable::Instance().LoadFromEnvironment();
#endif
}

TEST(CurrentDrive, SelectsOnlyARealDrive) {
  const int drive = default_drive();
  EXPECT_EQ(select_drive(drive), 0);
  EXPECT_EQ(select_drive(27), -1);
  EXPECT_EQ(default_drive(), drive);
}

TEST(Directories, MakeAndRemoveOneLevel) {
  TempDir dir;
  const std::string made = (dir.path() / "made").string();
  EXPECT_EQ(make_dir(made.c_str()), 0);
  EXPECT_EQ(make_dir(made.c_str()), -1);
  EXPECT_EQ(make_dir((dir.path() / "no" / "parent").string().c_str()), -1);
  testing_support::WriteTextFile(fs::path(made) / "f", "x");
  EXPECT_EQ(remove_dir(made.c_str()), -1);
  fs::remove(fs::path(made) / "f");
  EXPECT_EQ(remove_dir(made.c_str()), 0);
  EXPECT_FALSE(fs::exists(made));
  EXPECT_EQ(remove_dir(made.c_str()), -1);
}

}  // namespace
