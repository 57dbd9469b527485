#pragma once
// What the three HIPS object pickers share: a dialog on a 400 x 285 layout with a
// tri-state tree of fixed sample nodes (no data is read, and none of the sample names
// is written anywhere but into the caller's result), OK and cancel. Cancel ends with 2
// and leaves the result alone; what OK takes is the picker's own OnOK.
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "console/PickerTree.h"
#include "platform/TextConv.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiMessageBox.h"
#include "uiwin/UiNotify.h"

// One node of a sample tree in pre-order: its level (0 the root), text and picture.
struct HipsSampleNode {
  int level;
  const wchar_t* text;
  int picture;
};

enum HipsSamplePicture { kHipsGroupPicture, kHipsServerPicture, kHipsDrivePicture, kHipsFolderPicture };

// The server groups the strategy-target pickers offer.
inline constexpr HipsSampleNode kHipsServerGroupSample[] = {
    {0, L"服务器群组", kHipsGroupPicture},
    {1, L"ERP数据库服务器", kHipsServerPicture},
    {1, L"OA数据库服务器", kHipsServerPicture},
    {1, L"门户网站服务器", kHipsServerPicture},
    {1, L"门户网站数据库服务器", kHipsServerPicture},
    {1, L"电子邮件服务器", kHipsServerPicture},
    {1, L"文件服务器", kHipsServerPicture},
    {1, L"防病毒控制中心服务器", kHipsServerPicture},
    {1, L"网络管理服务器", kHipsServerPicture},
};

template <class T>
class CHipsSamplePickerDlg : public CUiDialogImpl<T>, public CWHRoundRectFrameHelper<T> {
 public:
  BEGIN_MSG_MAP_EX(CHipsSamplePickerDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    CHAIN_MSG_MAP(CUiDialogImpl<T>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<T>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  PickerTree& Tree() { return m_tree; }
  HTREEITEM Root() const { return m_root; }

 protected:
  // result must outlive the dialog; title, when given, becomes the window's text.
  template <size_t N>
  CHipsSamplePickerDlg(std::wstring* result, const wchar_t* title, const HipsSampleNode (&sample)[N])
      : CUiDialogImpl<T>(T::kLayoutId), m_result(result), m_title(qv::OrEmpty(title)),
        m_sample(sample), m_sampleEnd(sample + N) {}

  // OK of the target pickers: the first checked child of the root, else the system's
  // box with refusal and the dialog stays.
  void ChooseFirstChecked(const wchar_t* refusal) {
    HTREEITEM chosen = m_tree.tree.GetChildItem(m_root);
    while (chosen && m_tree.tree.GetCheck(chosen) != EM_TVIS_CHECK) chosen = m_tree.tree.GetNextSiblingItem(chosen);
    if (chosen)
      Choose(m_tree.tree.GetItemText(chosen));
    else
      UiSystemMessageBox(refusal, L"警告", MB_ICONHAND, this->m_hWnd);
  }
  void Choose(const std::wstring& text) {
    if (m_result) *m_result = text;
    this->EndDialog(IDOK);
  }

 private:
  // Group, server, drive and folder, as the other pickers draw them.
  static constexpr UINT kPictures[] = {126, 131, 129, 130};

  LRESULT OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
    const UINT id = reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID;
    if (id == T::kItemOK)
      static_cast<T*>(this)->OnOK();
    else if (id == T::kItemCancel)
      this->EndDialog(IDCANCEL);
    else
      bHandled = FALSE;
    return 0;
  }
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    if (!m_title.empty()) this->SetWindowText(m_title.c_str());
    if (!m_tree.Create(this->GetViewHWnd(), T::kItemTree, T::kTreeStyle, kPictures, 4)) return 0;
    // The root has no box: OK looks only below it.
    std::vector<HTREEITEM> parents{TVI_ROOT};
    for (const HipsSampleNode* node = m_sample; node != m_sampleEnd; ++node) {
      parents.resize(node->level + 1);
      parents.push_back(m_tree.Add(parents.back(), node->text, node->picture,
                                   node->level ? EM_TVIS_UNCHECK : EM_TVIS_NONE, 0));
    }
    m_root = m_tree.tree.GetRootItem();
    m_tree.tree.Expand(m_root, TVE_EXPAND);
    return 0;
  }

  std::wstring* m_result;
  std::wstring m_title;
  const HipsSampleNode* m_sample;
  const HipsSampleNode* m_sampleEnd;
  PickerTree m_tree;
  HTREEITEM m_root = nullptr;
};
