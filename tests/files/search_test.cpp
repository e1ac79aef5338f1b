// The directory search that hides entries, the line reader and the sorted
// record searches over files and streams.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "ovpb32.h"
#include "platform/files.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;

// ---- Directory search --------------------------------------------------------

class DirectorySearch : public ::testing::Test {
 protected:
  void SetUp() override {
    testing_support::WriteTextFile(dir_ / "normal.txt", "n");
    hidden_ = (dir_ / ".hidden").string();
    testing_support::WriteTextFile(hidden_, "h");
    platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_HIDDEN);  // a dot name is hidden on POSIX
    fs::create_directory(dir_ / "sub");
    pattern_ = (dir_ / "*").string();
  }
  void TearDown() override { platform::SetFileAttributesA(hidden_.c_str(), FILE_ATTRIBUTE_NORMAL); }

  // Every entry the search yields, closing it afterwards.
  std::multiset<std::string> Collect(INT_PTR (*first)(const char*, _finddata64i32_t*, int),
                                     int (*next)(INT_PTR, _finddata64i32_t*, int), int withDirectories) {
    std::multiset<std::string> names;
    _finddata64i32_t found;
    INT_PTR search = first(pattern_.c_str(), &found, withDirectories);
    if (search == -1) return names;
    do {
      names.insert(found.name);
    } while (next(search, &found, withDirectories) == 0);
    EXPECT_EQ(next(search, &found, withDirectories), -1);
    platform::_findclose(search);
    return names;
  }

  TempDir dir_;
  std::string hidden_;
  std::string pattern_;
};

INT_PTR First(const char* pattern, _finddata64i32_t* found, int) { return file_find_first(pattern, found); }
int Next(INT_PTR search, _finddata64i32_t* found, int) { return file_find_next(search, found); }

TEST_F(DirectorySearch, PlainSearchYieldsOnlyOrdinaryFiles) {
  EXPECT_EQ(Collect(First, Next, 0), std::multiset<std::string>{"normal.txt"});
  EXPECT_EQ(Collect(file_find_first_ex, file_find_next_ex, 0), std::multiset<std::string>{"normal.txt"});
}

TEST_F(DirectorySearch, WithDirectoriesYieldsThemButNeverHiddenEntries) {
  std::multiset<std::string> expected{".", "..", "normal.txt", "sub"};
  EXPECT_EQ(Collect(file_find_first_ex, file_find_next_ex, 1), expected);
}

TEST_F(DirectorySearch, NothingVisibleGivesNoHandle) {
  _finddata64i32_t found;
  EXPECT_EQ(file_find_first((dir_ / "missing*").string().c_str(), &found), -1);
  EXPECT_EQ(file_find_first((dir_ / "su*").string().c_str(), &found), -1);
  EXPECT_EQ(file_find_first(hidden_.c_str(), &found), -1);
  INT_PTR search = file_find_first_ex((dir_ / "su*").string().c_str(), &found, 1);
  ASSERT_NE(search, -1);
  EXPECT_STREQ(found.name, "sub");
  EXPECT_NE(found.attrib & _A_SUBDIR, 0u);
  platform::_findclose(search);
}

// ---- Line reading ----------------------------------------------------------------

class LineReading : public ::testing::Test {
 protected:
  void TearDown() override {
    if (file_ != HFILE_ERROR) platform::_lclose(file_);
  }
  void Open(const std::string& contents) {
    if (file_ != HFILE_ERROR) platform::_lclose(file_);
    const fs::path path = dir_ / "lines.txt";
    testing_support::WriteTextFile(path, contents);
    file_ = platform::_lopen(path.string().c_str(), OF_READ);
    ASSERT_NE(file_, HFILE_ERROR);
  }
  // Every line until the end, as "text" or "-1".
  std::vector<std::string> ReadAll(int size = 512) {
    std::vector<std::string> lines;
    std::vector<char> buffer(static_cast<size_t>(size) + 1, '#');
    for (int guard = 0; guard < 100; ++guard) {
      int length = ReadLine1(file_, buffer.data(), size);
      if (length < 0) {
        lines.push_back("-1");
        break;
      }
      EXPECT_EQ(std::strlen(buffer.data()), static_cast<size_t>(length));
      EXPECT_EQ(buffer[static_cast<size_t>(size)], '#') << "written beyond size";
      lines.emplace_back(buffer.data());
    }
    return lines;
  }

