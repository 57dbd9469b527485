#include "uiwin/UiBmpPool.h"

#include <stdio.h>

#include <string>
#include <unordered_map>

#include "platform/DebugReport.h"
#include "uiwin/UiResUtil.h"

namespace {

class Pool {
 public:
  ~Pool() {
    for (auto& e : m_map) DeleteObject(e.second);
  }
  std::unordered_map<UINT, HBITMAP> m_map;
};

Pool& ThePool() {
  // process-wide, created on first use, never destroyed
  static Pool* s_pPool = new Pool;
  return *s_pPool;
}

HBITMAP LoadFromDirectory(UINT nId) {
  const std::wstring dir = UiResUtil::GetResourceDirectory();
  if (dir.empty()) return nullptr;
  std::wstring path = dir + L"\\" + std::to_wstring(nId) + L".bmp";
  return (HBITMAP)LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
}

}  // namespace

HBITMAP UiBmpPool::GetBitmap(UINT nId) {
  Pool& pool = ThePool();
  auto it = pool.m_map.find(nId);
  if (it != pool.m_map.end()) return it->second;

  HBITMAP hBitmap = LoadFromDirectory(nId);
  if (!hBitmap) {
    HMODULE hModule = UiResUtil::GetResourceModule();
    if (hModule) hBitmap = LoadBitmapW(hModule, MAKEINTRESOURCEW(nId & 0xFFFF));
  }
  if (!hBitmap) hBitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(nId & 0xFFFF));
  if (!hBitmap) {
    char text[64];
    snprintf(text, sizeof text, "Failed loading bitmap %u", nId);
    ::qv::DebugReport(text, "uiimage", __LINE__);
    return nullptr;
  }
  pool.m_map[nId] = hBitmap;
  return hBitmap;
}
