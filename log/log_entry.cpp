// Log entries: filtered by level and component, one line each with time,
// computer, user, program and thread, component and the thread's indent,
// written through the log file writer. The narrow and wide forms share one
// template; the wide line is converted to the ANSI code page at the end.

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <string_view>
#include <type_traits>

#include "frame/config.h"
#include "frame/kept_text.h"
#include "frame/module.h"
#include "text/path_toolkit.h"
#include "log/log_file.h"
#include "ovpb32.h"
#include "platform/clock.h"
#include "platform/codepage.h"
#include "platform/format.h"
#include "platform/module.h"
#include "platform/system.h"
#include "platform/wide.h"
#include "text/toolkit.h"

namespace logging {
namespace {

constexpr size_t kEntryCapacity = 2000;
constexpr size_t kTruncationIndex = 1994;
constexpr int kMaxIndent = 12;
constexpr size_t kCategoryKeyCapacity = 200;

// ---- Module-wide values ------------------------------------------------------

frame::KeptText<char, MAX_PATH + 2> narrowCategoryFilter;
frame::KeptText<WCHAR, MAX_PATH + 2> wideCategoryFilter;
thread_local int indentationDepth = 0;

bool ThreadBlockAvailable() { return (platform::GetVersion() & 0xFF) >= 6; }

int LoggingLevel() { return frame::ConfigInteger(frame::ConfigKey::GeneralLogging); }
int LogSizeLimit() { return frame::ConfigInteger(frame::ConfigKey::LoggingSize); }

// ---- Text helpers for both widths --------------------------------------------

// An ASCII literal in either width, on the stack: an entry allocates nothing.
template <typename Char, size_t N>
struct LiteralText {
  const Char* c_str() const { return text; }
  size_t size() const { return N - 1; }
  Char text[N];
};

template <typename Char, size_t N>
LiteralText<Char, N> Literal(const char (&ascii)[N]) {
  LiteralText<Char, N> literal;
  std::copy(ascii, ascii + N, literal.text);
  return literal;
}

template <typename Char>
void LowerAscii(Char* text) {
  for (; *text != 0; ++text) {
    if (*text >= 'A' && *text <= 'Z') *text = static_cast<Char>(*text - 'A' + 'a');
  }
}

template <typename Char>
size_t Length(const Char* text) {
  return std::char_traits<Char>::length(text);
}

// Formats with truncation at the capacity; false when the text was cut.
bool FormatArgs(char* buffer, size_t capacity, const char* format, va_list arguments) {
  int length = std::vsnprintf(buffer, capacity, format, arguments);
  return length >= 0 && static_cast<size_t>(length) < capacity;
}

bool FormatArgs(WCHAR* buffer, size_t capacity, const WCHAR* format, va_list arguments) {
  return platform::FormatWide(buffer, capacity, format, arguments) >= 0;
}

template <typename Char>
bool Format(Char* buffer, size_t capacity, const Char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  bool whole = FormatArgs(buffer, capacity, format, arguments);
  va_end(arguments);
  return whole;
}

// Joins texts into a buffer, cut at its capacity as the formatting calls
// cut: the entry's fixed parts cost printf more than writing them.
template <typename Char>
class Joined {
 public:
  Joined(Char* buffer, size_t capacity) : buffer_(buffer), capacity_(capacity) { buffer_[0] = 0; }
  Joined& Add(const Char* text) {
    while (*text != 0) Put(*text++);
    return Ended();
  }
  Joined& AddAscii(const char* ascii) {
    while (*ascii != 0) Put(static_cast<Char>(*ascii++));
    return Ended();
  }
  Joined& PadTo(size_t width) {
    while (length_ < width) Put(Char(' '));
    return Ended();
  }
  bool whole() const { return whole_; }

 private:
  void Put(Char c) {
    if (length_ + 1 < capacity_) {
      buffer_[length_++] = c;
    } else {
      whole_ = false;
    }
  }
  Joined& Ended() {
    buffer_[length_] = 0;
    return *this;
  }

