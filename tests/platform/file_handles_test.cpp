#include <string>
#include <vector>

#include "file_fixture.h"

namespace {

using FileHandleTest = FileTest;

TEST_F(FileHandleTest, DispositionsAndNamesGiveTheWindowsErrors) {
  Make("f.txt", "data");
  MakeFolder("sub");
  const struct {
    const char* name;
    DWORD access, disposition, flags, error;
  } opens[] = {
      {"new.txt", GENERIC_WRITE, CREATE_NEW, 0, 0}, {"new.txt", GENERIC_WRITE, CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"absent.txt", GENERIC_READ, OPEN_EXISTING, 0, ERROR_FILE_NOT_FOUND},
      {"absent\\x.txt", GENERIC_WRITE, CREATE_ALWAYS, 0, ERROR_PATH_NOT_FOUND},
      {"new.txt", GENERIC_READ, 9, 0, ERROR_INVALID_PARAMETER},
      {"f.txt", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_ALREADY_EXISTS}, {"fresh.txt", GENERIC_READ, OPEN_ALWAYS, 0, 0},
      {"f.txt\\", GENERIC_READ, OPEN_EXISTING, 0, ERROR_INVALID_NAME},
      {"f.txt\\x", GENERIC_READ, OPEN_EXISTING, 0, ERROR_PATH_NOT_FOUND},
      {"a*b", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_INVALID_NAME}, {"a|b", GENERIC_READ, OPEN_ALWAYS, 0, ERROR_INVALID_NAME},
      // Trailing periods and blanks go, ".." folds by the text even through
      // a folder that is not there, and "/" separates like "\".
      {"f.txt . ", GENERIC_READ, OPEN_EXISTING, 0, 0}, {".\\absent/../f.txt", GENERIC_READ, OPEN_EXISTING, 0, 0},
      // Folders open only with backup semantics.
      {"sub", GENERIC_READ, OPEN_EXISTING, 0, ERROR_ACCESS_DENIED}, {"sub", GENERIC_READ, CREATE_NEW, 0, ERROR_FILE_EXISTS},
      {"sub", GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, 0},
  };
  for (const auto& open : opens) {
    EXPECT_EQ(OpenError(open.name, open.access, kShareAll, open.disposition, open.flags | FILE_ATTRIBUTE_NORMAL),
              open.error) << open.name;
  }
  EXPECT_EQ(platform::CreateFileA("", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  // CREATE_ALWAYS and TRUNCATE_EXISTING empty the file.
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(Contents("f.txt"), "");
  Make("f.txt", "data");
  EXPECT_EQ(OpenError("f.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING), 0u);
  EXPECT_EQ(Contents("f.txt"), "");
}

TEST_F(FileHandleTest, ReadsAndWritesFollowTheFilePointer) {
  ScopedHandle file(Open("data.bin", kReadWrite, 0, CREATE_NEW));
  ASSERT_TRUE(Write(file.get(), "0123456789"));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 3, nullptr, FILE_BEGIN), 3u);
  EXPECT_EQ(ReadAll(file.get()), "3456789");
  EXPECT_EQ(ReadAll(file.get()), "");  // at the end a read succeeds with nothing
  EXPECT_EQ(platform::SetFilePointer(file.get(), -4, nullptr, FILE_END), 6u);
  EXPECT_EQ(platform::SetFilePointer(file.get(), -4, nullptr, FILE_CURRENT), 2u);
  // A move before the start fails and leaves the pointer where it was.
  EXPECT_EQ(platform::SetFilePointer(file.get(), -10, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  EXPECT_EQ(platform::SetFilePointer(file.get(), 0, nullptr, 7), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(platform::SetEndOfFile(file.get()));  // cuts at the pointer
  EXPECT_TRUE(platform::FlushFileBuffers(file.get()));
  file.Close();
  EXPECT_EQ(Contents("data.bin"), "01");
}

TEST_F(FileHandleTest, HandlesOnlyDoWhatTheirAccessAllowsAndOnlyWhileOpen) {
  Make("f.txt", "data");
  HANDLE reader = Open("f.txt", GENERIC_READ, kShareAll);
  ScopedHandle writer(Open("f.txt", GENERIC_WRITE, kShareAll));
  EXPECT_EQ(ErrorOf([&] { return Write(reader, "x"); }), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(ReadAll(writer.get()), "<read failed>");
  EXPECT_EQ(platform::GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(Contents("f.txt"), "data");
  EXPECT_TRUE(platform::CloseHandle(reader));
  EXPECT_EQ(ErrorOf([&] { return platform::CloseHandle(reader); }), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(ReadAll(reader), "<read failed>");
  EXPECT_FALSE(platform::CloseHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(0x1234))));
  EXPECT_TRUE(platform::CloseHandle(INVALID_HANDLE_VALUE));  // the process pseudo-handle: closes without effect
}

class FileNameTest : public FileTest {
 protected:
  void SetUp() override {
    Make("a.txt", "a");
    Make("b.txt", "b");
    MakeFolder("sub");
  }
  DWORD Move(const char* from, const char* to, DWORD flags = 0) {
    return ErrorOf([&] { return platform::MoveFileExA(Path(from).c_str(), Path(to).c_str(), flags); });
  }
  DWORD Delete(const char* name) { return ErrorOf([&] { return platform::DeleteFileA(Path(name).c_str()); }); }
  DWORD MakeDir(const char* name) { return ErrorOf([&] { return platform::CreateDirectoryA(Path(name).c_str(), nullptr); }); }
  DWORD RemoveDir(const char* name) { return ErrorOf([&] { return platform::RemoveDirectoryA(Path(name).c_str()); }); }
  DWORD SetAttributes(const char* name, DWORD attributes) {
    return ErrorOf([&] { return platform::SetFileAttributesA(Path(name).c_str(), attributes); });
  }
};

TEST_F(FileNameTest, NameOperationsGiveTheWindowsErrors) {
  const DWORD errors[] = {Delete("absent.txt"), Delete("absent\\x.txt"), Delete("sub"), Move("a.txt", "b.txt"),
                          Move("a.txt", "sub", MOVEFILE_REPLACE_EXISTING), Move("absent.txt", "c.txt"),
                          Move("a.txt", "absent\\c.txt"), MakeDir("sub"), MakeDir("a.txt"), MakeDir("absent\\sub"),
                          MakeDir("sub\\inner"), RemoveDir("sub"), RemoveDir("a.txt"), RemoveDir("absent"),
                          SetAttributes("absent.txt", 0)};
  EXPECT_EQ(std::vector<DWORD>(std::begin(errors), std::end(errors)),
            (std::vector<DWORD>{2, 3, 5, 183, 5, 2, 3, 183, 183, 3, 0, 145, 267, 2, 2}));
  EXPECT_EQ(Contents("b.txt"), "b");
}

TEST_F(FileNameTest, MovesReplaceOnlyWhenAskedAndReadOnlyFilesStayPut) {
  EXPECT_EQ(Move("a.txt", "b.txt", MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH), 0u);
  EXPECT_EQ(Contents("b.txt"), "a");
  EXPECT_FALSE(Exists("a.txt"));
  EXPECT_EQ(Move("b.txt", "sub\\b.txt", MOVEFILE_COPY_ALLOWED), 0u);
  EXPECT_EQ(Move("sub", "moved"), 0u);
  EXPECT_EQ(Contents("moved/b.txt"), "a");
  // A read-only file may move and stays read-only, but cannot be deleted.
  Make("ro.txt", "ro");
  EXPECT_EQ(SetAttributes("ro.txt", FILE_ATTRIBUTE_READONLY), 0u);
  EXPECT_EQ(Move("ro.txt", "ro2.txt"), 0u);
  EXPECT_TRUE(Attributes("ro2.txt") & FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(Delete("ro2.txt"), 5u);
#ifndef _WIN32
  // Windows refuses to replace a read-only file (Wine replaces it).
  Make("c.txt", "c");
  EXPECT_EQ(Move("c.txt", "ro2.txt", MOVEFILE_REPLACE_EXISTING), 5u);
#endif
  EXPECT_EQ(SetAttributes("ro2.txt", FILE_ATTRIBUTE_NORMAL), 0u);
  EXPECT_EQ(Delete("ro2.txt.. "), 0u);  // trailing periods and blanks go
  EXPECT_FALSE(Exists("ro2.txt"));
}

TEST_F(FileNameTest, AttributesTellFoldersReadOnlyAndHiddenFiles) {
  Make(".hidden", "x");
  const DWORD kTold = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
  EXPECT_EQ(Attributes("sub\\") & kTold, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Attributes("a.txt") & kTold, 0u);
  EXPECT_EQ(Attributes(".hidden") & kTold, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_FALSE(Attributes(".") & FILE_ATTRIBUTE_HIDDEN);
  WideString wide = WidenAscii(Path("a.txt").c_str());
  ASSERT_TRUE(platform::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(platform::GetFileAttributesW(wide.c_str()) & kTold, FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(SetAttributes("a.txt", FILE_ATTRIBUTE_NORMAL), 0u);
  for (const auto& [name, error] : {std::pair<const char*, DWORD>{"absent.txt", 2}, {"a.txt\\", 3}}) {
    EXPECT_EQ(Attributes(name), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(platform::GetLastError(), error) << name;
  }
}

}  // namespace
