#pragma once
// The "memimage" element: a GDI+ image handed over by the code that owns it,
// drawn stretched to the element (autosize 1) or at its own size (autosize 0).
// The image is set only through SetImage: an address in layout text is never
// trusted, so "mempointer" is refused.

#include "uiwin/CUiWindow.h"

namespace Gdiplus {
class Image;
}

class CUiMemoryImage : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiMemoryImage();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  // The owner keeps the image alive while the element shows it.
  void SetImage(Gdiplus::Image* pImage) { m_pImage = pImage; }
  Gdiplus::Image* GetImage() const { return m_pImage; }
  int GetAutoSize() const { return m_nAutoSize; }

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);

  Gdiplus::Image* m_pImage;  // not owned
  int m_nAutoSize;
};
