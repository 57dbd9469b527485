// The grid: a repaint costs by the rows on screen, not by the rows held, so painting
// 100,000 rows scrolled to the middle should cost about what 100 rows scrolled to the
// middle do (target ratio 1.2 at most). Adding 100,000 rows is compared with filling a
// plain vector with the same strings, and sorting them by a column with sorting the
// strings alone. A frame of the smooth scroll moves a picture of the rows instead of
// drawing them: it should cost well under a repaint (target ratio 0.5 at most).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CUIFontPair.h"
#include "platform/CAppModule.h"

namespace {

using qvbench::Now;

using Grid = CListCtrlDataEx<unsigned long>;
const int kRows = 100000, kFewRows = 100, kPaintRounds = 200, kFillRounds = 3;
const int kWidth = 800, kHeight = 600;

std::unique_ptr<Grid> MakeGrid(HWND host) {
  auto grid = std::make_unique<Grid>(nullptr, 0, 0xCFBBA2, 0xCDFAFF, 0xF5C2A9);
  const RECT rc{0, 0, kWidth, kHeight};
  if (!grid->Create(host, &rc)) return nullptr;
  grid->AddColumn(L"名称", 200);
  grid->AddColumn(L"选择", 80, -1, FALSE, FALSE, ITEM_FORMAT_CHECKBOX, ITEM_FLAGS_CENTRE);
  grid->AddColumn(L"时间", 200, -1, FALSE, FALSE, ITEM_FORMAT_DATETIME);
  grid->AddColumn(L"说明", 300, -1, FALSE, FALSE, ITEM_FORMAT_HYPERLINK);
  return grid;
}

void AddRows(Grid& grid, const std::vector<std::wstring>& texts, int rows) {
  for (int i = 0; i < rows; ++i) grid.AddItem(texts[i].c_str());
}

void FillCells(Grid& grid, const std::vector<std::wstring>& texts) {
  for (int row = 0; row < grid.GetItemCount(); ++row) {
    grid.SetItemCheck(row, 1, row % 2);
    grid.SetItemText(row, 2, L"20240315103000");
    grid.SetItemText(row, 3, texts[row].c_str());
  }
}

// Best time of one repaint of the whole client area, scrolled to the middle row.
double PaintTime(Grid& grid, HDC target) {
  ::SetScrollPos(grid, SB_VERT, grid.GetItemCount() / 2 * grid.GetItemHeight(), FALSE);
  double best = 1e300;
  for (int round = 0; round < kPaintRounds; ++round) {
    const double t0 = Now();
    ::SendMessageW(grid, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT);
    best = std::min(best, Now() - t0);
  }
  return best;
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  g_module.Init(::GetModuleHandleW(nullptr));
  CUIFontPair::Create();
  HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  std::vector<std::wstring> texts;
  for (int i = 0; i < kRows; ++i) texts.push_back(L"监测对象 " + std::to_wstring(i));

  double bestVector = 1e300, bestAdd = 1e300;
  std::unique_ptr<Grid> big;
  for (int round = 0; round < kFillRounds; ++round) {
    double t0 = Now();
    std::vector<std::wstring> plain;
    for (int i = 0; i < kRows; ++i) plain.push_back(texts[i]);
    bestVector = std::min(bestVector, Now() - t0);
    big = MakeGrid(host);
    if (!big) {
      std::fprintf(stderr, "the grid could not be made\n");
      return 1;
    }
    t0 = Now();
    AddRows(*big, texts, kRows);
    bestAdd = std::min(bestAdd, Now() - t0);
  }
  FillCells(*big, texts);
  auto few = MakeGrid(host);
  AddRows(*few, texts, kFewRows);
  FillCells(*few, texts);

  HDC screen = ::GetDC(nullptr);
  HDC target = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kWidth, kHeight);
  ::ReleaseDC(nullptr, screen);
  HGDIOBJ old = ::SelectObject(target, bitmap);
  const double paintFew = PaintTime(*few, target);
  const double paintBig = PaintTime(*big, target);

  // A frame of a page's smooth scroll (the timer never runs here, so the picture stays).
  ::SendMessageW(*big, WM_VSCROLL, SB_PAGEDOWN, 0);
  double frame = 1e300;
  for (int round = 0; round < kPaintRounds; ++round) {
    const double t0 = Now();
    ::SendMessageW(*big, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(target), PRF_CLIENT);
    frame = std::min(frame, Now() - t0);
  }
  ::SendMessageW(*big, WM_VSCROLL, SB_ENDSCROLL, 0);
  ::SelectObject(target, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(target);

  // Sorting by the name column (names in reverse order first, so every row moves).
  std::vector<std::wstring> reversed(texts.rbegin(), texts.rend());
  auto sorted = MakeGrid(host);
  AddRows(*sorted, reversed, kRows);
  double t0 = Now();
  sorted->SortColumn(0);
  const double sortGrid = Now() - t0;
  t0 = Now();
  std::stable_sort(reversed.begin(), reversed.end());
  const double sortPlain = Now() - t0;
  sorted.reset();

  std::printf(
      "grid %dx%d, 4 columns: repaint scrolled to the middle, best of %d: %d rows %.3f ms, "
      "%d rows %.3f ms (ratio %.2f, target 1.20)\n",
      kWidth, kHeight, kPaintRounds, kFewRows, paintFew, kRows, paintBig, paintBig / paintFew);
  std::printf(
      "adding %d rows of 4 cells, best of %d: %.1f ms; the same strings into a plain vector "
      "%.1f ms (ratio %.1f)\n",
      kRows, kFillRounds, bestAdd, bestVector, bestAdd / bestVector);
  std::printf("smooth scroll frame %.3f ms against a repaint %.3f ms (ratio %.2f, target 0.50)\n",
              frame, paintBig, frame / paintBig);
  std::printf("sorting %d rows by a column %.1f ms; the strings alone %.1f ms (ratio %.1f)\n", kRows,
              sortGrid, sortPlain, sortGrid / sortPlain);
  big.reset();
  few.reset();
  ::DestroyWindow(host);
  CUIFontPair::Destroy();
  g_module.Term();
  return 0;
}
