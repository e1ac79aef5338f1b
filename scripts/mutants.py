#!/usr/bin/env python3
"""Plants faults in the library's sources, one at a time, and tells which the
Linux tests catch.

Each fault is an exact text replacement in one source file; a text that is no
longer found exactly once stops the run, so the list follows the code. For
each fault only the linux preset's test programs are rebuilt (incrementally),
the programs of the mutated folder first; the first failing test catches it.
A test that runs past the time limit counts as caught (a hang). The source is
restored after each fault, also when the run is interrupted.

  scripts/mutants.py [--tree DIR] [--report FILE] [--only 1,5,7] [--check]
"""
import argparse
import os
import signal
import subprocess
import sys
import time

# (file, text, replacement, the fault)
MUTANTS = [
    # frame
    ("frame/module.cpp", "      cut = p + 1;", "      cut = p;", "module directory loses its final separator"),
    ("frame/module.cpp", "if (platform::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1] != 0) {", "if (false) {",
     "module path: a lead byte stepped as a single byte"),
    ("frame/config.cpp", "if (value != info.sentinel) return value;\n  value = ReadInteger(info);",
     "value = ReadInteger(info);\n  if (value == info.sentinel) return 0;", "configured integer equal to the sentinel read as 0"),
    # log
    ("log/log_file.cpp", "|| attempt == kSharingRetries) return file;", "|| attempt == 0) return file;",
     "a busy log file is not retried"),
    ("log/log_file.cpp", "if (position + static_cast<long long>(length) <= sizeLimit) {",
     "if (position + static_cast<long long>(length) < sizeLimit) {", "ring wraps one byte early"),
    ("log/log_file.cpp", "long end = position + static_cast<long>(WriteEntryAndMarker(file, position, text, length));",
     "long end = position + static_cast<long>(WriteEntryAndMarker(file, position, text, length)) - 1;",
     "header position one short of the entry's end"),
    ("log/log_file.cpp", "if (*position < kFirstEntryOffset) *position = kFirstEntryOffset;", "",
     "a header below 10 writes over the header"),
    ("log/log_file.cpp", "if (length >= MAX_PATH) return;", "if (length > MAX_PATH) return;",
     "a log path of 260 characters accepted"),
    ("log/log_entry.cpp", "*text <= 'Z') *text", "*text <= 'Y') *text", "component filter: Z not folded"),
    ("log/log_entry.cpp", "if (filter[0] == '*') return true;", "", "the * category does not list all"),
    ("log/log_entry.cpp", "return indentationDepth >= kMaxIndent ? kMaxIndent : indentationDepth;",
     "return indentationDepth > kMaxIndent ? kMaxIndent + 1 : indentationDepth;", "indentation bound off by one"),
    ("log/log_entry.cpp", "bool raw = component[0] == '@';", "bool raw = component[0] == '#';",
     "raw entries not recognised"),
    ("log/assert.cpp", "ConfigKey::OVAssert) > 0 ? 1 : 0;", "ConfigKey::OVAssert) >= 0 ? 1 : 0;",
     "assertions on with OVAssert 0"),
    ("log/delete_log.cpp", "FO_DELETE ? \"deleted\" : \"moved\"", "FO_DELETE ? \"deleted\" : \"deleted\"",
     "a move logged as a delete"),
    ("log/delete_log.cpp", "if (length > 0 && text[length - 1] == '\\n') text[length - 1] = '\\0';", "",
     "the time's new line left in the delete log"),
    # files
    ("files/search.cpp", "constexpr unsigned kHiddenOrSystem = _A_HIDDEN | _A_SYSTEM;",
     "constexpr unsigned kHiddenOrSystem = _A_SYSTEM;", "the search shows hidden files"),
    ("files/search.cpp", "int high = count - 1;", "int high = count - 2;", "binary search misses the last record"),
    ("files/search.cpp", "static_cast<unsigned char>(blockEnd[-1]) < 0x20) --blockEnd;",
     "static_cast<unsigned char>(blockEnd[-1]) < 0x1A) --blockEnd;", "end-of-file mark kept in the last line"),
    ("files/search.cpp", "lineEnd[1] != lineEnd[0] ? 2 : 1;", "lineEnd[1] != lineEnd[0] ? 1 : 1;",
     "CR LF read as two line ends"),
    ("files/search.cpp", "if (fullBlock && lineEnd + 1 == blockEnd) {", "if (false) {",
     "a line end at a block's end loses its partner"),
    ("text/path_toolkit.cpp", "if (used_ + width + 1 > size_) {", "if (used_ + width > size_) {",
     "joined path: no room kept for the terminator"),
    ("text/path_toolkit.cpp", "if (ext[0] != Char('.')) joined.Append(Char('.'));", "joined.Append(Char('.'));",
     "a dotted extension gets a second dot"),
    ("files/paths.cpp", "if (!evenAfterDrive && IsDriveOnly(path)) return 0;", "",
     "needslsh adds a backslash to a bare drive"),
    ("text/path_toolkit.cpp", "for (const char* p = text; p < end && *p != 0; p = NextChar(p)) last = p;",
     "for (const char* p = text; p < end && *p != 0; ++p) last = p;", "last character: trail byte 0x5C taken for a backslash"),
    ("files/existence.cpp", "(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 3 : 1;",
     "(attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 1;", "a directory reported as a file"),
    ("files/existence.cpp", "GetTickCount() - start >= files::kExistenceTimeoutMs) break;",
     "GetTickCount() - start >= 4 * files::kExistenceTimeoutMs) break;", "the existence timeout waits 20 s"),
    ("files/existence.cpp", "GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,",
     "GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,",
     "the exclusivity test shares the file"),
    ("files/long_paths.cpp", "if (length < kLongPathLength) return nullptr;", "if (length <= kLongPathLength) return nullptr;",
     "a path of exactly 260 goes without the long-path prefix"),
    ("files/byte_level_copy.cpp", "} while (read == kBlockSize);", "} while (false);", "the copy stops after one block"),
    # encoding
    ("encoding/encoding.h", "0123456789+/\";", "0123456789/+\";", "Base64 table: + and / swapped"),
    ("encoding/base64.cpp", "table['/'] = table['-'] = 63;", "table['/'] = 63;", "URL-safe - not decoded"),
    ("encoding/base64.cpp", "o[2] = o[3] = '=';", "o[2] = 'A';\n      o[3] = '=';", "one-byte tail padded with A="),
    ("encoding/base64.cpp", "const int digits = (3 * rest + 1) / 2;", "const int digits = (3 * rest) / 2;",
     "short group written one digit short"),
    ("encoding/guid_text.cpp", "if (value > 0xFFFFFFFFu) return false;", "", "Base85 group overflow accepted"),
    ("encoding/guid_text.cpp", "for (int i = 0; i < 6; ++i) reverse['2' + i] = 26 + i;",
     "for (int i = 0; i < 5; ++i) reverse['2' + i] = 26 + i;", "Base32 digit 7 not decoded"),
    ("encoding/md5.cpp", "update(padding, filled < 56 ? 56 - filled : 120 - filled);",
     "update(padding, filled <= 56 ? 56 - filled : 120 - filled);", "MD5 padding wrong at 56 bytes"),
    ("encoding/md5.cpp", "if (length < room) {", "if (length <= room) {", "MD5 block filled exactly is not processed"),
    ("encoding/scramble.cpp", "if (byte == 126) return '0';", "if (byte == 126) return '1';", "scramble of ~ wrong"),
    ("encoding/scramble.cpp", "dest[room - 1] = 0;", "", "cut scramble left unterminated"),
    ("encoding/keys.cpp", "(encoding::NextKeyRandom() * 94) / 32768", "(encoding::NextKeyRandom() * 93) / 32768",
     "key characters from a range one short"),
    # text
    ("text/blanks.cpp", "while (kept > 0 && text[kept - 1] == ' ') --kept;",
     "while (kept > 1 && text[kept - 1] == ' ') --kept;", "an all-blank text keeps one blank"),
    ("text/characters.h", "return static_cast<size_t>(platform::_mbsinc(Unsigned(p)) - Unsigned(p));", "return 1;",
     "a lead byte stepped as a single byte"),
    ("text/copy.cpp", "if (fitting + length > maximum) break;", "if (fitting + length >= maximum) break;",
     "copy cut one character early"),
    ("text/pad.cpp", "for (size_t i = 0; i < shift; ++i) text[i] = ' ';",
     "for (size_t i = 1; i < shift; ++i) text[i] = ' ';", "right alignment leaves the first byte"),
    ("text/search.cpp", "return c == 0x20 || c == 0xA0; }", "return c == 0x20; }", "no-break space not a blank"),
    ("text/remove.cpp", "if (dotsMet <= maskDots) {", "if (dotsMet < maskDots) {", "mask's last dot group dropped"),
    ("text/checks.cpp", "return *p == 0 || left == 0 ? 1 : 0;", "return *p == 0 ? 1 : 0;", "check ignores its limit"),
    # platform (the POSIX layer)
    ("platform/posix/share_modes.cpp", "if ((claim.denies & right) && HeldByOthers(fd, kUsesByte[bit], 1)) return true;",
     "", "a dropped share-mode check: denials against earlier opens"),
    ("platform/posix/files_io.cpp", "if (file && (rights & right) != right) {", "if (false) {",
     "a handle used beyond its access rights"),
    ("platform/posix/files_io.cpp", "if (position < 0) return PointerFailure(ERROR_NEGATIVE_SEEK);", "",
     "a seek before the start accepted"),
    ("platform/posix/files_open.cpp", "SetLastError(existed && reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);",
     "SetLastError(ERROR_SUCCESS);", "ERROR_ALREADY_EXISTS not reported"),
    ("platform/posix/wildcard.cpp", "(more && at != lastDot_ && From(token, at + 1));",
     "(more && From(token, at + 1));", "* before the last dot runs over it"),
    ("platform/posix/wildcard.cpp", "if (pattern == WidenAscii(\"*\") || pattern == WidenAscii(\"*.*\")) {",
     "if (pattern == WidenAscii(\"*\")) {", "*.* misses names without a dot"),
    ("platform/posix/profile.cpp", "while (end > begin && IsProfileSpace(end[-1])) --end;", "",
     "profile values keep trailing blanks"),
    ("platform/posix/profile.cpp", "if (value.size() >= 2 && (value[0] == u'\"'", "if (value.size() >= 1 && (value[0] == u'\"'",
     "a lone quote taken as a quoted value"),
    ("platform/posix/profile.cpp", "if (used + 2 >= size) {", "if (used + 1 >= size) {", "name list cut one early"),
    ("platform/posix/mbcs.cpp", "return characters.IsLead(*p) && p[1] != 0 ? 2 : 1;", "return 1;",
     "_mbsinc steps a lead byte as a single byte"),
    ("platform/posix/mbcs.cpp", "UChar32 WindowsUpper(UChar32 c) { return c == 0x131 ? c : u_toupper(c); }",
     "UChar32 WindowsUpper(UChar32 c) { return u_toupper(c); }", "dotless i upper-cased"),
    ("platform/posix/codepage.cpp", "if (units + next.units > count) break;", "if (units + next.units > count + 1) break;",
     "mbstowcs writes one unit past the count"),
    ("platform/posix/drives.cpp", "if (drive < 1 || drive > 26) return std::string();\n  return remembered_",
     "if (drive < 1 || drive > 25) return std::string();\n  return remembered_", "drive Z: unknown"),
    ("platform/posix/drives.cpp", "while (folder.size() > 1 && folder.back() == '/') folder.pop_back();",
     "while (folder.size() > 0 && folder.back() == '/') folder.pop_back();", "the root folder becomes empty"),
    ("platform/posix/native_path.cpp", "case '>': case '|': case '\"': return true;", "case '>': case '\"': return true;",
     "| accepted in names"),
    ("platform/posix/files_search.cpp", "bool dots = name == \".\" || name == \"..\";", "bool dots = name == \".\";",
     "the search treats .. as an entry"),
    # intl
    ("intl/code_pages.cpp", "if (row.codePage > codePage) break;", "if (row.codePage >= codePage) break;",
     "a code page of the table named windows-N"),
    ("intl/code_pages.cpp", "if (length >= intl::kNameRoom) return 0;", "if (length > intl::kNameRoom) return 0;",
     "a charset name filling the buffer left unterminated"),
    ("intl/code_pages.cpp", "std::memcpy(lowered, name, length);\n  platform::_mbslwr(reinterpret_cast<unsigned char*>(lowered));",
     "std::memcpy(lowered, name, length);", "charset names looked up case-sensitively"),
    ("intl/code_pages.cpp", "index[name] = row.codePage;  // a later row wins", "index.emplace(name, row.codePage);",
     "a name given twice keeps its first code page"),
    ("intl/international.cpp", "negativeCurrencyMode == 14 ||\n         negativeCurrencyMode == 15;",
     "negativeCurrencyMode == 14;", "negative currency mode 15 not taken for parentheses"),
    ("intl/international.cpp", "wide[0] == 0x00A0 || wide[0] == 0x202F ||", "wide[0] == 0x00A0 ||",
     "a narrow no-break space separator not kept as a space"),
    ("intl/international.cpp", "if ((c == '0' && next == ';') || (c != '0' && next == 0)) number *= 10;",
     "if ((c == '0' && next == ';') || next == 0) number *= 10;", "group pattern ending in 0 shifted once more"),
    # datetime
    ("datetime/calendar.cpp", "(year % 100 != 0 || year % 400 == 0)", "year % 100 != 0",
     "a year divisible by 400 not leap"),
    ("datetime/calendar.cpp", "212, 243, 273, 304", "212, 243, 274, 304", "days before October one too many"),
    ("datetime/calendar.cpp", "f.hour >= 0 && f.hour <= 23", "f.hour >= 0 && f.hour <= 24", "hour 24 accepted"),
    ("datetime/calendar.cpp", "if (f.month <= 2 && IsLeapYear(year)) --days;", "if (f.month < 2 && IsLeapYear(year)) --days;",
     "February of a leap year one day late"),
    ("datetime/calendar.cpp", "value += value > 0 ? kHalfSecond : -kHalfSecond;", "",
     "decoded times not rounded to the second"),
    ("datetime/day_numbers.cpp", "month >= 1 && month <= 12 && year >= 1900", "month >= 1 && month <= 12 && year >= 1899",
     "day numbers accepted for 1899"),
    ("datetime/date_time_text.cpp", "for (; narrow[i] != '\\0'; ++i) text[i] = static_cast<WCHAR>(narrow[i]);\n  text[i] = 0;",
     "for (; narrow[i] != '\\0'; ++i) text[i] = static_cast<WCHAR>(narrow[i]);", "wide date-time text left unterminated"),
    ("datetime/date_formats.cpp", "out.Put(*c, count >= 0 && count < 2 ? 2 : 1);", "out.Put(*c, count >= 0 && count < 1 ? 2 : 1);",
     "a single day or month letter not doubled"),
    # numbers
    ("numbers/number_text.cpp", "if (thousandSeparator != nullptr && n % 3 == 1)", "if (thousandSeparator != nullptr && n % 3 == 0)",
     "thousands grouped one digit off"),
    ("numbers/number_text.cpp", "return *in >= '5';", "return *in > '5';", "a 5 after the cut rounds down"),
    ("numbers/number_text.cpp", "integerDigits >= 3 && integerDigits % 3 == 0;", "integerDigits >= 3 && integerDigits % 3 == 1;",
     "a carry into a new group without its separator"),
    ("numbers/number_text.cpp", "if (length == 2 && out[0] == '-' && out[1] == '0') {", "if (false) {",
     "a rounded -0 keeps its sign"),
    ("numbers/number_text.cpp", "if (RoundsUp(in)) length = CarryDatabase(out, length);\n  out[length] = 0;",
     "if (RoundsUp(in)) length = CarryDatabase(out, length);", "database number text left unterminated"),
    ("numbers/number_text.cpp", "if (significant) out[length++] = *in;", "out[length++] = *in;",
     "database text keeps leading zeros"),
    ("numbers/number_text.cpp", "  replace('.', 'a');\n", "", "a point read as the decimal separator under a comma locale"),
    # tools
    ("tools/log_reader.cpp", "if (entry.raw || (!previousRound.empty() && entry.when < previousRound.back().when)) break;",
     "if (entry.raw) break;", "ring: older rounds' entries shown as the previous round"),
    ("tools/log_reader.cpp", "lineEnd + 2 > end) {", "lineEnd + 2 >= end) {", "a line ending at a region's end taken for a cut entry"),
    ("tools/log_reader.cpp", "entry.component.erase(entry.component.find_last_not_of(' ') + 1);", "",
     "component keeps its padding"),
    ("tools/log_reader.cpp", "fields.tm_mon = static_cast<int>((found - kMonths) / 3);",
     "fields.tm_mon = static_cast<int>((found - kMonths) / 3) + 1;", "entry months one late"),
    ("tools/log_reader.cpp", "entry.indentation = static_cast<int>(text - messageBegin);",
     "entry.indentation = static_cast<int>(text - messageBegin) - 1;", "indentation one short"),
    # services
    ("services/post_message.cpp", "return !(entry.tick + kExpiryAge >= now && now >= entry.tick);",
     "return !(entry.tick + kExpiryAge > now && now >= entry.tick);", "a block exactly 10 s old is freed"),
    ("services/colours.cpp", "0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xDF,", "0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xDE,",
     "Mac table: a wrong entry for the sharp s"),
    ("services/colours.cpp", "value >= 0xC0 ? kWinToMac[value - 0xC0]", "value > 0xC0 ? kWinToMac[value - 0xC0]",
     "Windows byte 0xC0 left as it is"),
    ("services/colours.cpp", "  *destination = 0;\n  return destination;", "  return destination;",
     "a converted string left unterminated"),
    ("services/resources.cpp", "  text::str_trimA(key);\n", "", "resource names keep their trailing blanks"),
    ("services/resources.cpp", "SetSubFileRange(clone, start, end - start);", "SetSubFileRange(clone, start, end - start - 1);",
     "a resource read one byte short"),
    ("services/process.cpp", "if (static_cast<DWORD>(both >> 32) == session) return", "if (true) return",
     "the session identifier kept when the session changes"),
    ("services/wait_cursor.cpp", "  if (!services::OnMainThread()) return;\n  if (wait.depth.fetch_add(1) == 0) {",
     "  if (wait.depth.fetch_add(1) == 0) {", "a worker thread nests the wait cursor"),
    # net
    ("net/drive_mapping.cpp", "return path[length] == 0 || path[length] == '\\\\' || remote[length - 1] == '\\\\';",
     "return true;", "a connection maps a share whose name only begins with its own"),
    ("net/drive_mapping.cpp", "bool in_scope = entry.dwScope == RESOURCE_CONNECTED || entry.dwScope == RESOURCE_REMEMBERED;",
     "bool in_scope = true;", "a connection of another scope maps paths"),
    ("net/safe_names.cpp", "if (name.find('.') == std::string::npos) name += '.';", "",
     "a host name without a dot gets no closing dot"),
    ("net/safe_names.cpp", "if (now - state.colligo_checked.load() <= kScanInterval)", "if (false)",
     "the process list scanned at every call"),
    ("net/universal_names.cpp", "    Upper(&name);\n    *remote = name;", "    *remote = name;",
     "a remembered connection's name not upper-cased"),
    ("net/universal_names.cpp", "state.mapping_mode.store(mode);", "", "the mapping mode read again at every call"),
    ("net/host_names.cpp", "    found = true;\n", "    found = true;\n    break;\n",
     "the first IPv4 address kept instead of the last"),
]

