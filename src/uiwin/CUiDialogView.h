#pragma once
// The host view of every dialog: the window side (CUiDialogViewImpl) under the window
// class "QvUiDialogView", and the item operations by command id (CUiViewImpl).
#include <windows.h>

#include "platform/CWinTraits.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiDialogViewImpl.h"
#include "uiwin/CUiViewImpl.h"

class CUiDialogView
    : public CUiDialogViewImpl<CUiDialogView, CUiDialog, CWindow, CWinTraits<0x52010000, 0x0>>,
      public CUiViewImpl<CUiDialogView> {
 public:
  static CWndClassInfo& GetWndClassInfo();

  CUiDialogView() = default;

  // Puts the elements of an XML fragment in place of a container's children.
  BOOL ReplacePanelChildren(UINT nCmdID, LPCSTR pszXml);
};
