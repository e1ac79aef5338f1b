// The keys of the resource file's tables, made from a resource's name and
// type as openRes makes them; also used to write resource files.
#pragma once

namespace services {

// Room for a copied name or type, terminator included.
constexpr int kMaxResourceText = 260;

// `text` copied into `out` (kMaxResourceText) and upper-cased.
void CopyUpper(const char* text, char* out);
// The type upper-cased; its first 4 bytes are the type key.
void MakeTypeKey(const char* type, char* key);
// The name upper-cased without trailing blanks; its first 8 bytes are the
// name key.
void MakeNameKey(const char* name, char* key);

}  // namespace services
