// Building the element tree of a large layout against parsing the same XML alone.
// Prints the ratio (parse + build) / parse; the tree should cost no more than a few
// times the parse.
#include <tinyxml.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "BenchSupport.h"
#include "uiwin/CUiDialog.h"

namespace {

using qvbench::Now;

const int kRounds = 15;

// 40 panels of 49 elements each plus the panels and root: about 2,000 elements, with the
// tags, attributes, string tokens and a share of auto-measured texts of real layouts.
std::string MakeLayout(int* elements) {
  std::string xml = "<dlg pos=\"0,0,-0,-0\" crbg=\"FFFFFF\">";
  int n = 1;
  for (int p = 0; p < 40; ++p) {
    xml += "<dlg id=\"" + std::to_string(1000 + p) + "\" pos=\"" + std::to_string(p * 5) +
           ",0,-0,-0\" class=\"panel\" show=\"" + (p == 0 ? "1" : "0") + "\">";
    ++n;
    for (int i = 0; i < 49; ++i) {
      const std::string id = std::to_string(10000 + p * 100 + i);
      const std::string pos =
          std::to_string(10 + (i % 7) * 90) + "," + std::to_string(10 + (i / 7) * 30);
      switch (i % 7) {
        case 0:
          xml += "<text id=\"" + id + "\" pos=\"" + pos + "\">%str1% " + id + "</text>";
          break;
        case 1:
          xml += "<button id=\"" + id + "\" pos=\"" + pos + ",-10,-10\" class=\"normalbtn\">" +
                 "确定</button>";
          break;
        case 2:
          xml += "<realwnd id=\"" + id + "\" ctrlid=\"" + id + "\" pos=\"" + pos + ",-0,-0\"/>";
          break;
        case 3:
          xml += "<img id=\"" + id + "\" pos=\"" + pos + "\" skin=\"servergroup\"/>";
          break;
        case 4:
          xml += "<hr pos=\"10,-1,-10,-1\" crbg=\"C0C0C0\"/>";
          break;
        case 5:
          xml += "<text id=\"" + id + "\" width=\"full\" crtext=\"336699\">auto " + id + "</text>";
          break;
        default:
          xml += "<check id=\"" + id + "\" pos=\"" + pos + "\" tip=\"tip\">选择</check>";
          break;
      }
      ++n;
    }
    xml += "</dlg>";
  }
  xml += "</dlg>";
  *elements = n;
  return xml;
}

}  // namespace

int main() {
  int elements = 0;
  const std::string xml = MakeLayout(&elements);
  double bestParse = 1e300, bestBuild = 1e300, bestPlace = 1e300;
  size_t children = 0;
  for (int round = 0; round < kRounds; ++round) {
    double t0 = Now();
    {
      TiXmlDocument doc;
      doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
      if (doc.Error()) {
        std::fprintf(stderr, "layout does not parse: %s\n", doc.ErrorDesc());
        return 1;
      }
    }
    double t1 = Now();
    CUiDialog root;
    {
      TiXmlDocument doc;
      doc.Parse(xml.c_str(), nullptr, TIXML_ENCODING_UTF8);
      root.Load(doc.RootElement());
    }
    double t2 = Now();
    WINDOWPOS wp{};
    wp.cx = 1000;
    wp.cy = 700;
    root.UiSendMessage(WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    double t3 = Now();
    children = root.GetChildCount();
    bestParse = std::min(bestParse, t1 - t0);
    bestBuild = std::min(bestBuild, t2 - t1);
    bestPlace = std::min(bestPlace, t3 - t2);
  }
  if (children != 40) {
    std::fprintf(stderr, "tree has %u panels, expected 40\n", static_cast<unsigned>(children));
    return 1;
  }
  std::printf(
      "layout of %d elements, best of %d: TinyXML parse %.2f ms, parse + element tree %.2f ms, "
      "ratio %.2f (target 4.00); placing the tree %.2f ms\n",
      elements, kRounds, bestParse, bestBuild, bestBuild / bestParse, bestPlace);
  return 0;
}
