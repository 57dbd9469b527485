// Rich text: flowing runs and links, fonts by nesting, wrapping, narrow areas,
// link hover and clicks.
#include <gtest/gtest.h>
#include <tinyxml.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "support/DibCanvas.h"
#include "support/ElementHost.h"
#include "support/ElementLoad.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"

using elemload::Str;

namespace {

using Runs = std::vector<CUiRichText::Run>;

// A root of 400x300 holding the rich text with those attributes.
struct Fixture {
  std::unique_ptr<elemload::Root> root;
  CUiRichText* rich = nullptr;

  Fixture(const std::string& attrs, const std::string& body, HWND view = nullptr) {
    root = elemload::LoadRoot("<dlg><richtext id=\"50\" " + attrs + ">" + body + "</richtext></dlg>",
                              view);
    rich = root->Item<CUiRichText>(50);
  }
  Runs Layout() {
    DibCanvas canvas(400, 300);
    Runs runs;
    rich->Layout(canvas.Dc(), runs);
    return runs;
  }
};

int Width(const std::wstring& text, WORD key = 0) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(key));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return size.cx;
}

std::string At(const CUiRichText::Run& run) {
  return std::to_string(run.pt.x) + "," + std::to_string(run.pt.y);
}

TEST(RichText, LinesStartAtTheMarginsOneLineSpacingLower) {
  Fixture f("pos=\"10,10,210,110\"", "ab<br/>cd<i>ef</i>");
  Runs runs = f.Layout();
  ASSERT_EQ(3u, runs.size());
  EXPECT_EQ("10,10", At(runs[0]));
  EXPECT_EQ("10,30", At(runs[1]));  // linespacing 20
  EXPECT_EQ(10 + Width(L"cd"), runs[2].pt.x);
  // The metrics are the element's own style copy's.
  UiStyle* style = const_cast<UiStyle*>(&f.rich->GetStyle());
  style->xmargin = 4;
  style->ymargin = 3;
  style->linespacing = 15;
  style->spacing = 2;
  runs = f.Layout();
  ASSERT_EQ(3u, runs.size());
  EXPECT_EQ("14,13", At(runs[0]));
  EXPECT_EQ("14,28", At(runs[1]));
  EXPECT_EQ(14 + Width(L"cd") + 2, runs[2].pt.x);
}

TEST(RichText, NestedRunsAddTheirFontBitsAndTextIsDrawnAsWritten) {
  Fixture f("pos=\"0,0,300,100\" defaultfont=\"0100\"",
            "a<b>b<i>c</i></b><u>d<c color=\"FF0000\">e</c></u>f%str1%");
  const Runs runs = f.Layout();
  ASSERT_EQ(6u, runs.size());
  const WORD keys[] = {0x0100, 0x0104, 0x0105, 0x0102, 0x0102, 0x0100};
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(keys[i], runs[i].fontKey) << i;
  EXPECT_EQ(kUiColorUnset, runs[3].color);
  EXPECT_EQ(RGB(255, 0, 0), runs[4].color);
  EXPECT_EQ(kUiColorUnset, runs[5].color);
  EXPECT_EQ(L"f%str1%", runs[5].text);
  EXPECT_EQ(Width(L"a", 0x0100), runs[1].pt.x);  // runs follow each other on the line
}

TEST(RichText, LongRunsBreakMidWordAtTheLastCharacterThatFits) {
  const std::wstring text = L"abcdefghijklmnopqrstuvwxyz";
  const int wide = Width(L"abcdefg");
  Fixture f("pos=\"0,0," + std::to_string(wide) + ",300\"", "abcdefghijklmnopqrstuvwxyz");
  const Runs runs = f.Layout();
  ASSERT_GE(runs.size(), 3u);
  EXPECT_EQ(L"abcdefg", runs[0].text);
  std::wstring joined;
  for (size_t i = 0; i < runs.size(); ++i) {
    joined += runs[i].text;
    EXPECT_EQ("0," + std::to_string(20 * i), At(runs[i]));
    EXPECT_LE(Width(runs[i].text), wide);
    if (i + 1 < runs.size()) {  // one more character would not have fitted
      EXPECT_GT(Width(runs[i].text + runs[i + 1].text[0]), wide);
    }
  }
  EXPECT_EQ(text, joined);
}

TEST(RichText, OnePixelWideAreaPlacesOneCharacterPerLine) {
  Fixture f("pos=\"0,0,1,300\"", "abc<b>de</b><a id=\"1\">xy</a>z");
  std::wstring joined;
  for (const auto& run : f.Layout()) {  // finishes
    EXPECT_EQ(1u, run.text.size());
    joined += run.text;
  }
  EXPECT_EQ(L"abcdez", joined);
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  EXPECT_EQ(0, f.rich->GetLinks()[0].rc.left);
}

