// Internal parts of the international settings shared with the module
// frame and between the family's files.
#pragma once

#include "platform/types.h"

namespace intl {

// Fills the character-set name index from the table; the attach step calls
// it once. The index is released when the library is unloaded.
void FillCharsetNameIndex();

// The character-set table: code pages in ascending order, one row twice.
struct CharsetRow {
  int codePage;
  const char* name;
};
const CharsetRow* CharsetTable(size_t* count);

}  // namespace intl
