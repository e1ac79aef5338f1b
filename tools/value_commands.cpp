// ovpb copy, guid, md5, base64, scramble and unscramble: the library's
// functions on the command line.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "encoding/md5.h"
#include "ovpb32.h"
#include "tools/command_line.h"

namespace tool {
namespace {

bool ReadAll(std::FILE* file, std::string* bytes) {
  char block[1 << 16];
  size_t count;
  while ((count = std::fread(block, 1, sizeof block, file)) > 0) bytes->append(block, count);
  return std::ferror(file) == 0;
}

// FILE, or standard input for none or "-"; false (reported) when unreadable.
bool ReadInput(const std::string& command, const std::string& path, std::string* bytes) {
  bool fromInput = path.empty() || path == "-";
  std::FILE* file = fromInput ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    Fail(path, std::strerror(errno));
    return false;
  }
  bool whole = ReadAll(file, bytes);
  if (!fromInput) std::fclose(file);
  if (!whole) Fail(fromInput ? command : path, "cannot be read");
  return whole;
}

std::string GuidInBraces(const GUID& guid) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(guid.Data1),
                guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4],
                guid.Data4[5], guid.Data4[6], guid.Data4[7]);
  return text;
}

bool ParseGuidInBraces(const std::string& text, GUID* guid) {
  unsigned data1, data2, data3, bytes[8];
  int length = 0;
  if (std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}%n", &data1, &data2, &data3, &bytes[0], &bytes[1],
                  &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7], &length) != 11 ||
      static_cast<size_t>(length) != text.size()) {
    return false;
  }
  guid->Data1 = data1;
  guid->Data2 = static_cast<WORD>(data2);
  guid->Data3 = static_cast<WORD>(data3);
  for (int i = 0; i < 8; ++i) guid->Data4[i] = static_cast<BYTE>(bytes[i]);
  return true;
}

// The scrambled text may gain a marker; the plain one is never longer.
int PrintCoded(Arguments& arguments, const char* command, void (*code)(const char*, char*, int), size_t room) {
  if (arguments.words.size() != 1) return Usage(command, "one TEXT is needed");
  std::vector<char> out(arguments.words[0].size() + room);
  code(arguments.words[0].c_str(), out.data(), -1);
  std::printf("%s\n", out.data());
  return kSuccess;
}

}  // namespace

int RunCopy(Arguments& arguments) {
  if (arguments.words.size() != 2) return Usage("copy", "SOURCE and DEST are needed");
  const std::string& source = arguments.words[0];
  const std::string& dest = arguments.words[1];
  if (ByteLevelFileCopy(source.c_str(), dest.c_str()) != 1) {
    return Fail("copy", "'" + source + "' was not copied to '" + dest + "' (the destination is as it was)");
  }
  return kSuccess;
}

int RunGuid(Arguments& arguments) {
  std::string action = arguments.Done() ? std::string() : arguments.Take();
  char text[23] = {};
  GUID guid{};
  if (action == "new" && arguments.Done()) {
    if (UniqueIdentifier(text) == 0) return Fail("guid new", "no GUID could be made");
    Base64toGUIDA(text, &guid);
    std::printf("%s %s\n", GuidInBraces(guid).c_str(), text);
    return kSuccess;
  }
  if (action == "text" && arguments.words.size() == 2) {
    if (!ParseGuidInBraces(arguments.Take(), &guid)) return Fail("guid text", "not a GUID in braces: '" + arguments.words[1] + "'");
    GUIDtoBase64A(&guid, text);
    std::printf("%s\n", text);
    return kSuccess;
  }
  if (action == "parse" && arguments.words.size() == 2) {
    std::string given = arguments.Take();
    if (given.size() != 22 || IsValidBase64(given.c_str()) == 0) {
      std::fprintf(stderr, "ovpb: guid parse: not a 22-character GUID text: '%s'\n", given.c_str());
      return kNegative;
    }
    Base64toGUIDA(given.c_str(), &guid);
    std::printf("%s\n", GuidInBraces(guid).c_str());
    return kSuccess;
  }
  return Usage("guid", "new, text GUID or parse TEXT");
}

int RunMd5(Arguments& arguments) {
  std::vector<std::string> paths(arguments.words.begin(), arguments.words.end());
  if (paths.empty()) paths.push_back("-");
  int status = kSuccess;
  for (const std::string& path : paths) {
    std::string bytes;
    if (!ReadInput("md5", path, &bytes)) {
      status = kFailure;
      continue;
    }
    encoding::MD5 digest;
    digest.update(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<uint32_t>(bytes.size()));
    digest.finalize();
    char text[23];
    MD5toBase64(digest.raw_digest(), text);
    for (int i = 0; i < 16; ++i) std::printf("%02x", digest.raw_digest()[i]);
    std::printf("  %s  %s\n", text, path.c_str());
  }
  return status;
}

int RunBase64(Arguments& arguments) {
  std::string action = arguments.Done() ? std::string() : arguments.Take();
  if ((action != "encode" && action != "decode") || arguments.words.size() > 2) {
    return Usage("base64", "encode or decode, and one FILE at most");
  }
  std::string input;
  if (!ReadInput("base64", arguments.Done() ? std::string() : arguments.Take(), &input)) return kFailure;
  if (action == "encode") {
    std::string text((input.size() + 2) / 3 * 4, '\0');
    int written = EncodeAsMimeBase64A(reinterpret_cast<const BYTE*>(input.data()), &text[0], static_cast<int>(input.size()));
    std::printf("%.*s\n", written, text.c_str());
    return kSuccess;
  }
  // Line breaks restart the decoder's group, so they go first.
  std::string digits;
  for (char c : input) {
    if (c != '\r' && c != '\n' && c != ' ' && c != '\t') digits += c;
  }
  std::vector<BYTE> bytes((digits.size() + 3) / 4 * 3 + 1);
  int decoded = DecodeAsMimeBase64A(digits.c_str(), bytes.data(), static_cast<int>(digits.size()));
  std::fwrite(bytes.data(), 1, static_cast<size_t>(decoded), stdout);
  return kSuccess;
}

int RunScramble(Arguments& arguments) { return PrintCoded(arguments, "scramble", Encrypt, 2); }

int RunUnscramble(Arguments& arguments) { return PrintCoded(arguments, "unscramble", Decrypt, 1); }

}  // namespace tool
