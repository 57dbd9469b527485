// The pools: skins, bitmaps and PNG pictures, styles and fonts, fed from a resource
// directory; what elements hold across the start-up loads run again; and the
// console's own skins and styles with the names its layouts use.
#include <gtest/gtest.h>
#include <windows.h>
#include <objidl.h>

#include <gdiplus.h>
#include <tinyxml.h>

#include <functional>
#include <regex>
#include <set>
#include <string>

#include "support/DebugReportCapture.h"
#include "support/DibCanvas.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/CUiButton.h"
#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiPngSkin.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/CUiSkinImgHorzExtend.h"
#include "uiwin/UiBmpPool.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiPngPool.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

LOGFONTW FontOf(HGDIOBJ font) {
  LOGFONTW lf{};
  EXPECT_EQ(static_cast<int>(sizeof lf), ::GetObjectW(font, sizeof lf, &lf));
  return lf;
}

class Pools : public ::testing::Test {
 protected:
  Pools() {
    UiResUtil::SetResourceDirectory(dir_.Path().c_str());
    UiFontPool::SetDefaultFont(L"宋体", -12);
  }
  ~Pools() override { UiResUtil::SetResourceDirectory(L""); }
  // As the console stores its XML: UTF-8 with a byte-order mark.
  bool Xml(UINT id, const std::string& text) {
    return testfiles::WriteBytes(dir_.File(std::to_wstring(id) + L".xml"), "\xEF\xBB\xBF" + text);
  }
  testenv::TempDir dir_;
};

TEST_F(Pools, SkinsLoadByNameAndWhatCannotBeUsedIsSkipped) {
  ASSERT_TRUE(testfiles::WriteBandedBmp(dir_.File(L"9001.bmp"), 30, 21,
                                        {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 255, 0)}));
  ASSERT_TRUE(Xml(9101, "<skins>\n"
                        "  <imglst name=\"closebtn\" src=\"9001\" mode=\"mask\" subwidth=\"30\"/>\n"
                        "  <imglst src=\"9001\"/><widget name=\"odd\"/><!-- a comment -->\n"
                        "  <button name=\"twice\"/><gradation name=\"twice\"/>\n"
                        "</skins>\n"));
  ASSERT_TRUE(UiSkin::LoadSkins(9101));
  auto* close = static_cast<CUiImageSkin*>(UiSkin::GetSkin("closebtn"));
  ASSERT_TRUE(close && close->IsClass("imglst"));
  EXPECT_EQ(UiBmpPool::GetBitmap(9001), close->GetBitmap());
  EXPECT_EQ(CUiImage::ModeMask, close->GetMode());
  EXPECT_EQ(30, close->GetSkinSize().cx);
  EXPECT_TRUE(UiSkin::GetSkin("twice")->IsClass("gradation")) << "the later definition wins";
  EXPECT_EQ(nullptr, UiSkin::GetSkin("odd"));
  EXPECT_EQ(nullptr, UiSkin::GetSkin("CloseBtn")) << "names are case-sensitive";
  EXPECT_EQ(nullptr, UiSkin::GetSkin(nullptr));
}

