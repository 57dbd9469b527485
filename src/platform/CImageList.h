#pragma once
// Owning image list.
#include <windows.h>
#include <commctrl.h>

class CImageList {
 public:
  CImageList() = default;
  explicit CImageList(HIMAGELIST h) : m_hImageList(h) {}
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;
  ~CImageList() { Destroy(); }

  bool Create(int cx, int cy, UINT flags, int initial, int grow) {
    Destroy();
    m_hImageList = ::ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
  }
  void Destroy() {
    if (m_hImageList) ::ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
  }
  void Attach(HIMAGELIST h) {
    Destroy();
    m_hImageList = h;
  }
  HIMAGELIST Detach() {
    HIMAGELIST h = m_hImageList;
    m_hImageList = nullptr;
    return h;
  }
  int Add(HBITMAP bmp, COLORREF mask) { return ::ImageList_AddMasked(m_hImageList, bmp, mask); }
  int GetImageCount() const { return ::ImageList_GetImageCount(m_hImageList); }
  BOOL Draw(int index, HDC dc, int x, int y, UINT style) {
    return ::ImageList_Draw(m_hImageList, index, dc, x, y, style);
  }
  operator HIMAGELIST() const { return m_hImageList; }

  HIMAGELIST m_hImageList = nullptr;
};
