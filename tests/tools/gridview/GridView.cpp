// Shows a grid with every kind of cell (text, check boxes in each state, clickable
// text, dates, a combo choice, coloured cells, progress, a group row), one row
// selected, in its skinned scroll bars, for a look with scripts/screenshot. With an
// argument it opens a cell editor: "combo" (row 4's choice), "date" (row 0's time) or
// "edit" (a name cell made editable), the combo and date ones dropped down.
#include <windows.h>

#include <string>

#include "../ToolStartup.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CUIResource.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command, int) {
  ToolStartup startup(instance);
  CUIResource::Init();
  HWND frame = ::CreateWindowExW(0, L"STATIC", L"grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20,
                                 760, 420, nullptr, nullptr, instance, nullptr);
  CListCtrlDataEx<unsigned long> grid(CUIResource::GetSkinBitmap(), 2000, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9);
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
  const int row = open == L"combo" ? 4 : open == L"date" ? 0 : 2, column = open == L"edit" ? 2 : 3;
  if (open == L"edit") grid.SetItemFormat(row, column, ITEM_FORMAT_EDIT, 0);
  if (!open.empty()) {
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
  CUIResource::Uninit();
  return 0;
}