  TempDir dir_;
  HFILE file_ = HFILE_ERROR;
};

using Lines = std::vector<std::string>;

TEST_F(LineReading, EveryKindOfLineEndEndsOneLine) {
  Open("ab\r\n\r\ncd\rlf\nlfcr\n\rtwo\n\nlast");
  EXPECT_EQ(ReadAll(), (Lines{"ab", "", "cd", "lf", "lfcr", "two", "", "last", "-1"}));
}

TEST_F(LineReading, LinesAcrossBlocksAndALineEndOnTheBoundary) {
  const std::string first(127, 'x'), second(300, 'b'), third(128, 'c');
  Open(first + "\r\n" + second + "\n" + third + "\r\n");  // the first CR is byte 127 of the block
  EXPECT_EQ(ReadAll(), (Lines{first, second, third, "-1"}));
}

TEST_F(LineReading, TheEndOfFileMarkIsNoPartOfTheLastLine) {
  Open("one\r\ntwo\x1A");
  EXPECT_EQ(ReadAll(), (Lines{"one", "two", "-1"}));
  Open("caf\xE9");  // a high byte is no control character
  EXPECT_EQ(ReadAll(), (Lines{"caf\xE9", "-1"}));
  Open("");
  EXPECT_EQ(ReadAll(), (Lines{"-1"}));
}

TEST_F(LineReading, ALineTooLongForTheRoomIsCutButConsumedWhole) {
  Open("abcdef\nghi\n" + std::string(200, 'z') + "\n");
  EXPECT_EQ(ReadAll(4), (Lines{"abc", "ghi", "zzz", "-1"}));
  Open("ab\ncd\n");
  char out[4] = "###";
  EXPECT_EQ(ReadLine1(file_, out, 0), -1);
  EXPECT_EQ(ReadLine1(file_, out, -5), -1);
  EXPECT_STREQ(out, "###");
  EXPECT_EQ(ReadLine1(file_, out, 1), 0);  // room for the terminator only
  EXPECT_EQ(ReadLine1(file_, out, 4), 2);
  EXPECT_STREQ(out, "cd");
}

// ---- Sorted records ----------------------------------------------------------------

