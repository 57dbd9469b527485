// Flowing a long rich-text paragraph into a narrow element, against the same flow
// done by shortening each line's candidate one character at a time (one text
// measurement per step). Prints the ratio rich-text layout / per-character fit;
// measuring a run at once should make it a small fraction.
#include <tinyxml.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/UiFontPool.h"

namespace {

using qvbench::Median;
using qvbench::Now;

const int kRounds = 9;
const int kWidth = 160;

std::wstring Paragraph() {
  std::wstring text;
  for (int i = 0; i < 60; ++i) text += L"完整性监测策略已下发到客户端主机 host-" + std::to_wstring(i) + L"，";
  return text;
}

// The flow as a per-character fit does it: lines and their pieces.
size_t FitPerCharacter(HDC dc, const std::wstring& text, int width) {
  size_t pieces = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    int n = static_cast<int>(text.size() - pos);
    SIZE size{};
    while (n > 1) {
      ::GetTextExtentPoint32W(dc, text.c_str() + pos, n, &size);
      if (size.cx <= width) break;
      --n;
    }
    pos += static_cast<size_t>(n);
    ++pieces;
  }
  return pieces;
}

}  // namespace

int main() {
  const std::wstring text = Paragraph();
  char utf8[65536];
  const int len = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr,
                                        nullptr);
  const std::string xml = "<dlg><richtext id=\"1\" pos=\"0,0," + std::to_string(kWidth) +
                          ",-0\">" + std::string(utf8, static_cast<size_t>(len - 1)) +
                          "</richtext></dlg>";
  TiXmlDocument doc;
  doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
  CUiDialog root;
  root.Load(doc.RootElement());
  root.SetAttribute("pos", "0,0,-0,-0", TRUE);
  WINDOWPOS wp{};
  wp.cx = 1000;
  wp.cy = 20000;
  root.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
  auto* rich = static_cast<CUiRichText*>(root.FindChildByCmdID(1));

  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(0));
  std::vector<double> layout, baseline;
  size_t runs = 0, pieces = 0;
  for (int r = 0; r < kRounds; ++r) {
    double t0 = Now();
    std::vector<CUiRichText::Run> out;
    rich->Layout(dc, out);
    runs = out.size();
    layout.push_back(Now() - t0);
    t0 = Now();
    pieces = FitPerCharacter(dc, text, kWidth);
    baseline.push_back(Now() - t0);
  }
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  const double a = Median(layout), b = Median(baseline);
  std::printf("rich text: %zu characters, %d pixels wide: %zu lines (per-character fit %zu)\n",
              text.size(), kWidth, runs, pieces);
  std::printf("layout %.3f ms, per-character fit %.3f ms, ratio %.3f\n", a, b, b > 0 ? a / b : 0.0);
  return 0;
}
