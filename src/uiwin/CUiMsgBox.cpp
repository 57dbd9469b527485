#include "uiwin/CUiMsgBox.h"

#include <algorithm>
#include <cstring>

#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "uiwin/UiModalHook.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"
#include "uiwin/UiXmlText.h"

namespace {

// String table ids of the labels and the element templates.
enum : UINT {
  kStrOk = 30,
  kStrCancel = 31,
  kStrButtonTemplate = 256,
  kStrBarTemplate = 257,
  kStrAbort = 258,
  kStrRetry = 259,
  kStrIgnore = 260,
  kStrYes = 261,
  kStrNo = 262,
  kStrContinue = 263,
};

const int kMinButtonWidth = 80;
const int kButtonGap = 20;
const int kMinWidth = 320;
const int kMinHeight = 160;

LPCWSTR StringOrEmpty(UINT id) {
  LPCWSTR s = UiString::Get(id);
  return qv::OrEmpty(s);
}

// Desktop DC for measuring before (or without) a window.
class DesktopDC {
 public:
  DesktopDC() : wnd_(::GetDesktopWindow()), dc_(::GetDC(wnd_)) {}
  ~DesktopDC() {
    if (dc_) ::ReleaseDC(wnd_, dc_);
  }
  DesktopDC(const DesktopDC&) = delete;
  DesktopDC& operator=(const DesktopDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND wnd_;
  HDC dc_;
};

}  // namespace

CUiMsgBox::CUiMsgBox()
    : CUiDialogImpl<CUiMsgBox>(0),
      m_bPanelMode(FALSE),
      m_rcPanel(RECT{0, 0, 0, 0}),
      m_uStyle(0),
      m_bCheckShown(FALSE),
      m_bCheckAnswer(FALSE) {}

CUiMsgBox::~CUiMsgBox() = default;

UINT CUiMsgBox::IconForStyle(UINT style) {
  switch (style & 0xF0) {
    case MB_ICONHAND:
      return 32513;  // IDI_HAND
    case MB_ICONQUESTION:
      return 32514;  // IDI_QUESTION
    case MB_ICONEXCLAMATION:
      return 32515;  // IDI_EXCLAMATION
    case MB_ICONASTERISK:
      return 32516;  // IDI_ASTERISK
    default:
      return 0;
  }
}

RECT CUiMsgBox::MeasureText(HDC dc, HFONT font, const std::wstring& text, UINT format, RECT bounds) {
  if (!dc) return RECT{bounds.left, bounds.top, bounds.left, bounds.top};
  HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, format | DT_NOPREFIX | DT_CALCRECT);
  if (old) ::SelectObject(dc, old);
  return bounds;
}

int CUiMsgBox::ShowMsg(LPCWSTR text, LPCWSTR caption, UINT style, BOOL* answer, HWND parent) {
  if (!Load(kLayoutId)) return kNotShown;
  m_bPanelMode = FALSE;
  m_strText = qv::OrEmpty(text);
  m_uStyle = style;
  SetItemVisible(kItemTextPanel, FALSE);
  SetItemVisible(kItemText, TRUE);
  SetItemText(kItemText, m_strText.c_str());
  return FinishAndRun(caption, answer, parent);
}

int CUiMsgBox::ShowPanelMsg(LPCWSTR textXml, const RECT* area, LPCWSTR caption, UINT style,
                            BOOL* answer, HWND parent) {
  m_strText = qv::OrEmpty(textXml);
  return RunPanel(kLayoutId, textXml, area, {}, caption, style, answer, parent);
}

int CUiMsgBox::RunPanel(UINT layoutId, LPCWSTR textXml, const RECT* area,
                        const std::vector<std::pair<UINT, std::wstring>>& texts, LPCWSTR caption,
                        UINT style, BOOL* answer, HWND parent) {
  if (!area || !Load(layoutId)) return kNotShown;
  m_bPanelMode = TRUE;
  m_rcPanel = *area;
  m_uStyle = style;
  SetItemVisible(kItemTextPanel, TRUE);
  SetItemVisible(kItemText, FALSE);
  // XML that does not parse leaves the panel empty; the box is still shown.
  std::string xml = qv::WideToUtf8(qv::OrEmpty(textXml));
  if (!xml.empty()) SetPanelXml(kItemTextPanel, xml.c_str());
  for (const auto& t : texts) SetItemText(t.first, t.second.c_str());
  return FinishAndRun(caption, answer, parent);
}

int CUiMsgBox::FinishAndRun(LPCWSTR caption, BOOL* answer, HWND parent) {
  if (caption) {
    m_strCaption = caption;
    SetWindowTitle(caption);
    SetItemText(kItemCaption, caption);
  }
  BuildButtonsAndIcon(answer);
  int result = UiModalHook::kShowAsUsual;
  if (UiModalHook* hook = UiModalHook::Current()) {
    UiModalHook::Box box{m_strText, m_strCaption, m_uStyle, UiModalRun::OwnerFor(parent),
                         {}, m_bCheckShown};
    for (const Button& b : m_buttons) box.buttons.push_back(b.id);
    result = hook->OnMessageBox(box, m_bCheckAnswer);
  }
  if (result == UiModalHook::kShowAsUsual) result = static_cast<int>(DoModal(parent));
  if (answer) *answer = m_bCheckAnswer;
  return result;
}

