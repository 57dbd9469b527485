// Painting of the host view: a state change of one element repaints only that element's
// area into the back buffer before the one copy to the screen, so it should cost little
// more than the copy alone; a full redraw of the same layout is the comparison.
// Prints the ratios (one element repainted + copy) / copy and full / one element.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "platform/CAppModule.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiString.h"
#include "uiwin/UiStyle.h"

namespace {

using qvbench::Now;

const int kRounds = 200;

class BenchDialog : public CUiDialogImpl<BenchDialog>, public CWHRoundRectFrameHelper<BenchDialog> {
 public:
  BEGIN_MSG_MAP_EX(BenchDialog)
    CHAIN_MSG_MAP(CUiDialogImpl<BenchDialog>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<BenchDialog>)
  END_MSG_MAP()
};

// A 1000 x 700 dialog with 600 buttons and texts in the console's styles.
std::string MakeLayout() {
  std::string xml = "<layer width=\"1000\" height=\"700\"><header height=\"25\" class=\"mainhead\">"
                    "<text pos=\"10,6\" class=\"dlgtitle\">性能</text></header>"
                    "<body class=\"childbody\"><dlg pos=\"10,10,-10,-10\" class=\"panel\">";
  for (int i = 0; i < 600; ++i) {
    const int x = 10 + (i % 12) * 80, y = 10 + (i / 12) * 12;
    const std::string id = std::to_string(100 + i);
    if (i % 2)
      xml += "<button id=\"" + id + "\" pos=\"" + std::to_string(x) + "," + std::to_string(y) + "," +
             std::to_string(x + 75) + "," + std::to_string(y + 11) + "\" class=\"normalbtn\">确定</button>";
    else
      xml += "<text id=\"" + id + "\" pos=\"" + std::to_string(x) + "," + std::to_string(y) +
             "\" crtext=\"000000\">文字 " + id + "</text>";
  }
  return xml + "</dlg></body><footer height=\"6\" class=\"mainfoot\"/></layer>";
}

}  // namespace

int main() {
  g_module.Init(::GetModuleHandleW(nullptr));
  UiString::Load(102);
  LPCWSTR face = UiString::Get(0);
  UiFontPool::SetDefaultFont(face ? face : L"宋体", -12);
  UiSkin::LoadSkins(100);
  UiStyle::LoadStyles(101);

  BenchDialog dlg;
  if (!dlg.SetXml(MakeLayout().c_str()) || !dlg.Create(nullptr)) {
    std::fprintf(stderr, "the dialog could not be made\n");
    return 1;
  }
  HWND view = dlg.GetViewHWnd();
  HDC screen = ::GetDC(nullptr);
  HDC target = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 1000, 700);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(target, bitmap);
  auto print = [&] { ::SendMessageW(view, WM_PRINT, reinterpret_cast<WPARAM>(target), PRF_CLIENT); };
  print();

  double bestCopy = 1e300, bestOne = 1e300, bestFull = 1e300;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = Now();
    print();  // nothing invalidated: the copy alone
    double t1 = Now();
    dlg.EnableItem(101 + 2 * (round % 300), round % 2);  // one button's look changes
    print();
    double t2 = Now();
    dlg.RedrawAll();
    print();
    double t3 = Now();
    bestCopy = std::min(bestCopy, t1 - t0);
    bestOne = std::min(bestOne, t2 - t1);
    bestFull = std::min(bestFull, t3 - t2);
  }
  ::SelectObject(target, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(target);
  std::printf(
      "view 1000x700 with 600 elements, best of %d: copy only %.3f ms, one element repainted "
      "%.3f ms (ratio %.2f to the copy, target 3.00), full redraw %.3f ms (%.1f times one "
      "element)\n",
      kRounds, bestCopy, bestOne, bestOne / bestCopy, bestFull, bestFull / bestOne);
  return 0;
}
