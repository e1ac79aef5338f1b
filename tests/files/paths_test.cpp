#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "files/paths.h"
#include "ovpb32.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "support/test_support.h"
#ifdef _WIN32
#include <windows.h>
#else
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

TEST(SplitPath, TakesDirectoryNameAndExtensionWithinItsBuffers) {
  const std::pair<std::string, std::string> splits[] = {
      {"C:\\dir\\file.txt", "C:\\dir\\|file|txt"}, {"\\\\server\\share\\a.b.c", "\\\\server\\share\\|a.b|c"},
      {"file", "|file|"}, {"C:file.txt", "C:|file|txt"}, {"dir/sub/file.txt", "dir/sub/|file|txt"},
      {"C:\\dir.x\\file", "C:\\dir.x\\|file|"}, {".profile", "||profile"}, {"", "||"},
      {"C:\\dir\\file.", "C:\\dir\\|file.|"},  // no extension of its own: it stays with the name
  };
  for (const auto& [path, parts] : splits) {
    EXPECT_EQ(SplitA(path), parts) << path;
    EXPECT_EQ(SplitW(WidenAscii(path.c_str())), parts) << path;
  }
  EXPECT_EQ(SplitA("C:\\dir\\file.txt", true, true, false), "C:\\dir\\|file.txt|-");
  EXPECT_EQ(SplitA("C:\\dir\\file.txt", false, false, true), "-|-|txt");
  // The narrow split takes paths of up to 259 bytes; the wide one empties
  // everything when a component outgrows its buffer (name 256, directory 2048).
  const std::string longest = "C:\\" + std::string(250, 'd') + "\\f.txt";
  EXPECT_EQ(SplitA(longest), longest.substr(0, longest.size() - 5) + "|f|txt");
  EXPECT_EQ(SplitA(longest + "x"), "||");
  const WideString name256(256, u'n'), dir2048 = OV_WIDE("\\") + WideString(2046, u'd') + OV_WIDE("\\");
  EXPECT_EQ(SplitW(OV_WIDE("C:\\d\\") + name256 + OV_WIDE(".e")), "C:\\d\\|" + std::string(256, 'n') + "|e");
  EXPECT_EQ(SplitW(OV_WIDE("C:\\d\\n") + name256 + OV_WIDE(".e")), "||");
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

TEST(MakePath, JoinsWithOneBackslashAndOneDotWithinItsBuffer) {
  EXPECT_EQ(JoinA("C:\\dir", "file", "txt"), "C:\\dir\\file.txt");
  EXPECT_EQ(JoinA("C:/dir/", "file", ".txt"), "C:/dir/file.txt");
  EXPECT_EQ(JoinA(nullptr, "file", ""), "file");
  WCHAR wide[MAX_PATH];
  MakePathW(wide, OV_WIDE("\\\\server\\share"), OV_WIDE("a.b"), OV_WIDE("c"));
  EXPECT_EQ(ToUtf8(wide), "\\\\server\\share\\a.b.c");
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

// What `function` leaves of `text` and what it answers, as "text returned".
std::string Slashed(int (*function)(char*), const char* text) {
  char buffer[32];
  std::strcpy(buffer, text);
  const int returned = function(buffer);
  return std::string(buffer) + " " + std::to_string(returned);
}

TEST(TrailingBackslash, IsAddedOrTakenOffOnceAndNeedslshLeavesADriveAlone) {
  const struct {
    int (*function)(char*);
    const char *text, *result;
  } cases[] = {
      {needslsh, "C:", "C: 0"},          {needslsh, "C:\\dir", "C:\\dir\\ 1"}, {needslsh, "C:\\dir\\", "C:\\dir\\ 0"},
      {needslsh, "", " 0"},              {needslsh, "C:/dir/", "C:/dir/\\ 1"}, {forceslsh, "C:", "C:\\ 1"},
      {forceslsh, "C:\\", "C:\\ 0"},     {forceslsh, "dir", "dir\\ 1"},       {removeslsh, "C:\\", "C: 1"},
      {removeslsh, "\\", " 1"},          {removeslsh, "C:\\d\\\\", "C:\\d\\ 1"}, {removeslsh, "C:\\d", "C:\\d 0"},
      {removeslsh, "C:/dir/", "C:/dir/ 0"}, {removeslsh, "", " 0"},
  };
  for (const auto& c : cases) EXPECT_EQ(Slashed(c.function, c.text), c.result) << c.text;
  WCHAR share[32] = OV_WIDE("\\\\server\\share");
  EXPECT_EQ(needslshW(share), 1);
  EXPECT_EQ(needslshW(share), 0);
  EXPECT_EQ(ToUtf8(share), "\\\\server\\share\\");
  WCHAR drive[4] = {u'D', u':', 0, 0};
  EXPECT_EQ(needslshW(drive), 0);
}

// Double-byte text in code page 932, where 0x95 0x5C is one character whose
// trail byte is a backslash. The POSIX layer pins the code page; under Wine
// the program runs a second time in a Japanese locale.
TEST(DoubleByte, ATrailByteIsNeitherASeparatorNorADot) {
#ifdef _WIN32
  if (platform::GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
#else
  platform::AnsiCodePageStore::Pin(932);
#endif
  EXPECT_EQ(SplitA("C:\\a\x95\\b.txt"), "C:\\|a\x95\\b|txt");
  EXPECT_EQ(SplitA("C:\\d\\\x81.x"), "C:\\d\\|\x81.x|");  // a lead byte takes even a dot along
  EXPECT_EQ(JoinA("C:\\\x95\\", "f", "e"), "C:\\\x95\\\\f.e");
  EXPECT_EQ(Slashed(removeslsh, "C:\\\x95\\"), "C:\\\x95\\ 0");
  EXPECT_EQ(Slashed(needslsh, "C:\\\x95\\"), "C:\\\x95\\ 0");  // needslsh looks at the last byte
  char out[32];
  RemoveTrailingSpacesAndPeriods("name\x81\x40.", out);  // the double-byte space is cut too
  EXPECT_STREQ(out, "name");
  RemoveTrailingSpacesAndPeriods("\x95\\.", out);
  EXPECT_STREQ(out, "\x95\\");
#ifndef _WIN32
  platform::AnsiCodePageStore::Pin(0);
#endif
}

// "C:" names the drive's current directory, but the check tests its root.
TEST(CheckPath, CutsBlanksAddsTheBackslashAndTestsTheDirectory) {
  TempDir dir;
  const std::string folder = dir.path().string();
  testing_support::WriteTextFile(dir.path() / "file", "x");
  const struct {
    std::string text, result;
    int returned;
  } cases[] = {{folder + "   ", folder + "\\", 0},          {"  " + folder + "\\", "  " + folder + "\\", -1},
               {folder + "\\file", folder + "\\file\\", -1}, {folder + "\\missing", folder + "\\missing\\", -1},
               {"   ", "", -1}, {"", "", 0}, {"C:   ", "C:", 0}, {"C:\\", "C:\\", 0}};
  for (const auto& c : cases) {
    char buffer[MAX_PATH + 1];
    std::strcpy(buffer, c.text.c_str());
    EXPECT_EQ(chk_path(buffer), c.returned) << c.text;
    EXPECT_EQ(std::string(buffer), c.result);
  }
}

// The test's folder is entered through C:, and Z: is another drive: the root
// of the file system under Wine; a folder of its own in the POSIX layer's
// drive table, which remembers the directory last entered on each drive.
TEST(CurrentDirectory, ChangesAndReadsBackOursOrAnotherDrives) {
  TempDir dir, other;
  const fs::path before = fs::current_path();
#ifdef _WIN32
  const std::string onDriveC = dir.path().string(), otherDrive = "Z:";
#else
  platform::posix::DriveTable::Instance().Load("C:=/;Z:=" + other.path().string());
  fs::create_directory(other.path() / "sub");
  ASSERT_NE(chng_dir("Z:\\sub"), 0);
  const std::string onDriveC = "C:" + dir.path().string(), otherDrive = (other.path() / "sub").string();
#endif
  ASSERT_NE(chng_dir(onDriveC.c_str()), 0);
  EXPECT_EQ(chng_dir((dir.path() / "missing").string().c_str()), 0);
  EXPECT_EQ(default_drive(), 3);
  char here[MAX_PATH] = "junk", there[MAX_PATH] = "junk", unusable[MAX_PATH] = "junk";
  EXPECT_EQ(curr_path(0, here) + curr_path(26, there) + curr_path(200, unusable), 0);
  EXPECT_TRUE(fs::equivalent(fs::path(here), dir.path())) << here;
  EXPECT_EQ(std::string(there).substr(0, otherDrive.size()), otherDrive);
  EXPECT_STREQ(unusable, here);  // a drive that cannot be selected gives the current directory
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir.path()));
  EXPECT_EQ(select_drive(27), -1);
  EXPECT_EQ(select_drive(3), 0);
  fs::current_path(before);
#ifndef _WIN32
  platform::posix::DriveTable::Instance().LoadFromEnvironment();
#endif
}

TEST(LongPathForm, StartsAtMaxPathCharacters) {
  const std::string drive259 = "C:\\" + std::string(256, 'x'), drive260 = drive259 + "y";
  const std::string unc260 = "\\\\server\\share\\" + std::string(245, 'x');
  const std::string prefixed = "\\\\?\\C:\\" + std::string(293, 'x');
  const std::pair<std::string, std::string> forms[] = {
      {drive259, "(none)"}, {drive260, "\\\\?\\" + drive260}, {unc260, "\\\\?\\UNC" + unc260.substr(1)}, {prefixed, prefixed}};
  for (const auto& [path, form] : forms) {
    std::unique_ptr<char[]> narrow = files::LongPathForm(path.c_str());
    EXPECT_EQ(narrow ? std::string(narrow.get()) : "(none)", form);
    std::unique_ptr<WCHAR[]> wide = files::LongPathForm(WidenAscii(path.c_str()).c_str());
    EXPECT_EQ(wide ? ToUtf8(wide.get()) : "(none)", form);
  }
  EXPECT_EQ(MakeLongPathStub(OV_WIDE("C:\\f.txt")), OV_WIDE("C:\\f.txt"));
  EXPECT_EQ(MakeLongPathStub(WidenAscii(unc260.c_str()).c_str()), OV_WIDE("\\\\?\\UNC") + WidenAscii(unc260.c_str() + 1));
  EXPECT_EQ(MakeLongPathStub(nullptr), WideString());
}

// Attributes change and read on a short path and on one far beyond MAX_PATH.
TEST(Attributes, ChangeSetsAndClearsBitsAndReadsTellDirectoriesOnShortAndLongPaths) {
  TempDir dir;
  std::string folder = dir.path().string();
  while (folder.size() < 300) {
    folder += static_cast<char>(fs::path::preferred_separator) + std::string(40, 'd');
#ifdef _WIN32
    ::CreateDirectoryW((L"\\\\?\\" + fs::path(folder).wstring()).c_str(), nullptr);
#else
    fs::create_directory(folder);
#endif
  }
  const WideString longFile = WidenAscii((folder + "\\long.txt").c_str());
  HANDLE created = OVCreateFileW(longFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(created, INVALID_HANDLE_VALUE);
  platform::CloseHandle(created);
  EXPECT_EQ(file_exist_actualw(longFile.c_str()), 1);
  const std::string file = (dir / "file.txt").string(), missing = (dir / "missing").string();
  testing_support::WriteTextFile(file, "content");
  EXPECT_NE(ChangeFileAttributes(file.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  EXPECT_NE(platform::GetFileAttributesA(file.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  EXPECT_EQ(ChangeFileAttributes(missing.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
  const DWORD kTold = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY;
  for (const WideString& name : {WidenAscii(file.c_str()), longFile}) {
    EXPECT_NE(ChangeFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY, 0), 0);
    EXPECT_EQ(OVGetFileAttributes(name.c_str()) & kTold, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    // A bit both set and cleared ends up cleared.
    EXPECT_NE(ChangeFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY, FILE_ATTRIBUTE_READONLY), 0);
    EXPECT_EQ(OVGetFileAttributes(name.c_str()) & kTold, 0u);
  }
  EXPECT_EQ(OVGetFileAttributes(WidenAscii(dir.path().string().c_str()).c_str()) & kTold,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(OVGetFileAttributes(WidenAscii(missing.c_str()).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(OVGetFileAttributes(nullptr), INVALID_FILE_ATTRIBUTES);
}

TEST(TrailingPeriods, RemovedWithTheSpacesAroundThemAndFoundInAnyComponent) {
  const std::pair<const char*, const char*> names[] = {
      {"  report. . ", "report"}, {"...", ""}, {"a.b c", "a.b c"}, {"name\t.\r", "name"}, {"  .hidden", ".hidden"}};
  for (const auto& [name, cleaned] : names) {
    char out[64];
    RemoveTrailingSpacesAndPeriods(name, out);
    EXPECT_STREQ(out, cleaned) << name;
  }
  char inPlace[] = "  dir . ";
  RemoveTrailingSpacesAndPeriods(inPlace, inPlace);
  EXPECT_STREQ(inPlace, "dir");
  for (const char* path : {"C:\\dir.\\file.txt", "C:\\dir\\file.", "C:\\dir...\\file", "  C:\\dir.  "}) {
    EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods(path), 1) << path;
  }
  for (const char* path : {"C:\\dir\\..\\file.txt", ".\\file", "..\\.", "C:\\dir\\file.txt", "\\\\server\\share\\", "   "}) {
    EXPECT_EQ(DoesAnyFolderHaveTrailingPeriods(path), 0) << path;
  }
}

TEST(Handles, ADuplicateIsRewoundAndSharesThePosition) {
  testing_support::TempDir dir;
  testing_support::WriteTextFile(dir / "data.bin", "0123456789");
  HANDLE file = platform::CreateFileA((dir / "data.bin").string().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_EQ(platform::SetFilePointer(file, 6, nullptr, FILE_BEGIN), 6u);
  HANDLE copy = OVDuplFileHandle(file);
  ASSERT_NE(copy, file);
  auto read3 = [](HANDLE from) {
    char bytes[4] = {};
    DWORD read = 0;
    platform::ReadFile(from, bytes, 3, &read, nullptr);
    return std::string(bytes, read);
  };
  EXPECT_EQ(read3(copy), "012");
  EXPECT_EQ(read3(file), "345");
  EXPECT_TRUE(platform::CloseHandle(file));
  EXPECT_EQ(read3(copy), "678");  // the copy outlives the first handle
  EXPECT_TRUE(platform::CloseHandle(copy));
  EXPECT_EQ(OVDuplFileHandle(INVALID_HANDLE_VALUE), INVALID_HANDLE_VALUE);
}

}  // namespace
