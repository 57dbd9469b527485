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
#include "uiwin/CUiDialog.h"
#include "uiwin/CUiRichText.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiNotify.h"

namespace {

using Runs = std::vector<CUiRichText::Run>;

// A root "dlg" of 400x300 holding the rich text at `pos`.
struct Fixture {
  std::unique_ptr<CUiDialog> root;
  CUiRichText* rich = nullptr;

  Fixture(const std::string& attrs, const std::string& body, HWND view = nullptr) {
    const std::string xml =
        "<dlg><richtext id=\"50\" " + attrs + ">" + body + "</richtext></dlg>";
    root = elemload::LoadRoot(xml.c_str(), view);
    rich = static_cast<CUiRichText*>(root->FindChildByCmdID(50));
  }
  void Place(int cx, int cy) { elemload::Place(root.get(), 0, 0, cx, cy); }
  Runs Layout() {
    DibCanvas canvas(400, 300);
    Runs runs;
    rich->Layout(canvas.Dc(), runs);
    return runs;
  }
};

int Width(const std::wstring& text, WORD key) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ old = ::SelectObject(dc, UiFontPool::GetFont(key));
  SIZE size{};
  ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  ::SelectObject(dc, old);
  ::DeleteDC(dc);
  return size.cx;
}

LPARAM Pt(const RECT& rc) { return MAKELPARAM(rc.left + 1, rc.top + 1); }

TEST(RichText, LineBreakStartsAtTheLeftMarginOneLineLower) {
  Fixture f("pos=\"10,10,210,110\"", "ab<br/>cd");
  const Runs runs = f.Layout();
  ASSERT_EQ(2u, runs.size());
  EXPECT_EQ(L"ab", runs[0].text);
  EXPECT_EQ(10, runs[0].pt.x);
  EXPECT_EQ(10, runs[0].pt.y);
  EXPECT_EQ(L"cd", runs[1].text);
  EXPECT_EQ(10, runs[1].pt.x);
  EXPECT_EQ(30, runs[1].pt.y);  // linespacing 20
}

TEST(RichText, MarginsSpacingAndLineSpacingComeFromTheStyle) {
  Fixture f("pos=\"0,0,200,100\"", "ab<br/>cd<i>ef</i>");
  // The style's metrics are the element's own (a style copy of the pool's).
  UiStyle* style = const_cast<UiStyle*>(&f.rich->GetStyle());
  style->xmargin = 4;
  style->ymargin = 3;
  style->linespacing = 15;
  style->spacing = 2;
  const Runs runs = f.Layout();
  ASSERT_EQ(3u, runs.size());
  EXPECT_EQ(4, runs[0].pt.x);
  EXPECT_EQ(3, runs[0].pt.y);
  EXPECT_EQ(18, runs[1].pt.y);
  EXPECT_EQ(4 + Width(L"cd", 0) + 2, runs[2].pt.x);
}

TEST(RichText, NestedRunsAddTheirFontBits) {
  Fixture f("pos=\"0,0,300,100\" defaultfont=\"0100\"",
            "a<b>b<i>c</i></b><u>d<c color=\"FF0000\">e</c></u>f");
  const Runs runs = f.Layout();
  ASSERT_EQ(6u, runs.size());
  const WORD keys[] = {0x0100, 0x0104, 0x0105, 0x0102, 0x0102, 0x0100};
  for (size_t i = 0; i < runs.size(); ++i) EXPECT_EQ(keys[i], runs[i].fontKey) << i;
  EXPECT_EQ(kUiColorUnset, runs[3].color);
  EXPECT_EQ(RGB(255, 0, 0), runs[4].color);
  EXPECT_EQ(kUiColorUnset, runs[5].color);
  // Runs follow each other on the line.
  EXPECT_EQ(Width(L"a", 0x0100), runs[1].pt.x);
}

TEST(RichText, LongRunsBreakMidWordAtTheLastCharacterThatFits) {
  const std::wstring text = L"abcdefghijklmnopqrstuvwxyz";
  const int wide = Width(L"abcdefg", 0);
  Fixture f("pos=\"0,0," + std::to_string(wide) + ",300\"", "abcdefghijklmnopqrstuvwxyz");
  const Runs runs = f.Layout();
  ASSERT_GE(runs.size(), 3u);
  std::wstring joined;
  for (size_t i = 0; i < runs.size(); ++i) {
    joined += runs[i].text;
    EXPECT_EQ(0, runs[i].pt.x);
    EXPECT_EQ(static_cast<LONG>(20 * i), runs[i].pt.y);
    EXPECT_LE(Width(runs[i].text, 0), wide);
    if (i + 1 < runs.size()) {  // one more character would not have fitted
      const std::wstring more = runs[i].text + runs[i + 1].text[0];
      EXPECT_GT(Width(more, 0), wide);
    }
  }
  EXPECT_EQ(text, joined);
  EXPECT_EQ(L"abcdefg", runs[0].text);
}

