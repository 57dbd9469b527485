#include "console/PickerTree.h"

#include "controls/CUIResource.h"
#include "platform/CGdiObject.h"

namespace {
const UINT kScrollSkinId = 3200;
const COLORREF kTransparent = RGB(255, 0, 255);

bool IsChosen(int state) { return state == EM_TVIS_CHECK || state == EM_TVIS_PARTIAL; }
}  // namespace

PickerTree::PickerTree() : tree(CUIResource::GetSkinBitmap(), kScrollSkinId) {}

bool PickerTree::Create(HWND view, UINT id, DWORD style, const UINT* bitmaps, size_t count) {
  if (!tree.Create(view, RECT{0, 0, 0, 0}, nullptr, style, 0, id)) return false;
  if (!m_images.Create(32, 24, ILC_COLOR24 | ILC_MASK, static_cast<int>(count), 1)) return false;
  for (size_t i = 0; i < count; ++i) {
    CBitmap picture(::LoadBitmapW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(bitmaps[i])));
    m_images.Add(picture, kTransparent);
  }
  tree.SetImageList(m_images, TVSIL_NORMAL);
  return true;
}

HTREEITEM PickerTree::Add(HTREEITEM parent, const std::wstring& text, int image, int state,
                          DWORD_PTR data) {
  return tree.InsertItem(text.c_str(), image, image, parent, TVI_LAST, state, static_cast<LPARAM>(data));
}

void PickerTree::OnCheck(HTREEITEM item, int state) {
  if (!item || (state != EM_TVIS_CHECK && state != EM_TVIS_UNCHECK)) return;
  if (m_checked) tree.SetCheck(m_checked, EM_TVIS_UNCHECK, TRUE);
  m_checked = item;
  tree.SetCheck(item, EM_TVIS_CHECK, TRUE);
}

void PickerTree::OnDeleted(HTREEITEM item) {
  if (item == m_checked) m_checked = nullptr;
}

std::wstring PickerTree::DriveOf(const std::wstring& text) {
  const size_t open = text.find(L'(');
  const size_t close = text.find(L')', open == std::wstring::npos ? 0 : open);
  if (open == std::wstring::npos || close == std::wstring::npos) return text;
  return text.substr(open + 1, close - open - 1);
}

std::wstring PickerTree::CheckedBranch(HTREEITEM top) const {
  HTREEITEM node = tree.GetChildItem(top);
  while (node && !IsChosen(tree.GetCheck(node))) node = tree.GetNextSiblingItem(node);
  if (!node) return std::wstring();
  std::wstring path = DriveOf(tree.GetItemText(node));
  while (tree.GetCheck(node) == EM_TVIS_PARTIAL) {
    HTREEITEM child = tree.GetChildItem(node);
    while (child && !IsChosen(tree.GetCheck(child))) child = tree.GetNextSiblingItem(child);
    if (!child) break;  // a partly checked item without such a child ends the branch
    path += L"\\" + tree.GetItemText(child);
    node = child;
  }
  return path;
}