  Char* buffer_;
  size_t capacity_;
  size_t length_ = 0;
  bool whole_ = true;
};

template <typename Char>
void MarkTruncated(Char* buffer) {
  const auto mark = Literal<Char>("(...)");
  std::copy(mark.text, mark.text + mark.size(), buffer + kTruncationIndex);
  buffer[kTruncationIndex + mark.size()] = 0;
}

// ---- Category filters ----------------------------------------------------------

// Blanks cut at both ends, lower-cased; "*..." as it is, else ",text,".
template <typename Char>
void MakeCategoryFilter(Char* raw, Char* filter, size_t size) {
  LowerAscii(raw);
  if (raw[0] == '*') {
    std::char_traits<Char>::copy(filter, raw, Length(raw) + 1);
  } else {
    Format(filter, size, Literal<Char>(",%s,").c_str(), raw);
  }
}

const char* CategoryFilter(char) {
  return narrowCategoryFilter.Get([](char* filter, size_t size) {
    char raw[MAX_PATH];
    frame::ReadConfigTextA(frame::ConfigKey::LoggingCategory, raw, sizeof raw);
    text::str_trimA(raw);
    text::str_trim_leftA(raw);
    MakeCategoryFilter(raw, filter, size);
  });
}

const WCHAR* CategoryFilter(WCHAR) {
  return wideCategoryFilter.Get([](WCHAR* filter, size_t size) {
    WCHAR raw[MAX_PATH];
    frame::ReadConfigTextW(frame::ConfigKey::LoggingCategory, raw, MAX_PATH);
    text::str_trimW(raw);
    text::str_trim_leftW(raw);
    MakeCategoryFilter(raw, filter, size);
  });
}

template <typename Char>
bool PassesCategoryFilter(const Char* component) {
  if (component[0] == 0) return true;
  const Char* filter = CategoryFilter(Char());
  if (filter[0] == '*') return true;
  Char key[kCategoryKeyCapacity];
  Format(key, kCategoryKeyCapacity, Literal<Char>(",%s,").c_str(), component);
  LowerAscii(key);
  return std::basic_string_view<Char>(filter).find(key) != std::basic_string_view<Char>::npos;
}

// ---- The fields of an entry ------------------------------------------------------

constexpr size_t kTimeCapacity = 99;

int LocalTime(char* text, const int64_t* now) { return platform::_ctime64_s(text, kTimeCapacity, now); }
int LocalTime(WCHAR* text, const int64_t* now) { return platform::_wctime64_s(text, kTimeCapacity, now); }

// The local time as ctime writes it, without its line end.
template <typename Char>
void LocalTimeText(Char (&text)[kTimeCapacity]) {
  int64_t now = platform::_time64(nullptr);
  if (LocalTime(text, &now) != 0) text[0] = 0;
  size_t length = Length(text);
  if (length > 0 && text[length - 1] == '\n') text[length - 1] = 0;
}

BOOL ComputerName(char* buffer, DWORD* size) { return platform::GetComputerNameA(buffer, size); }
BOOL ComputerName(WCHAR* buffer, DWORD* size) { return platform::GetComputerNameW(buffer, size); }
BOOL UserName(char* buffer, DWORD* size) { return platform::GetUserNameA(buffer, size); }
BOOL UserName(WCHAR* buffer, DWORD* size) { return platform::GetUserNameW(buffer, size); }
DWORD ProgramFile(char* buffer, DWORD size) { return platform::GetModuleFileNameA(nullptr, buffer, size); }
DWORD ProgramFile(WCHAR* buffer, DWORD size) { return platform::GetModuleFileNameW(nullptr, buffer, size); }

template <typename Char>
using PathParts = std::conditional_t<std::is_same<Char, char>::value, text::NarrowPathParts, text::WidePathParts>;

// The fields that stay the same while the process runs, made at its first
// entry rather than at each.
template <typename Char>
struct ProcessFields {
  frame::KeptText<Char, 16> computer;
  frame::KeptText<Char, MAX_PATH> user;
  frame::KeptText<Char, MAX_PATH> program;  // the host program's file name without folder or extension
};
ProcessFields<char> narrowFields;
ProcessFields<WCHAR> wideFields;

ProcessFields<char>& FieldsOf(char) { return narrowFields; }
ProcessFields<WCHAR>& FieldsOf(WCHAR) { return wideFields; }

template <typename Char>
void CopyLiteral(Char* buffer, size_t size, const char* ascii) {
  for (size_t i = 0; i + 1 < size && ascii[i] != 0; ++i) buffer[i] = static_cast<Char>(ascii[i]);
  buffer[std::min(std::strlen(ascii), size - 1)] = 0;
}

template <typename Char>
const Char* ComputerField() {
  return FieldsOf(Char()).computer.Get([](Char* name, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    if (!ComputerName(name, &length)) CopyLiteral(name, size, "unknown comp");
  });
}

// An empty name is asked for again at the next entry.
template <typename Char>
const Char* UserField() {
  return FieldsOf(Char()).user.Get([](Char* name, size_t size) {
    DWORD length = static_cast<DWORD>(size);
    if (!UserName(name, &length)) name[0] = 0;
  });
}

template <typename Char>
const Char* ProgramName() {
  return FieldsOf(Char()).program.Get([](Char* name, size_t size) {
    Char path[MAX_PATH];
    PathParts<Char> parts;
    if (ProgramFile(path, MAX_PATH) == 0 || !text::SplitPath(path, &parts)) {
      CopyLiteral(name, size, "unknown exe");
    } else {
      std::char_traits<Char>::copy(name, parts.name, std::min(Length(parts.name) + 1, size));
    }
  });
}

// The program and the thread, made once per thread.
template <typename Char>
const Char* ProgramField() {
  thread_local Char field[MAX_PATH] = {};
  if (field[0] == 0) {
    int thread = static_cast<int>(platform::GetCurrentThreadId());
    Format(field, MAX_PATH, Literal<Char>("%s:%d").c_str(), ProgramName<Char>(), thread);
  }
  return field;
}

int IndentWidth() {
  if (!ThreadBlockAvailable() || indentationDepth <= 0) return 0;
  return indentationDepth >= kMaxIndent ? kMaxIndent : indentationDepth;
}

// ---- Entries ---------------------------------------------------------------------

// The finished line for one entry in `line`; false when the category
// filter drops it.
template <typename Char>
bool BuildEntry(const Char* component, const Char* format, va_list arguments, Char (&line)[kEntryCapacity]) {
  bool raw = component[0] == '@';
  if (raw) ++component;
  if (!PassesCategoryFilter(component)) return false;

  Char message[kEntryCapacity];
  if (!FormatArgs(message, kEntryCapacity, format, arguments)) MarkTruncated(message);

  Joined<Char> entry(line, kEntryCapacity);
  if (raw) {
    entry.Add(message).AddAscii("\r\n");
  } else {
    // "[component]", the name padded to 12, cut as a field of MAX_PATH.
    Char componentField[MAX_PATH] = {};
    if (component[0] != 0) Joined<Char>(componentField, MAX_PATH).AddAscii("[").Add(component).PadTo(13).AddAscii("]");
    Char indent[kMaxIndent + 1];
    std::fill_n(indent, IndentWidth(), Char(' '));
    indent[IndentWidth()] = 0;
    Char time[kTimeCapacity];
    LocalTimeText(time);
    entry.AddAscii("(").Add(time).AddAscii(") ").Add(ComputerField<Char>()).AddAscii(":").Add(UserField<Char>());
    entry.AddAscii(" ").Add(ProgramField<Char>()).AddAscii(" ").Add(componentField).AddAscii(": ").Add(indent);
    entry.Add(message).AddAscii("\r\n");
  }
  if (!entry.whole()) MarkTruncated(line);
  return true;
}

void WriteEntry(const char* path, const char* line) {
  if (line[0] != 0) DoWriteLog(path, line, LogSizeLimit());
}

void WriteEntry(const char* path, const WCHAR* line) {
  if (line[0] == 0) return;
  char narrow[kEntryCapacity] = {};
  platform::WcsToMbsL(narrow, line, kEntryCapacity - 1, frame::ConversionLocale());
  narrow[kEntryCapacity - 1] = '\0';
  DoWriteLog(path, narrow, LogSizeLimit());
}

}  // namespace

void ForgetLogStateForTesting() {
  SetLogPath("");
  narrowCategoryFilter.Set([](char* filter, size_t) { filter[0] = '\0'; });
  wideCategoryFilter.Set([](WCHAR* filter, size_t) { filter[0] = 0; });
}

template <typename Char>
void FormatLogEntry(const char* path, const Char* component, const Char* format, va_list arguments) {
  if (component == nullptr || format == nullptr) return;
  Char line[kEntryCapacity];
  if (BuildEntry(component, format, arguments, line)) WriteEntry(path, line);
}

}  // namespace logging

