#include "values/file_attributes.h"

#include <windows.h>

#include "runtime/value_commands.h"
#include "values/code_page.h"
#include "values/joins.h"

int32_t ClearFileAttributes(const char* path, int32_t mask) {
  return ClearFileAttributesWide(TextToUtf16(path, false).get(), mask);
}

int32_t ClearFileAttributesWide(const ByteSetBlock* path, int32_t mask) {
  // An empty path (a failed conversion) reaches Win32 as a null name, which both calls refuse.
  auto* name = BytesLength(path) > 0 ? reinterpret_cast<LPCWSTR>(ByteSetData(path)) : nullptr;
  DWORD attributes = GetFileAttributesW(name);
  // A failed query reads as every bit set; writing that back would make an existing file hidden,
  // temporary, offline and more. A missing file is left missing either way.
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return SetFileAttributesW(name, attributes & ~static_cast<DWORD>(mask));
}
