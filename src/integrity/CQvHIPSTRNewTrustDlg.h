#pragma once
// "新建信任关系" (layout 531): the editor of one trust relation: its type, host and
// content. It writes the caller's values only on a valid OK (result 1); cancel gives 2.
// OK refuses, while the editor stays open with what was entered, a content longer than
// the agent's record holds (unless it is the relation's own, unchanged), a relation that
// the host has already under another id (its content compared as the agent compares
// paths, HipsPatternKey), and one that the caller's store refuses. After a relation
// refused as already there, the caller's list is read again: another console may have
// stored it since.
#include <windows.h>

#include <functional>
#include <string>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class CQvHIPSTRNewTrustDlg : public CUiDialogImpl<CQvHIPSTRNewTrustDlg>,
                             public CWHRoundRectFrameHelper<CQvHIPSTRNewTrustDlg> {
 public:
  enum : UINT {
    kLayoutId = 531,
    kHost = 100,
    kContent = 101,
    kItemSelectClient = 102,
    kItemBrowse = 103,
    kType = 104,  // the combo's element; the OK button shares the id
    kItemOk = 104,
    kItemCancel = 105,
  };
  static const int kContentChars = 259;

  // Stores a valid relation before the editor closes; false (the user told) keeps it open.
  using Store = std::function<bool(int type, const std::wstring& host, const std::wstring& content)>;

  // ownId: the relation's Trust.id in modify mode (it is not its own duplicate).
  // readList: the caller's reading of its list.
  CQvHIPSTRNewTrustDlg(int mode, int* type, std::wstring* host, std::wstring* content, int ownId = -1,
                       Store store = nullptr, std::function<void()> readList = nullptr);

  BEGIN_MSG_MAP_EX(CQvHIPSTRNewTrustDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvHIPSTRNewTrustDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvHIPSTRNewTrustDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    COMMAND_HANDLER(kType, CBN_SELCHANGE, OnTypeSelChangeCommand)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnTypeSelChange();
  void OnSelectClient();
  void OnBrowseContent();
  void OnOK();
  // Where a picked path goes; refused (false, with a box) when longer than the record holds.
  bool TakePickedPath(const std::wstring& path);

  CComboBoxCtrlEx& TypeCombo() { return m_type; }
  CEditEx& HostEdit() { return m_host; }
  CEditEx& ContentEdit() { return m_content; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnTypeSelChangeCommand(WORD, WORD, HWND, BOOL&) { OnTypeSelChange(); return 0; }
  // 1 when the table holds the relation under another id, 0 when not, -1 (shown) on failure.
  int CountSameTrust(int type, const std::wstring& host, const std::wstring& content);

  int m_hostChosen = 0;
  int m_mode;
  int m_ownId;
  Store m_store;
  std::function<void()> m_readList;
  int* m_callerType;
  std::wstring* m_callerHost;
  std::wstring* m_callerContent;
  CComboBoxCtrlEx m_type;
  CEditEx m_host, m_content;
};
