#pragma once
// The target picker of the vulnerability-fix page (layout 556): the server kinds under
// the root "服务器群组" in a tri-state tree, of which at most one is checked at a time.
// "确定" wants a choice; both buttons end the dialog with 2 and the choice is not handed
// back. The policy wizard shows the same server kinds, with the same single choice.
#include <windows.h>

#include "controls/CMulStatusTree.h"
#include "platform/CImageList.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class target : public CUiDialogImpl<target>, public CWHRoundRectFrameHelper<target> {
 public:
  enum : UINT { kLayoutId = 556, kOk = 330, kCancel = 331, kTree = 332, kTreeScrollSkin = 333 };
  // The group picture is bitmap 130, which the pickers show as a directory; a server
  // and a mail server follow from bitmap 144.
  enum : UINT { kGroupBitmap = 130, kServerBitmap = 144 };
  enum : int { kImageGroup, kImageServer, kImageMailServer };

  target();

  // The three 32 x 24 pictures, magenta transparent; FALSE when one is missing.
  static BOOL LoadServerImages(CImageList& images);
  // The root "服务器群组" without a box and the eight server kinds under it, unchecked;
  // the root.
  static HTREEITEM InsertServerKinds(CMulStatusTree& tree);
  // Keeps one item of a tree checked: item became `state` (a box toggled by the user);
  // remembered is the item checked before, or 0.
  static void KeepSingleCheck(CMulStatusTree& tree, HTREEITEM& remembered, HTREEITEM item, int state);

  CMulStatusTree& GetTree() { return m_tree; }
  HTREEITEM GetCheckedItem() const { return m_checked; }

  BEGIN_MSG_MAP_EX(target)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<target>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<target>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    NOTIFY_HANDLER(kTree, CMulStatusTree::kNotifyCheckChanged, OnTreeCheck)
  END_MSG_MAP()

  void OnOK();

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTreeCheck(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

  CImageList m_images;  // outlives the tree that draws with it
  CMulStatusTree m_tree;
  HTREEITEM m_checked = nullptr;
};