extern "C" void OVPB_API OVWriteLogArgsA(const char* component, int level, const char* format, va_list arguments) {
  logging::FormatLogEntry(logging::GetLogPathA(), component, format, arguments);
}

extern "C" void OVPB_API OVWriteLogArgsW(const WCHAR* component, int level, const WCHAR* format, va_list arguments) {
  logging::FormatLogEntry(logging::GetLogPathA(), component, format, arguments);
}

extern "C" void OVPB_API OVWriteLogA(const char* component, int level, const char* format, ...) {
  if (level > logging::LoggingLevel()) return;
  va_list arguments;
  va_start(arguments, format);
  OVWriteLogArgsA(component, level, format, arguments);
  va_end(arguments);
}

extern "C" void OVPB_API OVWriteLogW(const WCHAR* component, int level, const WCHAR* format, ...) {
  if (level > logging::LoggingLevel()) return;
  va_list arguments;
  va_start(arguments, format);
  OVWriteLogArgsW(component, level, format, arguments);
  va_end(arguments);
}

extern "C" void OVPB_API OVWriteLogEx(const char* path, const char* component, int level, const char* format, ...) {
  const char* target = path != nullptr && path[0] != '\0' ? path : logging::GetLogPathA();
  va_list arguments;
  va_start(arguments, format);
  logging::FormatLogEntry(target, component, format, arguments);
  va_end(arguments);
}

extern "C" int OVPB_API OVActiveLog(void) { return logging::LoggingLevel() > 0 ? 1 : 0; }

extern "C" void OVPB_API OVIndentLog(int delta) {
  if (logging::ThreadBlockAvailable()) logging::indentationDepth += delta;
}
