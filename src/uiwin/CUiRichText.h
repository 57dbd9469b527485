#pragma once
// The "richtext" element: a short formatted text written as XML inside the
// layout ("br" line breaks, "b" bold, "i" italic, "u" underline, "c" with a
// "color", "a" links with an "id"), flowed left to right and wrapped at the
// right margin. A click on a link sends the dialog UINM_COMMAND with the
// link's id and the class "richtext".

#include <memory>
#include <string>
#include <vector>

#include "uiwin/CUiWindow.h"

class TiXmlNode;

class CUiRichText : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  // A piece of text placed on one line. color is kUiColorUnset for the colour
  // the device context holds.
  struct Run {
    std::wstring text;
    WORD fontKey;
    COLORREF color;
    POINT pt;
  };
  // A clickable unit, measured once per placement.
  struct Link {
    std::wstring text;
    int id;
    BOOL hasId;  // links without an "id" notify nothing
    RECT rc;
  };

  CUiRichText();
  ~CUiRichText() override;

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;
  void SetCursor() override;
  BOOL ProcessUiWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                              LRESULT& lResult) override;

  // Flows the content on hDC into runs; the first layout after Load or
  // placement also measures the links. Painting draws what this gives.
  void Layout(HDC hDC, std::vector<Run>& runs);

  const std::vector<Link>& GetLinks() const { return m_links; }
  BOOL IsMeasured() const { return m_bMeasured; }
  int GetHoverLink() const { return m_nHover; }
  WORD GetDefaultFontKey() const { return static_cast<WORD>(m_dwDefaultFont & 0xFFFF); }

 protected:
  struct Flow;
  void Walk(const TiXmlNode* pElem, WORD key, COLORREF color, Flow& flow);
  void FlowText(const std::wstring& text, WORD key, COLORREF color, Flow& flow);
  void MeasureLink(const TiXmlNode* pLink, WORD key, Flow& flow);
  void ResetLinks();
  void OnPaint(HDC hDC);
  void OnMouseMove(POINT pt);
  void OnMouseLeave();
  // Sends the link command; the element may be gone afterwards.
  void OnLButtonUp();
  void InvalidateLink(int nIndex);

  std::unique_ptr<TiXmlNode> m_content;  // deep copy of the layout element
  DWORD m_dwDefaultFont;
  UiStyle m_linkStyle;
  BOOL m_bMeasured;
  int m_nHover;    // index into m_links, -1 for none
  int m_nPressed;  // index into m_links, -1 for none
  std::vector<Link> m_links;
};