// A stream over bytes in memory, with the Windows stream interface; it
// notes every seek.
class MemoryStream : public IStream {
 public:
  explicit MemoryStream(std::string bytes) : bytes_(std::move(bytes)) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG count, ULONG* read) override {
    size_t available = position_ < bytes_.size() ? bytes_.size() - static_cast<size_t>(position_) : 0;
    size_t take = std::min<size_t>(count, available);
    if (take > 0) std::memcpy(buffer, bytes_.data() + position_, take);
    position_ += take;
    if (read != nullptr) *read = static_cast<ULONG>(take);
    return take == count ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override {
    seeks.push_back(move.QuadPart);
    if (origin != STREAM_SEEK_SET || move.QuadPart < 0) return STG_E_INVALIDFUNCTION;
    position_ = static_cast<uint64_t>(move.QuadPart);
    if (position != nullptr) position->QuadPart = position_;
    return S_OK;
  }
  // What the searches never ask for.
  HRESULT STDMETHODCALLTYPE Write(const void*, ULONG, ULONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

  uint64_t position() const { return position_; }
  std::vector<LONGLONG> seeks;

 private:
  std::string bytes_;
  uint64_t position_ = 0;
};

// Eight-byte records keyed by their first four bytes, after a header.
const std::string kHeader = "HEADER";
const std::vector<std::string> kKeys = {"aaaa", "bbbb", "dddd", "ffff", "kkkk", "mmmm", "pppp"};

std::string EightByteRecords() {
  std::string bytes = kHeader;
  for (size_t i = 0; i < kKeys.size(); ++i) bytes += kKeys[i] + "#" + std::to_string(i) + "##";
  return bytes;
}

int SearchStream(MemoryStream& stream, const std::string& key, int keyLength = 4) {
  const int end = static_cast<int>(kHeader.size() + 8 * kKeys.size());
  return bsearchstream(&stream, key.c_str(), keyLength, 8, static_cast<DWORD>(kHeader.size()), end);
}

TEST(SortedStream, FindsEveryStoredKeyAndStopsJustAfterIt) {
  MemoryStream stream(EightByteRecords());
  for (size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(SearchStream(stream, kKeys[i]), static_cast<int>(i)) << kKeys[i];
    EXPECT_EQ(stream.position(), kHeader.size() + 8 * i + 4);
  }
}

TEST(SortedStream, MissesKeysBetweenAndOutsideAndEveryKeyOfAnEmptyRegion) {
  MemoryStream stream(EightByteRecords());
  for (const char* key : {"cccc", "0000", "zzzz", "aaab", "pppo"}) EXPECT_EQ(SearchStream(stream, key), -1) << key;
  EXPECT_EQ(SearchStream(stream, "kk", 2), 4);  // a shorter key compares on its own length
  stream.seeks.clear();
  EXPECT_EQ(bsearchstream(&stream, "aaaa", 4, 8, 6, 6), -1);
  EXPECT_EQ(bsearchstream(&stream, "aaaa", 4, 8, 6, 13), -1);  // less than one record
  EXPECT_EQ(bsearchstream(&stream, "aaaa", 4, 8, 30, 6), -1);
  EXPECT_EQ(bsearchstream(&stream, "aaaa", 4, 0, 6, 30), -1);
  EXPECT_TRUE(stream.seeks.empty());
}

// Records of 32 bytes whose 30-byte keys differ only after byte 25.
std::string LongKeyRecords(std::vector<std::string>* keys) {
  std::string bytes;
  for (char c : {'a', 'b', 'c'}) {
    std::string key = std::string(24, 'k') + c + "tail5";
    keys->push_back(key);
    bytes += key + "##";
  }
  return bytes;
}

TEST(SortedStream, ALongKeyIsComparedOnItsFirst25Bytes) {
  std::vector<std::string> keys;
  MemoryStream stream(LongKeyRecords(&keys));
  const int end = static_cast<int>(32 * keys.size());
  EXPECT_EQ(bsearchstream(&stream, keys[2].c_str(), 30, 32, 0, end), 2);
  std::string differingLate = keys[1].substr(0, 25) + "XXXXX";
  EXPECT_EQ(bsearchstream(&stream, differingLate.c_str(), 30, 32, 0, end), 1);
  EXPECT_EQ(stream.position(), 32u + 25u);
  std::string differingEarly = std::string(23, 'k') + "zb";
  EXPECT_EQ(bsearchstream(&stream, differingEarly.c_str(), 30, 32, 0, end), -1);
}

TEST(SortedStream, OffsetsGoOutSignExtended) {
  MemoryStream stream(EightByteRecords());
  // A start past 2^31 is a negative 32-bit offset, which the stream refuses.
  EXPECT_EQ(bsearchstream(&stream, "zzzz", 4, 8, 0x80000000u, static_cast<int>(0x80000000u + 16u)), -1);
  ASSERT_FALSE(stream.seeks.empty());
  EXPECT_EQ(stream.seeks[0], static_cast<LONGLONG>(INT32_MIN));
}

TEST(SortedFile, SearchesRecordsThroughAnOldStyleHandle) {
  TempDir dir;
  const fs::path path = dir / "records.bin";
  testing_support::WriteTextFile(path, EightByteRecords());
  HFILE file = platform::_lopen(path.string().c_str(), OF_READ);
  ASSERT_NE(file, HFILE_ERROR);
  const int end = static_cast<int>(kHeader.size() + 8 * kKeys.size());
  for (size_t i = 0; i < kKeys.size(); ++i) {
    EXPECT_EQ(bsearchfile(file, kKeys[i].c_str(), 4, 8, 6, end), static_cast<int>(i));
    char after[5] = {};
    platform::_lread(file, after, 4);
    EXPECT_EQ(std::string(after), "#" + std::to_string(i) + "##");  // left just after the key
  }
  EXPECT_EQ(bsearchfile(file, "eeee", 4, 8, 6, end), -1);
  EXPECT_EQ(bsearchfile(file, "aaaa", 4, 8, 6, 6), -1);
  platform::_lclose(file);
}

}  // namespace
