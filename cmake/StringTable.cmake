# cmake -DRC_FILE=<.rc> -DOUTPUT=<.cpp> -P StringTable.cmake
# Writes the STRINGTABLE entries of the .rc file (lines `id "text"`, with
# "" for a quote) as the POSIX layer's string table.
file(STRINGS "${RC_FILE}" lines)
set(inside FALSE)
set(entries "")
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "BEGIN")
    set(inside TRUE)
  elseif(line STREQUAL "END")
    set(inside FALSE)
  elseif(inside AND line MATCHES "^([0-9]+)[ \t,]+\"(.*)\"$")
    set(text "${CMAKE_MATCH_2}")
    string(REPLACE "\"\"" "\"" text "${text}")
    string(REPLACE "\\" "\\\\" text "${text}")
    string(REPLACE "\"" "\\\"" text "${text}")
    string(APPEND entries "    {${CMAKE_MATCH_1}, u8\"${text}\"},\n")
  endif()
endforeach()
file(WRITE "${OUTPUT}.tmp"
  "// Made from ${RC_FILE} at build time.\n"
  "#include \"platform/posix/string_table.h\"\n\n"
  "namespace platform {\nnamespace posix {\n\n"
  "const StringTableEntry kStringTable[] = {\n${entries}};\n"
  "const size_t kStringTableSize = sizeof kStringTable / sizeof kStringTable[0];\n\n"
  "}  // namespace posix\n}  // namespace platform\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
