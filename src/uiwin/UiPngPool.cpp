#include "uiwin/UiPngPool.h"

#include <objidl.h>
#include <string.h>

#include <gdiplus.h>

#include <string>
#include <unordered_map>

#include "uiwin/UiResUtil.h"

namespace {

struct Entry {
  Gdiplus::Image* pImage;
  HGLOBAL hMem;  // the stream's bytes, alive as long as the image
};

class Pool {
 public:
  Pool() : m_token(0) {
    Gdiplus::GdiplusStartupInput input;  // version 1, no callback, own thread
    Gdiplus::GdiplusStartup(&m_token, &input, nullptr);
  }
  ~Pool() {
    for (auto& e : m_map) {
      delete e.second.pImage;
      GlobalFree(e.second.hMem);
    }
    if (m_token) Gdiplus::GdiplusShutdown(m_token);
  }
  ULONG_PTR m_token;
  std::unordered_map<UINT, Entry> m_map;
};

Pool& ThePool() {
  // process-wide, created on first use, never destroyed
  static Pool* s_pPool = new Pool;
  return *s_pPool;
}

}  // namespace

Gdiplus::Image* UiPngPool::Get(UINT nId) {
  Pool& pool = ThePool();
  auto it = pool.m_map.find(nId);
  if (it != pool.m_map.end()) return it->second.pImage;

  std::string bytes;
  if (!UiResUtil::LoadUiResource(nId, bytes, L"png") || bytes.empty()) return nullptr;

  HGLOBAL hMem = GlobalAlloc(0, bytes.size());
  if (!hMem) return nullptr;
  void* p = GlobalLock(hMem);
  if (!p) {
    GlobalFree(hMem);
    return nullptr;
  }
  memcpy(p, bytes.data(), bytes.size());
  IStream* pStream = nullptr;
  if (FAILED(CreateStreamOnHGlobal(hMem, FALSE, &pStream)) || !pStream) {
    GlobalUnlock(hMem);
    GlobalFree(hMem);
    return nullptr;
  }
  Gdiplus::Image* pImage = Gdiplus::Image::FromStream(pStream, FALSE);
  GlobalUnlock(hMem);
  pStream->Release();  // the image keeps its own reference
  // FromStream gives an image object even for bytes it cannot decode; such a one is
  // not kept, so the resource is read again next time.
  if (!pImage || pImage->GetLastStatus() != Gdiplus::Ok) {
    delete pImage;
    GlobalFree(hMem);
    return nullptr;
  }
  pool.m_map[nId] = Entry{pImage, hMem};
  return pImage;
}