TEST(RichText, OnePixelWideAreaPlacesOneCharacterPerLine) {
  Fixture f("pos=\"0,0,1,300\"", "abc<b>de</b><a id=\"1\">xy</a>z");
  const Runs runs = f.Layout();  // finishes
  std::wstring joined;
  for (const auto& run : runs) {
    EXPECT_EQ(1u, run.text.size());
    joined += run.text;
  }
  EXPECT_EQ(L"abcdez", joined);
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  EXPECT_EQ(0, f.rich->GetLinks()[0].rc.left);
}

TEST(RichText, LinkThatDoesNotFitMovesWholeToTheNextLine) {
  const int wide = Width(L"aaaa", 0) + Width(L"li", 0);
  Fixture f("pos=\"0,0," + std::to_string(wide) + ",300\"", "aaaa<a id=\"5\">link</a>tail");
  const Runs first = f.Layout();
  ASSERT_EQ(1u, f.rich->GetLinks().size());
  const RECT link = f.rich->GetLinks()[0].rc;
  EXPECT_EQ(0, link.left);
  EXPECT_EQ(20, link.top);
  EXPECT_EQ(Width(L"link", 0), link.right);
  EXPECT_EQ(L"link", f.rich->GetLinks()[0].text);
  EXPECT_EQ(5, f.rich->GetLinks()[0].id);
  ASSERT_GE(first.size(), 2u);
  EXPECT_EQ(L"aaaa", first[0].text);
  EXPECT_EQ(link.right, first[1].pt.x);  // the tail goes on after the link
  EXPECT_EQ(20, first[1].pt.y);
  // Later layouts place everything the same way.
  const Runs second = f.Layout();
  ASSERT_EQ(first.size(), second.size());
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].text, second[i].text);
    EXPECT_EQ(first[i].pt.x, second[i].pt.x);
    EXPECT_EQ(first[i].pt.y, second[i].pt.y);
  }
}

TEST(RichText, StringReferencesAreDrawnAsWritten) {
  Fixture f("pos=\"0,0,300,100\"", "%str1%");
  const Runs runs = f.Layout();
  ASSERT_EQ(1u, runs.size());
  EXPECT_EQ(L"%str1%", runs[0].text);
}

TEST(RichText, PaintDrawsRunsAndLinks) {
  Fixture f("pos=\"0,0,300,100\"", "<c color=\"FF0000\">WWW</c><a id=\"1\">MMM</a>");
  DibCanvas canvas(300, 100);
  ::SetTextColor(canvas.Dc(), RGB(0, 0, 255));
  f.root->RedrawRegion(canvas.Dc(), nullptr);
  ASSERT_TRUE(f.rich->IsMeasured());
  const RECT link = f.rich->GetLinks()[0].rc;
  // Glyphs may be anti-aliased: look for the colour's dominant channel, not exact pixels.
  auto reddish = [](COLORREF c) { return GetRValue(c) > 160 && GetGValue(c) < 96 && GetBValue(c) < 96; };
  auto bluish = [](COLORREF c) { return GetBValue(c) > 160 && GetRValue(c) < 96 && GetGValue(c) < 96; };
  bool red = false, linkBlue = false;
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < link.left; ++x) red = red || reddish(canvas.At(x, y));
    for (int x = link.left; x < link.right; ++x) linkBlue = linkBlue || bluish(canvas.At(x, y));
  }
  EXPECT_TRUE(red);
  EXPECT_TRUE(linkBlue);  // no link class: the colour the device context holds
}

// ---------------------------------------------------------------- mouse

class RichTextClicks : public ::testing::Test {
 protected:
  void SetUp() override {
    f_ = std::make_unique<Fixture>("pos=\"0,0,300,100\"",
                                   "<a id=\"7001\">one</a><br/><a id=\"7002\">two</a>"
                                   "<br/><a>plain</a>",
                                   host_.View());
    EXPECT_TRUE(f_->rich->GetLinks().empty());  // nothing measured before a paint
    f_->Layout();
    ASSERT_EQ(3u, f_->rich->GetLinks().size());
    one_ = f_->rich->GetLinks()[0].rc;
    two_ = f_->rich->GetLinks()[1].rc;
    plain_ = f_->rich->GetLinks()[2].rc;
    host_.Clear();
  }
  void Send(UINT msg, const RECT& at) { f_->rich->UiSendMessage(msg, 0, Pt(at)); }
  std::vector<ElementHost::Notice> Commands() const {
    std::vector<ElementHost::Notice> out;
    for (const auto& n : host_.Notices(UINM_COMMAND))
      if (n.to == host_.Dialog()) out.push_back(n);
    return out;
  }

