// Shows the console's skins the way its windows put them together (main
// window frame, area buttons, caption buttons, tab heads, buttons, input
// frames, a message box), each in its states, for scripts/screenshot.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "uiwin/CUiSkinBase.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

const DWORD kHover = 1, kPushed = 2, kDisabled = 16;

void DrawSkin(HDC dc, const char* name, int l, int t, int r, int b, DWORD state) {
  CUiSkinBase* skin = UiSkin::GetSkin(name);
  RECT rc = {l, t, r, b};
  if (skin) skin->Draw(dc, rc, state);
}

void Text(HDC dc, const wchar_t* text, int l, int t, int r, int b, COLORREF color, UINT format,
          HFONT font = nullptr) {
  HGDIOBJ old = SelectObject(dc, font ? font : UiFontPool::GetFont(0));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color);
  RECT rc = {l, t, r, b};
  DrawTextW(dc, text, -1, &rc, format);
  SelectObject(dc, old);
}

// A button element: the style's skin in the state, then its text.
void Button(HDC dc, const char* style, const wchar_t* text, int l, int t, int r, int b,
            DWORD state) {
  const UiStyle* s = UiStyle::GetStyle(style);
  DrawSkin(dc, s->skin.c_str(), l, t, r, b, state);
  COLORREF color = (state & kDisabled) ? s->crdisabled : s->crtext;
  Text(dc, text, l + s->xmargin, t + s->ymargin, r - s->xmargin, b - s->ymargin, color, s->textmode,
       s->font);
}

