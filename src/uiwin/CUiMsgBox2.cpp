#include "uiwin/CUiMsgBox2.h"

#include <algorithm>
#include <utility>

#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/UiStyle.h"

CUiMsgBox2::CUiMsgBox2() = default;

CUiMsgBox2::~CUiMsgBox2() = default;

int CUiMsgBox2::SplitLines(const std::wstring& text, std::vector<std::wstring>& lines) {
  lines.clear();
  if (text.empty()) return -1;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    start = end + 1;
  }
  return static_cast<int>(lines.size());
}

int CUiMsgBox2::ShowMultiLineMsg(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer,
                                 HWND parent) {
  std::vector<std::wstring> lines;
  int count = SplitLines(qv::OrEmpty(text), lines);
  if (count == 0) return kNotShown;

  const UiStyle* textStyle = UiStyle::GetStyle("msgtext");
  HWND desktop = ::GetDesktopWindow();
  HDC dc = ::GetDC(desktop);

  // Unwrapped lines keep the fixed pitch; a wrapped line adds its extra rows.
  int rowHeight = kLinePitch;
  if (dc) {
    HGDIOBJ old = textStyle->font ? ::SelectObject(dc, textStyle->font) : nullptr;
    TEXTMETRICW tm{};
    if (::GetTextMetricsW(dc, &tm)) rowHeight = tm.tmHeight;
    if (old) ::SelectObject(dc, old);
  }
  const int leading = std::max(0, kLinePitch - rowHeight);

  std::wstring xml;
  std::vector<std::pair<UINT, std::wstring>> texts;
  int widest = 0;
  int y = lines.size() == 1 ? 10 : 0;
  int total = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    RECT rc = MeasureText(dc, textStyle->font, lines[i], textStyle->textmode,
                          RECT{0, 0, kWrapWidth, 1000});
    int width = std::min(static_cast<int>(rc.right - rc.left), static_cast<int>(kWrapWidth));
    int height = std::max(static_cast<int>(rc.bottom - rc.top), rowHeight) + leading;
    widest = std::max(widest, width);
    UINT id = kItemFirstLine + static_cast<UINT>(i);
    xml += qv::FormatW(L"<text id=\"%u\" class=\"msgtext\" pos=\"0,%d,%d,%d\"/>", id, y, kWrapWidth,
                       y + height);
    texts.emplace_back(id, lines[i]);
    y += height;
    total += height;
  }
  if (dc) ::ReleaseDC(desktop, dc);

  RECT area{0, 0, widest + 10, total};
  m_strText = qv::OrEmpty(text);
  return RunPanel(kLayoutId, xml.c_str(), &area, texts, caption, style, answer, parent);
}

int CUiMsgBox2::ShowPanelMsg(LPCWSTR textXml, const RECT* area, LPCWSTR caption, UINT style,
                             BOOL* answer, HWND parent) {
  m_strText = qv::OrEmpty(textXml);
  return RunPanel(kLayoutId, textXml, area, {}, caption, style, answer, parent);
}