  ElementHost host_;
  std::unique_ptr<Fixture> f_;
  RECT one_{}, two_{}, plain_{};
};

TEST_F(RichTextClicks, ClickOnALinkSendsItsIdToTheDialog) {
  Send(WM_MOUSEMOVE, one_);
  EXPECT_EQ(0, f_->rich->GetHoverLink());
  Send(WM_LBUTTONDOWN, one_);
  Send(WM_LBUTTONUP, one_);
  const auto commands = Commands();
  ASSERT_EQ(1u, commands.size());
  EXPECT_EQ(7001u, commands[0].item);
  EXPECT_EQ("richtext", commands[0].itemClass);
  EXPECT_EQ(host_.View(), commands[0].hwndFrom);
  EXPECT_EQ(static_cast<UINT_PTR>(IDC_UIVIEW), commands[0].idFrom);

  // A link without an id sends nothing.
  Send(WM_MOUSEMOVE, plain_);
  Send(WM_LBUTTONDOWN, plain_);
  Send(WM_LBUTTONUP, plain_);
  EXPECT_EQ(1u, Commands().size());
}

TEST_F(RichTextClicks, PressOnOneLinkAndReleaseOnAnotherSendsNothing) {
  Send(WM_MOUSEMOVE, one_);
  Send(WM_LBUTTONDOWN, one_);
  Send(WM_MOUSEMOVE, two_);
  Send(WM_LBUTTONUP, two_);
  EXPECT_TRUE(Commands().empty());
  // The press is forgotten: a release back on the first link sends nothing.
  Send(WM_MOUSEMOVE, one_);
  Send(WM_LBUTTONUP, one_);
  EXPECT_TRUE(Commands().empty());
}

TEST_F(RichTextClicks, HoverRepaintsTheLinksItLeavesAndEnters) {
  Send(WM_MOUSEMOVE, one_);
  auto repaints = host_.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(1u, repaints.size());
  EXPECT_TRUE(::EqualRect(&one_, &repaints[0].rc));
  host_.Clear();
  Send(WM_MOUSEMOVE, one_);
  EXPECT_TRUE(host_.Notices(UINM_INVALIDATERECT).empty());
  Send(WM_MOUSEMOVE, two_);
  repaints = host_.Notices(UINM_INVALIDATERECT);
  ASSERT_EQ(2u, repaints.size());
  EXPECT_TRUE(::EqualRect(&one_, &repaints[0].rc));
  EXPECT_TRUE(::EqualRect(&two_, &repaints[1].rc));
  host_.Clear();
  f_->rich->UiSendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(299, 99));  // off every link
  EXPECT_EQ(-1, f_->rich->GetHoverLink());
  EXPECT_EQ(1u, host_.Notices(UINM_INVALIDATERECT).size());
}

TEST_F(RichTextClicks, MovingTheElementForgetsTheLinksUntilTheNextPaint) {
  Send(WM_MOUSEMOVE, one_);
  Send(WM_LBUTTONDOWN, one_);
  f_->Place(500, 300);
  EXPECT_FALSE(f_->rich->IsMeasured());
  EXPECT_TRUE(f_->rich->GetLinks().empty());
  Send(WM_MOUSEMOVE, one_);
  EXPECT_EQ(-1, f_->rich->GetHoverLink());
  Send(WM_LBUTTONUP, one_);
  EXPECT_TRUE(Commands().empty());
  f_->Layout();
  Send(WM_MOUSEMOVE, one_);
  EXPECT_EQ(0, f_->rich->GetHoverLink());
}

TEST_F(RichTextClicks, DialogThatReloadsOnTheClick) {
  TiXmlDocument doc;
  doc.Parse("<dlg><text id=\"1\"/></dlg>");
  const HUIWND handle = f_->rich->GetHandle();
  host_.onDialogNotify = [&](const NMHDR*) {
    f_->root->LoadChilds(doc.RootElement()->FirstChildElement());
  };
  Send(WM_MOUSEMOVE, one_);
  Send(WM_LBUTTONDOWN, one_);
  Send(WM_LBUTTONUP, one_);
  EXPECT_EQ(1u, Commands().size());
  EXPECT_EQ(nullptr, UiWnds::GetWindow(handle));
  host_.onDialogNotify = nullptr;
}

}  // namespace