TEST_F(Pools, FailedLoadsLeaveThePoolsAsTheRulesSay) {
  // skins and styles alike: a missing resource keeps the pool, a malformed one empties
  // it, another root loads as empty
  const struct {
    const char* root;
    const char* item;
    std::function<BOOL(UINT)> load;
    std::function<bool(const char*)> has;
  } pools[] = {
      {"skins", "button", &UiSkin::LoadSkins, [](const char* n) { return UiSkin::GetSkin(n) != nullptr; }},
      {"style", "class", &UiStyle::LoadStyles, [](const char* n) { return UiStyle::GetStyle(n)->name == n; }},
  };
  UINT id = 9110;
  for (const auto& p : pools) {
    SCOPED_TRACE(p.root);
    const std::string kept = std::string("<") + p.root + "><" + p.item + " name=\"kept\"/></" + p.root + ">";
    ASSERT_TRUE(Xml(id, kept));
    ASSERT_TRUE(p.load(id));
    {
      DebugReportCapture reports;
      EXPECT_FALSE(p.load(id + 9)) << "missing resource";
      EXPECT_TRUE(reports.Contains("Failed loading xml " + std::to_string(id + 9)));
    }
    EXPECT_TRUE(p.has("kept"));
    ASSERT_TRUE(Xml(id + 1, std::string("<") + p.root + "><" + p.item + " name=\"x\"></" + p.root + ">"));
    EXPECT_FALSE(p.load(id + 1)) << "malformed";
    EXPECT_FALSE(p.has("kept") || p.has("x"));
    ASSERT_TRUE(p.load(id));
    ASSERT_TRUE(Xml(id + 2, std::string("<other><") + p.item + " name=\"y\"/></other>"));
    EXPECT_TRUE(p.load(id + 2)) << "another root: loaded, but empty";
    EXPECT_FALSE(p.has("kept") || p.has("y"));
    id += 10;
  }
}

