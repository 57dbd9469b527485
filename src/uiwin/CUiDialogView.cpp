#include "uiwin/CUiDialogView.h"

#include <tinyxml.h>

CWndClassInfo& CUiDialogView::GetWndClassInfo() {
  static CWndClassInfo wc = {L"QvUiDialogView", nullptr, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                             reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)),
                             IDC_ARROW, 0, nullptr};
  return wc;
}

BOOL CUiDialogView::ReplacePanelChildren(UINT nCmdID, LPCSTR pszXml) {
  TiXmlDocument doc;
  doc.Parse(pszXml ? pszXml : "", nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error() || !doc.RootElement()) return FALSE;
  CUiWindow* item = FindChildByCmdID(nCmdID);
  CUiPanel* panel = item ? item->AsPanel() : nullptr;  // "div", "dlg", "tab", "dlgfile"
  if (!panel) return FALSE;
  panel->TestMainThread();
  panel->LoadChilds(doc.RootElement());
  panel->RepositionChilds();
  InvalidateItem(panel, TRUE);
  if (panel->IsVisible(TRUE)) panel->UiSendMessage(WM_SHOWWINDOW, TRUE, 0);
  return TRUE;
}
