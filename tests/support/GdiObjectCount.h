#pragma once
// Live GDI objects of this process, for leak checks. Wine's GetGuiResources answers 0,
// so under Wine the objects are counted in the GDI handle table that the process
// environment block points to (Wine's layout: 24-byte entries, type byte non-zero
// for a live object).
#include <windows.h>

#include <cstdint>

inline DWORD GdiObjectCount() {
  if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return n;
#pragma pack(push, 1)
  struct Entry {
    uint64_t object;
    uint32_t owner;
    uint16_t unique;
    uint8_t type;
    uint8_t flags;
    uint64_t user;
  };
#pragma pack(pop)
  static_assert(sizeof(Entry) == 24, "Wine's handle entry");
  const char* peb = nullptr;
  asm("movl %%fs:0x30, %0" : "=r"(peb));  // the 32-bit process environment block
  const Entry* table = *reinterpret_cast<const Entry* const*>(peb + 0x94);  // GdiSharedHandleTable
  if (!table) return 0;
  DWORD n = 0;
  for (int i = 0; i < 0x10000; ++i)
    if (table[i].type) ++n;
  return n;
}