TEST_F(Pools, ImagesAreLoadedOnceAndMissingOnesDrawNothing) {
  ASSERT_TRUE(testfiles::WriteSolidBmp(dir_.File(L"9003.bmp"), 5, 3, RGB(0x10, 0x20, 0x30)));
  HBITMAP first = UiBmpPool::GetBitmap(9003);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, UiBmpPool::GetBitmap(9003));
  DebugReportCapture reports;
  EXPECT_EQ(nullptr, UiBmpPool::GetBitmap(9004));
  EXPECT_TRUE(reports.Contains("Failed loading bitmap 9004"));
  ASSERT_TRUE(testfiles::WriteSolidBmp(dir_.File(L"9004.bmp"), 2, 2, RGB(0, 0, 0)));
  EXPECT_NE(nullptr, UiBmpPool::GetBitmap(9004)) << "a failure is not cached";
  // Skins naming a missing bitmap or PNG have none and draw nothing.
  ASSERT_TRUE(Xml(9108, "<skins><imglst name=\"nobmp\" src=\"9005\"/>"
                        "<png name=\"nopng\" src=\"9299\" subwidth=\"20\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9108));
  for (const char* name : {"nobmp", "nopng"}) {
    CUiSkinBase* gone = UiSkin::GetSkin(name);
    ASSERT_NE(nullptr, gone) << name;
    EXPECT_EQ(0, gone->GetSkinSize().cx) << name;
    DibCanvas c(4, 4, RGB(9, 9, 9));
    gone->Draw(c.Dc(), RECT{0, 0, 4, 4}, 0);
    EXPECT_TRUE(c.UntouchedOutside(RECT{}, RGB(9, 9, 9))) << name;
  }
  CUiPngSkin png;  // no image pointer is taken from the XML
  EXPECT_EQ(E_FAIL, png.SetAttribute("image", "12345678", TRUE));
  EXPECT_EQ(nullptr, png.GetImage());
}

// 8 x 2 RGBA: four pictures of 2 x 2, opaque red, green at alpha 128, transparent,
// opaque blue.
const unsigned char kPngStrip[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x65, 0x94, 0x9D, 0xED, 0x00, 0x00, 0x00, 0x19, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xDA, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x84, 0x81, 0xB0, 0x01, 0x8C, 0xE1, 0xE0,
    0x3F, 0x44, 0x8A, 0x90, 0x02, 0x00, 0xE2, 0xC2, 0x15, 0xED, 0x26, 0x48, 0x07, 0x37,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82,
};

TEST_F(Pools, PngStripBlendsOverTheBackgroundWithoutBleeding) {
  ASSERT_TRUE(testfiles::WriteBytes(dir_.File(L"9201.png"),
                                    std::string(reinterpret_cast<const char*>(kPngStrip), sizeof kPngStrip)));
  ASSERT_TRUE(Xml(9107, "<skins><png name=\"strip\" src=\"9201\" subwidth=\"2\" mode=\"mask\"/>"
                        "<png name=\"whole\" src=\"9201\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9107));
  auto* strip = static_cast<CUiPngSkin*>(UiSkin::GetSkin("strip"));
  ASSERT_NE(nullptr, strip);
  ASSERT_EQ(UiPngPool::Get(9201), strip->GetImage());
  EXPECT_EQ(2, strip->GetSkinSize().cx);
  EXPECT_FALSE(strip->IgnoreState());
  const COLORREF back = RGB(200, 100, 50);
  DibCanvas c(20, 4, back);
  for (int i = 0; i < 5; ++i) strip->Draw(c.Dc(), RECT{3 * i, 0, 3 * i + 2, 2}, i);  // 4: picture 0
  EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
  const COLORREF half = c.At(3, 0);
  EXPECT_NEAR(200 * 127 / 255, GetRValue(half), 2);
  EXPECT_NEAR((255 * 128 + 100 * 127) / 255, GetGValue(half), 2);
  EXPECT_EQ(back, c.At(7, 1));
  EXPECT_EQ(RGB(0, 0, 255), c.At(9, 0));
  EXPECT_EQ(RGB(255, 0, 0), c.At(12, 0));
  for (int x : {2, 5, 8, 11, 14}) EXPECT_EQ(back, c.At(x, 0)) << "one picture wide only: " << x;
  EXPECT_EQ(back, c.At(0, 2));
  auto* whole = static_cast<CUiPngSkin*>(UiSkin::GetSkin("whole"));
  ASSERT_TRUE(whole && whole->IgnoreState());
  DibCanvas w(10, 3, back);
  whole->Draw(w.Dc(), RECT{1, 1, 10, 3}, 2);
  EXPECT_EQ(RGB(0, 0, 255), w.At(8, 2));
  EXPECT_EQ(back, w.At(9, 1));
}

TEST_F(Pools, StylesMergeRepeatedClassesAndUnknownNamesGetTheDefault) {
  ASSERT_TRUE(Xml(9302, "<style>\n"
                        "  <class name=\"btn\" skin=\"normalbtn\" crtext=\"FFFFFF\" margin=\"10\" x-margin=\"3\"/>\n"
                        "  <class skin=\"nameless\"/><klass name=\"other\"/>\n"
                        "  <class name=\"btn\" crtext=\"000000\" cursor=\"hand\"/>\n"
                        "  <class name=\"monitorcount\" font=\"0100\" ctrtext=\"FFFFFF\"/>\n"
                        "</style>\n"));
  ASSERT_TRUE(UiStyle::LoadStyles(9302));
  const UiStyle* btn = UiStyle::GetStyle("btn");
  EXPECT_EQ("normalbtn", btn->skin) << "kept from the first element";
  EXPECT_EQ(RGB(0, 0, 0), btn->crtext) << "the second element wins";
  EXPECT_EQ(32649u, btn->cursor);
  EXPECT_EQ(3, btn->xmargin);
  EXPECT_EQ(10, btn->ymargin);
  const UiStyle* count = UiStyle::GetStyle("monitorcount");
  EXPECT_EQ(kUiColorUnset, count->crtext);
  EXPECT_EQ(-13, FontOf(count->font).lfHeight);
  UiStyle* fallback = UiStyle::GetStyle("no-such-class");
  EXPECT_EQ("", fallback->name);
  EXPECT_EQ(kUiColorUnset, fallback->crtext);
  for (const char* name : {"", "other", "Btn"})  // names are case-sensitive
    EXPECT_EQ(fallback, UiStyle::GetStyle(name)) << name;
  EXPECT_EQ(fallback, UiStyle::GetStyle(nullptr));
}

TEST_F(Pools, FontKeysGiveVariantsOfTheDefaultFaceWhichIsCutToFit) {
  const LOGFONTW lf = FontOf(UiFontPool::GetFont(0xFF07));
  EXPECT_EQ(L"宋体 -11 700 1 1", lf.lfFaceName + (L" " + std::to_wstring(lf.lfHeight)) + L" " +
                                   std::to_wstring(lf.lfWeight) + L" " + std::to_wstring(lf.lfItalic) +
                                   L" " + std::to_wstring(lf.lfUnderline));
  // A face over 31 characters is cut; none at all still gives a font.
  UiFontPool::SetDefaultFont(std::wstring(40, L'x').c_str(), -12);
  EXPECT_STREQ(std::wstring(31, L'x').c_str(), FontOf(UiFontPool::GetFont(0)).lfFaceName);
  UiFontPool::SetDefaultFont(nullptr, -12);
  EXPECT_NE(nullptr, UiFontPool::GetFont(0));
}

// The main window's constructor runs the start-up loads again while the login dialog's
// elements still hold fonts, styles and skins.
TEST_F(Pools, WhatElementsHoldSurvivesTheStartUpLoadsRunAgain) {
  UiResUtil::SetResourceDirectory(L"");
  auto startUp = [](const wchar_t* face) {
    UiFontPool::SetDefaultFont(face, -12);
    ASSERT_TRUE(UiSkin::LoadSkins(100));
    ASSERT_TRUE(UiStyle::LoadStyles(101));
  };
  startUp(L"宋体");
  TiXmlDocument doc;
  doc.Parse("<button class=\"normalbtn\" width=\"88\" height=\"20\">确定</button>", nullptr,
            TIXML_ENCODING_UTF8);
  std::unique_ptr<CUiWindow> button(CUiButton::CreateByTag("button"));
  button->Load(doc.RootElement());
  const UiStyle copy = *UiStyle::GetStyle("normalbtn");
  const UiStyle* pooled = UiStyle::GetStyle("normalbtn");
  CUiSkinBase* skin = UiSkin::GetSkin("closebtn");
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ prev = ::SelectObject(dc, copy.font);  // selected the way a control would
  auto paint = [&] {
    DibCanvas c(88, 20, RGB(0x80, 0x80, 0x80));
    button->RedrawRegion(c.Dc(), nullptr);
    skin->Draw(c.Dc(), RECT{0, 0, 30, 20}, 1);
    return c.Pixels();
  };
  const auto before = paint();

  startUp(L"Tahoma");
  EXPECT_NE(copy.font, UiFontPool::GetFont(0));
  EXPECT_EQ(OBJ_FONT, static_cast<int>(::GetObjectType(copy.font))) << "the old default still lives";
  ::SelectObject(dc, prev);
  ::DeleteDC(dc);
  EXPECT_EQ("normalbtn", pooled->name) << "the old pool style is still readable";
  EXPECT_TRUE(before == paint()) << "elements and held skins draw the same";
}

// The size of the picture behind a skin; 0 x 0 for skins drawn without one.
SIZE PictureSize(CUiSkinBase* skin) {
  if (skin->IsClass("imglst")) return static_cast<CUiImageSkin*>(skin)->GetBitmapSize();
  if (skin->IsClass("imgframe")) return static_cast<CUiSkinImgFrame*>(skin)->GetImage().GetBitmapSize();
  if (skin->IsClass("imghorzex"))
    return static_cast<CUiSkinImgHorzExtend*>(skin)->GetImage().GetBitmapSize();
  Gdiplus::Image* png = skin->IsClass("png") ? static_cast<CUiPngSkin*>(skin)->GetImage() : nullptr;
  return png ? SIZE{static_cast<LONG>(png->GetWidth()), static_cast<LONG>(png->GetHeight())} : SIZE{};
}

TiXmlDocument Parse(const std::string& text) {
  TiXmlDocument doc;
  doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
  return doc;
}

std::string Embedded(UINT id) {
  std::string bytes;
  EXPECT_TRUE(UiResUtil::LoadUiResource(id, bytes, L"xml")) << id;
  return bytes;
}

// Attribute values that name skins or styles, in layouts and in XML templates held as
// text (the message box's string-table entries). Comments are left out; values with
// printf placeholders are filled in at run time.
void CollectNames(std::string text, std::set<std::string>& skins, std::set<std::string>& styles) {
  static const std::regex comment("<!--[\\s\\S]*?-->");
  text = std::regex_replace(text, comment, "");
  static const std::regex attr(
      "\\b(skin|tabskin|frameskin|iconskin|splitterskin|bgskin|posskin|skinlist|class)"
      "\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>/\"']+))");
  for (std::sregex_iterator it(text.begin(), text.end(), attr), end; it != end; ++it) {
    const std::string key = (*it)[1];
    const std::string value = (*it)[2].matched ? (*it)[2] : ((*it)[3].matched ? (*it)[3] : (*it)[4]);
    if (value.empty() || value.find('%') != std::string::npos) continue;
    if (key == "class") {
      styles.insert(value);
    } else if (key != "skinlist") {
      skins.insert(value);
    } else {
      static const std::regex item("[^,=]+=([^,]+)");
      for (std::sregex_iterator i(value.begin(), value.end(), item); i != end; ++i)
        skins.insert((*i)[1]);
    }
  }
}

TEST(ShippedLook, EverySkinHasItsPictureAndEveryNameALayoutUsesExists) {
  UiResUtil::SetResourceDirectory(L"");
  DebugReportCapture reports;
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  ASSERT_TRUE(UiStyle::LoadStyles(101));
  // set by the dialogs' code on the maximise button
  std::set<std::string> skins{"maxbtn", "restorebtn"}, styles;
  const TiXmlDocument skinXml = Parse(Embedded(100)), styleXml = Parse(Embedded(101));
  for (const TiXmlElement* e = skinXml.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement()) {
    CUiSkinBase* skin = UiSkin::GetSkin(e->Attribute("name"));
    ASSERT_NE(nullptr, skin) << e->Attribute("name");
    const bool drawn = skin->IsClass("button") || skin->IsClass("gradation");
    EXPECT_EQ(drawn, PictureSize(skin).cx == 0) << e->Attribute("name");
  }
  for (const TiXmlElement* e = styleXml.RootElement()->FirstChildElement(); e; e = e->NextSiblingElement())
    if (e->Attribute("skin")) skins.insert(e->Attribute("skin"));
  // The console's layouts (103 and 506 to 560) and the string table, whose message-box
  // templates are element XML; test layouts are not the console's.
  WIN32_FIND_DATAW fd;
  HANDLE h = ::FindFirstFileW(testenv::SourcePath(L"res\\xml\\*.xml").c_str(), &fd);
  ASSERT_NE(INVALID_HANDLE_VALUE, h);
  int files = 0;
  do {
    const int id = _wtoi(fd.cFileName);
    if (id != 102 && id != 103 && (id < 506 || id > 560)) continue;
    ++files;
    const std::string text = Embedded(id);
    if (id != 102) {
      CollectNames(text, skins, styles);
      continue;
    }
    const TiXmlDocument table = Parse(text);
    for (const TiXmlElement* s = table.RootElement()->FirstChildElement("s"); s; s = s->NextSiblingElement("s"))
      if (s->GetText() && s->GetText()[0] == '<') CollectNames(s->GetText(), skins, styles);
  } while (::FindNextFileW(h, &fd));
  ::FindClose(h);
  EXPECT_GE(files, 2);
  for (const std::string& skin : skins) EXPECT_NE(nullptr, UiSkin::GetSkin(skin.c_str())) << skin;
  for (const std::string& style : styles) EXPECT_EQ(style, UiStyle::GetStyle(style.c_str())->name);
  EXPECT_TRUE(reports.Reports().empty()) << reports.Reports().front().text;
}

}  // namespace
