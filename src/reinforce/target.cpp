#include "reinforce/target.h"

#include <commctrl.h>

#include "controls/CUIResource.h"
#include "platform/CAppModule.h"
#include "platform/CGdiObject.h"
#include "uiwin/UiMessageBox.h"

namespace {

const struct {
  const wchar_t* name;
  int image;
} kServerKinds[] = {
    {L"ERP数据库服务器", target::kImageServer},
    {L"OA数据库服务器", target::kImageServer},
    {L"门户网站服务器", target::kImageServer},
    {L"门户网站数据库服务器", target::kImageServer},
    {L"电子邮件服务器", target::kImageMailServer},
    {L"文件服务器", target::kImageServer},
    {L"防病毒控制中心服务器", target::kImageServer},
    {L"网站管理服务器", target::kImageServer},
};

}  // namespace

target::target()
    : CUiDialogImpl<target>(kLayoutId), m_tree(CUIResource::GetSkinBitmap(), kTreeScrollSkin) {}

BOOL target::LoadServerImages(CImageList& images) {
  HINSTANCE instance = g_module.GetResourceInstance();
  if (!instance) instance = ::GetModuleHandleW(nullptr);
  if (!images.Create(32, 24, ILC_COLOR24 | ILC_MASK, 3, 1)) return FALSE;
  for (UINT id : {kGroupBitmap, kServerBitmap}) {
    CBitmap pictures(::LoadBitmapW(instance, MAKEINTRESOURCEW(id)));
    if (pictures.IsNull() || images.Add(pictures, RGB(255, 0, 255)) < 0) return FALSE;
  }
  return TRUE;
}

HTREEITEM target::InsertServerKinds(CMulStatusTree& tree) {
  HTREEITEM root = tree.InsertItem(L"服务器群组", kImageGroup, kImageGroup, TVI_ROOT, TVI_LAST, EM_TVIS_NONE);
  for (const auto& kind : kServerKinds)
    tree.InsertItem(kind.name, kind.image, kind.image, root, TVI_LAST, EM_TVIS_UNCHECK);
  return root;
}

void target::KeepSingleCheck(CMulStatusTree& tree, HTREEITEM& remembered, HTREEITEM item, int state) {
  if (state == EM_TVIS_CHECK) {
    if (remembered && remembered != item) tree.SetCheck(remembered, EM_TVIS_UNCHECK, TRUE);
    remembered = item;
  } else if (item == remembered) {
    remembered = nullptr;
  }
}

LRESULT target::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  m_tree.Create(GetViewHWnd(), RECT{}, nullptr,
                WS_CHILD | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                    TVS_SHOWSELALWAYS | TVS_FULLROWSELECT,
                0, kTree);
  if (LoadServerImages(m_images)) m_tree.SetImageList(m_images, TVSIL_NORMAL);
  InsertServerKinds(m_tree);
  return 0;
}

LRESULT target::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  return OkCancelCommand(pnmh, kOk, kCancel, [this] { OnOK(); }, bHandled);
}

LRESULT target::OnTreeCheck(int, LPNMHDR pnmh, BOOL& bHandled) {
  if (pnmh->hwndFrom != m_tree.m_hWnd) {
    bHandled = FALSE;
    return 0;
  }
  const auto* nm = reinterpret_cast<const CMulStatusTreeNotify*>(pnmh);
  KeepSingleCheck(m_tree, m_checked, nm->hItem, nm->nState);
  return 0;
}

void target::OnOK() {
  if (!m_checked) {
    UiMessageBox(L"没有选择!!!", L"警告", MB_ICONINFORMATION);
    return;
  }
  EndDialog(IDCANCEL);
}