TEST(RichText, LinkThatDoesNotFitMovesWholeToTheNextLine) {
  const int wide = Width(L"aaaa") + Width(L"li");
  Fixture f("pos=\"0,0," + std::to_string(wide) + ",300\"", "aaaa<a id=\"5\">link</a>tail");
  const Runs first = f.Layout();
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  const CUiRichText::Link link = f.rich->GetLinks()[0];
  EXPECT_EQ(Str(RECT{0, 20, Width(L"link"), link.rc.bottom}), Str(link.rc));
  EXPECT_EQ(L"link", link.text);
  EXPECT_EQ(5, link.id);
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(L"aaaa", first[0].text);
  EXPECT_EQ(std::to_string(link.rc.right) + ",20", At(first[1]));  // the tail follows the link
  // Later layouts place everything the same way.
  const Runs second = f.Layout();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) EXPECT_EQ(At(first[i]), At(second[i])) << i;
}

// ---------------------------------------------------------------- mouse

class RichTextClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    f_ = std::make_unique<Fixture>(
        "pos=\"0,0,300,100\"", "<a id=\"7001\">one</a><br/><a id=\"7002\">two</a><br/><a>plain</a>",
        host_.View());
    EXPECT_TRUE(f_->rich->GetLinks().empty());  // nothing measured before a paint
    f_->Layout();
    ASSERT_EQ(3u, f_->rich->GetLinks().size());
    for (int i = 0; i < 3; ++i) link_[i] = f_->rich->GetLinks()[i].rc;
    host_.Clear();
  }
  void Send(UINT msg, int link) {
    f_->rich->UiSendMessage(msg, 0, MAKELPARAM(link_[link].left + 1, link_[link].top + 1));
  }
  void Click(int link) {
    Send(WM_MOUSEMOVE, link);
    Send(WM_LBUTTONDOWN, link);
    Send(WM_LBUTTONUP, link);
  }
  std::vector<ElementHost::Notice> Commands() const {
    std::vector<ElementHost::Notice> out;
    for (const auto& n : host_.Notices(UINM_COMMAND))
      if (n.to == host_.Dialog()) out.push_back(n);
    return out;
  }
  size_t Repaints() const { return host_.Notices(UINM_INVALIDATERECT).size(); }

  ElementHost host_;
  std::unique_ptr<Fixture> f_;
  RECT link_[3]{};  // "one", "two", "plain"
};

TEST_F(RichTextClicks, OnlyAPressAndReleaseOnOneLinkWithAnIdSendsItsId) {
  Click(0);
  EXPECT_EQ(0, f_->rich->GetHoverLink());
  auto commands = Commands();
  ASSERT_EQ(1u, commands.size());
  EXPECT_EQ(7001u, commands[0].item);
  EXPECT_EQ("richtext", commands[0].itemClass);
  EXPECT_EQ(host_.View(), commands[0].hwndFrom);
  EXPECT_EQ(static_cast<UINT_PTR>(IDC_UIVIEW), commands[0].idFrom);
  Click(2);  // a link without an id sends nothing
  // Pressed on one link and released on another: nothing, and the press is forgotten.
  Send(WM_MOUSEMOVE, 0);
  Send(WM_LBUTTONDOWN, 0);
  Send(WM_MOUSEMOVE, 1);
  Send(WM_LBUTTONUP, 1);
  Send(WM_MOUSEMOVE, 0);
  Send(WM_LBUTTONUP, 0);
  EXPECT_EQ(1u, Commands().size());
}

TEST_F(RichTextClicks, HoverRepaintsTheLinksItLeavesAndEnters) {
  Send(WM_MOUSEMOVE, 0);
  auto repaints = host_.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, repaints.size());
  EXPECT_EQ(Str(link_[0]), Str(repaints[0].rc));
  Send(WM_MOUSEMOVE, 0);
  EXPECT_EQ(1u, Repaints());
  host_.Clear();
  Send(WM_MOUSEMOVE, 1);
  repaints = host_.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(2u, repaints.size());
  EXPECT_EQ(Str(link_[0]), Str(repaints[0].rc));
  EXPECT_EQ(Str(link_[1]), Str(repaints[1].rc));
  f_->rich->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(299, 99));  // off every link
  EXPECT_EQ(-1, f_->rich->GetHoverLink());
  EXPECT_EQ(3u, Repaints());
}

TEST_F(RichTextClicks, MovingTheElementForgetsTheLinksUntilTheNextPaint) {
  Send(WM_MOUSEMOVE, 0);
  Send(WM_LBUTTONDOWN, 0);
  elemload::Place(f_->root.get(), 0, 0, 500, 300);
  EXPECT_FALSE(f_->rich->IsMeasured());
  EXPECT_TRUE(f_->rich->GetLinks().empty());
  Send(WM_MOUSEMOVE, 0);
  EXPECT_EQ(-1, f_->rich->GetHoverLink());
  Send(WM_LBUTTONUP, 0);
  EXPECT_TRUE(Commands().empty());
  f_->Layout();
  Send(WM_MOUSEMOVE, 0);
  EXPECT_EQ(0, f_->rich->GetHoverLink());
}

TEST_F(RichTextClicks, DialogThatReloadsOnTheClick) {
  TiXmlDocument doc;
  doc.Parse("<text id=\"1\"/>");
  const HUIWND handle = f_->rich->GetHandle();
  host_.onDialogNotify = [&](const NMHDR*) { f_->root->LoadChilds(doc.RootElement()); };
  Click(0);
  EXPECT_EQ(1u, Commands().size());
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
  host_.onDialogNotify = nullptr;
}

}  // namespace
