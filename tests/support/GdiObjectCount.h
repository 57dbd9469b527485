#pragma once
// Live GDI objects of this process, for leak checks. Wine's GetGuiResources answers 0,
// so there the objects are counted in the GDI handle table that the process
// environment block points to (Wine's entries: 24 bytes, type byte non-zero when live).
#include <windows.h>

#include <cstdint>

inline DWORD GdiObjectCount() {
  if (DWORD n = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return n;
  const char* peb = nullptr;
  asm("movl %%fs:0x30, %0" : "=r"(peb));  // the 32-bit process environment block
  const uint8_t* table = *reinterpret_cast<const uint8_t* const*>(peb + 0x94);
  DWORD n = 0;
  for (int i = 0; table && i < 0x10000; ++i)
    if (table[i * 24 + 14]) ++n;
  return n;
}