void Paint(HDC dc, const RECT& client) {
  HBRUSH back = CreateSolidBrush(RGB(0xE8, 0xE8, 0xE8));
  FillRect(dc, &client, back);
  DeleteObject(back);

  // main window: 800 wide, header 25, body, footer 6
  const int W = 800, H = 460;
  const UiStyle* head = UiStyle::GetStyle("mainhead");
  const UiStyle* body = UiStyle::GetStyle("mainbody");
  const UiStyle* foot = UiStyle::GetStyle("mainfoot");
  DrawSkin(dc, head->skin.c_str(), 0, 0, W, 25, 0);
  DrawSkin(dc, body->skin.c_str(), 0, 25, W, H - 6, 0);
  DrawSkin(dc, foot->skin.c_str(), 0, H - 6, W, H, 0);
  const UiStyle* title = UiStyle::GetStyle("dlgtitle");
  Text(dc, L"TalmeraSorvik完整性安全监测系统软件v1.0", 30, 7, 500, 22, title->crtext,
       title->textmode, title->font);
  DrawSkin(dc, "closebtn", W - 34, 4, W - 4, 25, 0);
  DrawSkin(dc, "maxbtn", W - 72, 4, W - 42, 25, kHover);
  DrawSkin(dc, "minbtn", W - 110, 4, W - 80, 25, 0);
  DrawSkin(dc, "updatebtn", W - 148, 4, W - 118, 25, kPushed);

  // area buttons on the band: normal, hover, pressed, normal
  const char* areas[] = {"tabbtnsm", "tabbtnig", "tabbtnlog", "tabbtnreport"};
  const DWORD areaStates[] = {0, kHover, kPushed, 0};
  for (int i = 0; i < 4; ++i)
    DrawSkin(dc, areas[i], 10 + i * 106, 29, 10 + i * 106 + 103, 75, areaStates[i]);

  // the area page: tab heads over a tab page
  const int top = 25 + 53 + 4;
  RECT page = {7, top, W - 7, H - 6 - 25};
  HBRUSH white = CreateSolidBrush(RGB(0xFB, 0xFC, 0xFD));
  FillRect(dc, &page, white);
  DeleteObject(white);
  const wchar_t* tabs[] = {L"监测策略", L"策略对象", L"历史副本", L"变化监测"};
  for (int i = 0; i < 4; ++i) {
    int l = 7 + i * 125, r = l + 122;
    DWORD state = i == 0 ? kPushed : (i == 1 ? kHover : 0);
    DrawSkin(dc, "tabnormalex", l, top, r, top + 32, state);
    Text(dc, tabs[i], l, top + 1, r, top + 32, RGB(0xFF, 0xFF, 0xFF),
         DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  }
  DrawSkin(dc, "tabpage", 7, top + 32, W - 7, H - 6 - 25, 0);

  // a panel with a grid-like placeholder and a row of buttons in every state
  DrawSkin(dc, "panel", 15, top + 40, W - 15, top + 180, 0);
  Text(dc, L"panel", 22, top + 44, 200, top + 60, RGB(0x80, 0x80, 0x80), DT_SINGLELINE);
  const wchar_t* labels[] = {L"新建策略", L"修改策略", L"删除策略", L"运行策略", L"暂停计划"};
  const DWORD states[] = {0, kHover, kPushed, kDisabled, 0};
  for (int i = 0; i < 5; ++i)
    Button(dc, "normalbtn", labels[i], 15 + i * 97, top + 190, 15 + i * 97 + 88, top + 210,
           states[i]);

  // inputs: the control frame, a browse button beside each, in states
  for (int i = 0; i < 4; ++i) {
    int y = top + 222 + (i / 2) * 28, x = 15 + (i % 2) * 280;
    Button(dc, "ctlframe", L"C:\\Reports", x, y, x + 230, y + 22, 0);
    DrawSkin(dc, i < 2 ? "browsebtn" : "browsedetailbtn", x + 234, y + 1, x + 254, y + 21,
             i % 2 ? kHover : 0);
  }
  Button(dc, "safetoolbtn", L"安全工具", 600, top + 190, 760, top + 220, 0);
  Button(dc, "safetoolbtn", L"安全工具", 600, top + 225, 760, top + 255, kHover);
  DrawSkin(dc, "MonitorCountBK", 600, top + 260, 679, top + 313, (DWORD)-1);
  Text(dc, L"12", 603, top + 272, 660, top + 300, RGB(0, 0, 0), DT_SINGLELINE,
       UiStyle::GetStyle("changecount")->font);
  Text(dc, L"状态栏文字（白色，mainbody）", 14, H - 6 - 20, 400, H - 8, body->crtext,
       DT_SINGLELINE);

  // message box: head, body, panel, text, button bar
  const int mx = 820, my = 10, mw = 380, mh = 180;
  DrawSkin(dc, "msgboxhead", mx, my, mx + mw, my + 25, 0);
  DrawSkin(dc, "msgboxbody", mx, my + 25, mx + mw, my + mh, 0);
  Text(dc, L"提示", mx + 25, my + 8, mx + 200, my + 24, title->crtext, title->textmode,
       title->font);
  DrawSkin(dc, "closebtn", mx + mw - 32, my + 2, mx + mw - 2, my + 23, kHover);
  DrawSkin(dc, "panel", mx + 7, my + 25, mx + mw - 7, my + mh - 7, 0);
  const UiStyle* msg = UiStyle::GetStyle("msgtext");
  Text(dc, L"您确定关闭么？", mx + 70, my + 50, mx + mw - 20, my + 100, msg->crtext, msg->textmode,
       msg->font);
  Button(dc, "normalbtn", L"确定", mx + mw - 190, my + mh - 40, mx + mw - 110, my + mh - 18,
         kHover);
  Button(dc, "normalbtn", L"取消", mx + mw - 100, my + mh - 40, mx + mw - 20, my + mh - 18, 0);

  // the pictures at their own size, with their states side by side
  DrawSkin(dc, "DefenseIB", 820, 210, 1080, 244, (DWORD)-1);
  DrawSkin(dc, "IChange", 820, 250, 1080, 284, (DWORD)-1);
  DrawSkin(dc, "servergroup", 820, 292, 852, 316, (DWORD)-1);
  for (int i = 0; i < 3; ++i)
    DrawSkin(dc, "tabbtnlistshow", 820 + i * 148, 325, 965 + i * 148, 353, i);
  const char* captions[] = {"closebtn", "maxbtn", "restorebtn", "minbtn", "updatebtn"};
  RECT strip = {820, 360, 1270, 460};
  HBRUSH blue = CreateSolidBrush(RGB(0x63, 0x97, 0xC9));
  FillRect(dc, &strip, blue);
  DeleteObject(blue);
  for (int c = 0; c < 5; ++c)
    for (int s = 0; s < 3; ++s)
      DrawSkin(dc, captions[c], 830 + s * 34 + (c % 3) * 110, 366 + (c / 3) * 40, 0, 0, s);
}

LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(wnd, &ps);
      RECT rc;
      GetClientRect(wnd, &rc);
      Paint(dc, rc);
      EndPaint(wnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  CoInitialize(nullptr);
  UiFontPool::SetDefaultFont(L"宋体", -12);
  UiSkin::LoadSkins(100);
  UiStyle::LoadStyles(101);

  WNDCLASSW wc = {};
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = L"QvSkinPreview";
  RegisterClassW(&wc);
  HWND wnd = CreateWindowExW(0, wc.lpszClassName, L"skins", WS_POPUP | WS_VISIBLE, 0, 0, 1280, 470,
                             nullptr, nullptr, instance, nullptr);
  if (!wnd) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CoUninitialize();
  return 0;
}