# Test programs tried after the mutated folder's own, the slowest last.
FOLDER_ORDER = ["platform", "log", "text", "encoding", "frame", "files"]


def run(command, cwd, log, timeout=None):
    with open(log, "ab") as out:
        out.write(("$ " + " ".join(command) + "\n").encode())
        out.flush()
        try:
            return subprocess.run(command, cwd=cwd, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            return None


def test_names(build):
    listed = subprocess.run(["ctest", "-N"], cwd=build, capture_output=True, text=True, check=True).stdout
    return [line.split(": ", 1)[1].strip() for line in listed.splitlines() if line.strip().startswith("Test") and ": " in line]


def groups_for(folder, names):
    """(target, [ctest names]) in the order they are tried."""
    order = [folder] + [f for f in FOLDER_ORDER if f != folder]
    groups = []
    for f in order:
        tests = [n for n in names if n == f or n.startswith(f + "-")]
        if tests:
            groups.append(("test_" + f, tests))
    return groups


def first_failure(tree, build, folder, names, limit, log):
    """The test that catches the planted fault, or None."""
    for target, tests in groups_for(folder, names):
        if run(["cmake", "--build", build, "--target", target], tree, log) != 0:
            return "build of " + target + " fails"
        regex = "^(" + "|".join(tests) + ")$"
        with open(log, "ab") as out:
            result = subprocess.run(["ctest", "--test-dir", build, "-R", regex, "--timeout", str(limit),
                                     "--stop-on-failure", "-j2"], cwd=tree, stdout=subprocess.PIPE,
                                    stderr=subprocess.STDOUT)
            out.write(result.stdout)
        if result.returncode != 0:
            text = result.stdout.decode(errors="replace")
            failed = [l.split(" - ")[1].split()[0] for l in text.splitlines() if " - " in l and "(" in l
                      and l.strip()[:1].isdigit()]
            timed_out = "***Timeout" in text
            return (",".join(failed) or target) + (" (time limit: a hang)" if timed_out else "")
    return None


class Planted:
    """Holds one file's original text and puts it back, whatever happens."""

    def __init__(self, path):
        self.path = path
        with open(path, encoding="utf-8") as f:
            self.original = f.read()

    def plant(self, text, replacement):
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(self.original.replace(text, replacement, 1))

    def restore(self):
        with open(self.path, "w", encoding="utf-8") as f:
            f.write(self.original)


def check(tree, chosen):
    bad = []
    for number in chosen:
        path, text, _, what = MUTANTS[number - 1]
        with open(os.path.join(tree, path), encoding="utf-8") as f:
            found = f.read().count(text)
        if found != 1 or not text:
            bad.append(f"{number} {path}: text found {found} times ({what})")
    return bad


def main():
    parser = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser.add_argument("--tree", default=root)
    parser.add_argument("--report")
    parser.add_argument("--only", help="comma-separated numbers of faults")
    parser.add_argument("--limit", type=int, default=180, help="seconds per test run")
    parser.add_argument("--check", action="store_true", help="only check that every text is found once")
    args = parser.parse_args()
    tree = os.path.abspath(args.tree)
    chosen = [int(n) for n in args.only.split(",")] if args.only else range(1, len(MUTANTS) + 1)
    bad = check(tree, chosen)
    if bad:
        sys.exit("texts not found exactly once:\n" + "\n".join(bad))
    if args.check:
        print(f"{len(chosen)} faults, every text found once")
        return
    build = os.path.join(tree, "build", "linux")
    report = args.report or os.path.join(build, "mutants-report.txt")
    log = os.path.join(build, "mutants-build.log")
    os.makedirs(build, exist_ok=True)
    open(log, "w").close()
    if run(["cmake", "--preset", "linux"], tree, log) != 0 or run(["cmake", "--build", "--preset", "linux"], tree, log) != 0:
        sys.exit("the unmutated tree does not build; see " + log)
    names = [n for n in test_names(build) if n != "exports"]

    current = []
    def put_back(*_):
        for planted in current:
            planted.restore()
        sys.exit("interrupted; source restored")
    signal.signal(signal.SIGTERM, put_back)
    signal.signal(signal.SIGINT, put_back)

    caught = missed = 0
    started = time.time()
    with open(report, "w") as out:
        out.write(f"# planted faults, {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}\n")
        for number in chosen:
            path, text, replacement, what = MUTANTS[number - 1]
            folder = path.split("/")[0]
            planted = Planted(os.path.join(tree, path))
            current.append(planted)
            try:
                planted.plant(text, replacement)
                by = first_failure(tree, build, folder, names, args.limit, log)
            finally:
                planted.restore()
                current.remove(planted)
            if by:
                caught += 1
                line = f"caught  {number:2} {path}: {what} -- by {by}"
            else:
                missed += 1
                line = f"MISSED  {number:2} {path}: {what}"
            out.write(line + "\n")
            out.flush()
            print(line, flush=True)
        summary = f"# {caught} caught, {missed} missed of {caught + missed}, in {int(time.time() - started)} s\n"
        out.write(summary)
    print(summary, end="")
    # Leave the build matching the restored sources.
    run(["cmake", "--build", "--preset", "linux"], tree, log)


if __name__ == "__main__":
    main()
