// Shows a grid with every kind of cell (text, check boxes in each state, clickable
// text, dates, a combo choice, coloured cells, progress, a group row), one row
// selected, in its skinned scroll bars, for a look with scripts/screenshot. With an
// argument it opens a cell editor: "combo" (row 4's choice), "date" (row 0's time) or
// "edit" (a name cell made editable), the combo and date ones dropped down; or, over a
// tiled background with multiple selection on, "band" (a drag selection from row 2 to
// row 5 under way) or "rowtip" (the pointer resting on a row that has a tip).
#include <windows.h>

#include <string>

#include "../ToolStartup.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CUIResource.h"

namespace {

// What no page turns on: multiple selection, the rows' tips and a background picture.
class ExtrasGrid : public CListCtrlDataEx<unsigned long> {
 public:
  using CListCtrlDataEx::CListCtrlDataEx;
  void TurnOn(HBITMAP hBackground) {
    m_bMultiSelect = TRUE;
    m_hBackground = hBackground;
    m_bTileBackground = TRUE;
    for (int i = 0; i < GetItemCount(); ++i) {
      const std::wstring name = GetItemText(i, 2);
      if (!name.empty()) SetItemToolTip(i, (L"监测对象：" + name + L"\n双击查看详细信息").c_str());
    }
    Redraw();
  }
};

// A pale 48 x 48 tile: a lattice of thin diagonal lines.
HBITMAP MakeTile() {
  BITMAPINFO bmi{};
  bmi.bmiHeader = {sizeof(BITMAPINFOHEADER), 48, -48, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP tile = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!tile) return nullptr;
  auto* pixel = static_cast<DWORD*>(bits);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 48; ++x) pixel[y * 48 + x] = (x + y) % 24 == 0 || (x - y + 48) % 24 == 0 ? 0xDCE6F5 : 0xF7F9FD;
  return tile;
}

// The pointer put at a client point of the grid, and the grid told so.
void PointAt(HWND grid, POINT pt, UINT msg, WPARAM buttons) {
  POINT screen = pt;
  ::ClientToScreen(grid, &screen);
  ::SetCursorPos(screen.x, screen.y);
  ::SendMessageW(grid, msg, buttons, MAKELPARAM(pt.x, pt.y));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command, int) {
  ToolStartup startup(instance);
  CUIResource::Init();
  HWND frame = ::CreateWindowExW(0, L"STATIC", L"grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                 760, 420, nullptr, nullptr, instance, nullptr);
  ExtrasGrid grid(CUIResource::GetSkinBitmap(), 2000, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9);
  const RECT rc{10, 10, 730, 370};
  grid.Create(frame, &rc, nullptr, 0, 0, 1000);
  grid.AddColumn(L"", 0, 16);
  grid.AddColumn(L"选择", 60, -1, TRUE, FALSE, ITEM_FORMAT_CHECKBOX_3STATE, ITEM_FLAGS_CENTRE);
  grid.AddColumn(L"名称", 160, 13);
  grid.AddColumn(L"时间", 170, -1, FALSE, TRUE, ITEM_FORMAT_DATETIME);
  grid.AddColumn(L"操作", 90, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK, ITEM_FLAGS_CENTRE);
  grid.AddColumn(L"进度", 120, -1, FALSE, FALSE, ITEM_FORMAT_PROGRESS, ITEM_FLAGS_PROGRESS_SOLID);
  const wchar_t* names[] = {L"系统目录监测", L"注册表启动项", L"网站根目录",
                            L"数据库配置",   L"服务列表",     L"共享文件夹"};
  for (int i = 0; i < 6; ++i) {
    const int row = grid.AddItem(L"");
    grid.SetItemCheck(row, 1, i % 3 == 2 ? -1 : i % 3);
    grid.SetItemText(row, 2, names[i]);
    grid.SetItemText(row, 3, i == 4 ? L"" : L"20240315103000");
    grid.SetItemText(row, 4, L"查看");
    grid.SetItemText(row, 5, std::to_wstring(i * 25).c_str());
  }
  grid.SetItemColours(3, 2, RGB(0xFF, 0xE0, 0xE0), RGB(0xC0, 0, 0));
  grid.SetItemCombo(4, 3, ITEM_FORMAT_COMBO, 0, {L"每天", L"每周"});
  grid.SetItemComboIndex(4, 3, 1);
  const int group = grid.AddItem(L"补丁分组（2）", -1, ITEM_FORMAT_GROUP);
  for (DWORD member : {7, 8}) grid.AddItemTag(group, member);
  grid.AddItem(L"", -1, 0, ITEM_FLAGS_HIDDEN);
  grid.AddItem(L"", -1, 0, ITEM_FLAGS_HIDDEN);
  for (int i = 0; i < 20; ++i) grid.SetItemText(grid.AddItem(L""), 2, L"更多的行");
  grid.SelectItem(1, 2, 0);
  const std::wstring open = command ? command : L"";
  HBITMAP tile = nullptr;
  if (open == L"band" || open == L"rowtip") {
    tile = MakeTile();
    grid.TurnOn(tile);
    ::UpdateWindow(frame);
    CRect from, to;
    grid.GetItemRect(open == L"band" ? 2 : 3, 2, from);
    grid.GetItemRect(5, 4, to);
    if (open == L"band") {
      PointAt(grid, POINT{from.left + 20, from.CenterPoint().y}, WM_LBUTTONDOWN, MK_LBUTTON);
      PointAt(grid, to.CenterPoint(), WM_MOUSEMOVE, MK_LBUTTON);
    } else {
      PointAt(grid, from.CenterPoint(), WM_MOUSEMOVE, 0);
    }
  }
  const int row = open == L"combo" ? 4 : open == L"date" ? 0 : 2, column = open == L"edit" ? 2 : 3;
  if (open == L"edit") grid.SetItemFormat(row, column, ITEM_FORMAT_EDIT, 0);
  if (open == L"combo" || open == L"date" || open == L"edit") {
    ::SetFocus(grid);
    grid.SelectItem(row, column, 0);
    HWND editor = ::GetFocus();
    if (open != L"edit") ::SendMessageW(editor, open == L"combo" ? WM_KEYDOWN : WM_SYSKEYDOWN, VK_F4, 0);
  }

  MSG msg;
  while (::IsWindow(frame) && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  if (tile) ::DeleteObject(tile);
  CUIResource::Uninit();
  return 0;
}