std::vector<UINT> CUiMsgBox::ButtonIds(UINT style) {
  switch (style & 0xF) {
    case MB_OK: return {IDOK};
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    // The retry button answers IDRETRY here, not IDTRYAGAIN: callers test for 4.
    case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDRETRY, IDCONTINUE};
    default: return {};  // 7 to 15: no buttons
  }
}

void CUiMsgBox::AddButtonSet(UINT set) {
  for (UINT id : ButtonIds(set)) {
    UINT label = kStrOk;
    switch (id) {
      case IDCANCEL: label = kStrCancel; break;
      case IDABORT: label = kStrAbort; break;
      case IDRETRY: label = kStrRetry; break;
      case IDIGNORE: label = kStrIgnore; break;
      case IDYES: label = kStrYes; break;
      case IDNO: label = kStrNo; break;
      case IDCONTINUE: label = kStrContinue; break;
      default: break;
    }
    AddButton(StringOrEmpty(label), id, 0);
  }
}

void CUiMsgBox::AddButton(LPCWSTR label, UINT id, int width) {
  std::wstring text = qv::OrEmpty(label);
  if (width == 0) {
    const UiStyle* style = UiStyle::GetStyle("normalbtn");
    DesktopDC dc;
    RECT rc = MeasureText(dc.Get(), style->font, text, style->textmode, RECT{0, 0, 1000, 1000});
    ::InflateRect(&rc, style->xmargin, style->ymargin);
    width = std::max(static_cast<int>(rc.right - rc.left), kMinButtonWidth);
  }
  m_buttons.push_back(Button{text, id, width});
}

void CUiMsgBox::BuildButtonsAndIcon(BOOL* answer) {
  if (!(m_uStyle & kNoButtons)) {
    m_buttons.clear();
    AddButtonSet(m_uStyle & 0xF);
  }

  int total = 0;
  for (const Button& b : m_buttons) total += b.width;
  if (!m_buttons.empty()) total += kButtonGap * static_cast<int>(m_buttons.size() - 1);

  // The templates come from the string table; the formatter checks that their
  // conversions match the arguments and formats a mismatch as nothing. Labels are
  // escaped like any text that goes into element XML.
  LPCWSTR buttonTemplate = StringOrEmpty(kStrButtonTemplate);
  std::wstring buttons;
  int x = 0;
  for (const Button& b : m_buttons) {
    std::wstring label = qv::Utf8ToWide(UiXmlText::Escape(b.label));
    buttons += qv::FormatW(buttonTemplate, static_cast<int>(b.id), x, x + b.width, label);
    x += b.width + kButtonGap;
  }
  std::wstring bar = qv::FormatW(StringOrEmpty(kStrBarTemplate), total / 2, total / 2, buttons);
  SetPanelXml(kItemButtonBar, qv::WideToUtf8(bar).c_str());

  UINT icon = IconForStyle(m_uStyle);
  if (icon)
    SetItemIntAttribute(kItemIcon, "src", icon);
  else
    SetItemVisible(kItemIcon, FALSE);

  if (!answer)
    SetItemVisible(kItemCheck, FALSE);
  else
    m_bCheckShown = TRUE;
}

LRESULT CUiMsgBox::OnUiCommand(int /*idCtrl*/, LPNMHDR pnmh, BOOL& /*bHandled*/) {
  const UINMCOMMAND* cmd = reinterpret_cast<const UINMCOMMAND*>(pnmh);
  const char* cls = cmd->szItemClass ? cmd->szItemClass : "";
  if (std::strcmp(cls, "button") == 0 || std::strcmp(cls, "imgbtn") == 0) {
    EndDialog(cmd->uItemID);
  } else if (cmd->uItemID == kItemCheck) {
    m_bCheckAnswer = GetItemCheck(kItemCheck);
  }
  // Everything else, Enter, Esc and the close request included, leaves the box open.
  return 0;
}

LRESULT CUiMsgBox::OnInitDialog(UINT /*uMsg*/, WPARAM /*wParam*/, LPARAM /*lParam*/,
                                BOOL& /*bHandled*/) {
  CWindow frame(m_hWnd);
  if (m_strCaption.empty()) m_strCaption = frame.GetWindowText();

  // The work area of the monitor the box will be centred on: its owner's, or the
  // primary monitor's when it has none.
  RECT start{0, 0, 0, 0};
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  HMONITOR monitor = owner ? ::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST)
                           : ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO mi{};
  mi.cbSize = sizeof mi;
  if (monitor && ::GetMonitorInfoW(monitor, &mi))
    start = mi.rcWork;
  else
    frame.GetClientRect(&start);
  const RECT startAtOrigin{0, 0, start.right - start.left, start.bottom - start.top};

  HDC dc = ::GetDC(m_hWnd);
  RECT title = MeasureText(dc, UiStyle::GetStyle("dlgtitle")->font, m_strCaption, 0, startAtOrigin);
  RECT text = m_rcPanel;
  if (!m_bPanelMode) {
    const UiStyle* style = UiStyle::GetStyle("msgtext");
    text = MeasureText(dc, style->font, m_strText, style->textmode, startAtOrigin);
  }
  if (dc) ::ReleaseDC(m_hWnd, dc);

  int titleRight = title.right + 100;
  int textRight = text.right + 100;
  int textBottom = text.bottom + 120 + (m_bCheckShown ? 20 : 0);
  int width = std::max({titleRight, textRight, kMinWidth});
  int height = std::max(textBottom, kMinHeight);
  ::MoveWindow(m_hWnd, start.left, start.top, width, height, FALSE);
  return TRUE;
}
