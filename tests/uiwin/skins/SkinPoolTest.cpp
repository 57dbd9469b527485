// The skin pool, the bitmap pool and the PNG pool, fed from a resource directory.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "support/DibCanvas.h"
#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiPngSkin.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/UiBmpPool.h"
#include "uiwin/UiPngPool.h"
#include "uiwin/UiSkin.h"

namespace {

RECT R(int l, int t, int r, int b) {
  RECT rc = {l, t, r, b};
  return rc;
}

// 8 x 2 RGBA: four pictures of 2 x 2, opaque red, green at alpha 128,
// transparent, opaque blue.
const unsigned char kPngStrip[] = {
    0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49, 0x48,
    0x44, 0x52, 0x00, 0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00,
    0x00, 0x65, 0x94, 0x9D, 0xED, 0x00, 0x00, 0x00, 0x19, 0x49, 0x44, 0x41, 0x54, 0x78,
    0xDA, 0x63, 0xF8, 0xCF, 0xC0, 0xF0, 0x1F, 0x84, 0x81, 0xB0, 0x01, 0x8C, 0xE1, 0xE0,
    0x3F, 0x44, 0x8A, 0x90, 0x02, 0x00, 0xE2, 0xC2, 0x15, 0xED, 0x26, 0x48, 0x07, 0x37,
    0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82,
};

std::string PngBytes() {
  return std::string(reinterpret_cast<const char*>(kPngStrip), sizeof kPngStrip);
}

class SkinPool : public ::testing::Test {
 protected:
  SkinPool() { UiResUtil::SetResourceDirectory(dir_.Path().c_str()); }
  ~SkinPool() override { UiResUtil::SetResourceDirectory(L""); }
  // As the console stores its XML: UTF-8 with a byte-order mark.
  bool Xml(const wchar_t* name, const std::string& text) {
    return testfiles::WriteBytes(dir_.File(name), "\xEF\xBB\xBF" + text);
  }
  bool Bmp(const wchar_t* name, int cx, int cy, COLORREF c) {
    return testfiles::WriteSolidBmp(dir_.File(name), cx, cy, c);
  }
  testenv::TempDir dir_;
};

}  // namespace

TEST_F(SkinPool, FactoryKnowsEverySkinTag) {
  const char* tags[] = {"imglst", "imgframe", "button", "imghorzex", "gradation", "png"};
  for (const char* tag : tags) {
    CUiSkinBase* skin = UiSkin::CreateSkinByTag(tag);
    ASSERT_NE(nullptr, skin) << tag;
    EXPECT_TRUE(skin->IsClass(tag));
    delete skin;
  }
  EXPECT_EQ(nullptr, UiSkin::CreateSkinByTag("style"));
  EXPECT_EQ(nullptr, UiSkin::CreateSkinByTag("IMGLST"));
  EXPECT_EQ(nullptr, UiSkin::CreateSkinByTag(nullptr));
}

TEST_F(SkinPool, LoadsSkinsByNameAndSkipsWhatItCannotUse) {
  ASSERT_TRUE(testfiles::WriteBandedBmp(dir_.File(L"9001.bmp"), 30, 21,
                                        {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 255, 0)}));
  ASSERT_TRUE(Xml(
      L"9101.xml",
      "<skins>\n"
      "  <imglst name=\"closebtn\" src=\"9001\" mode=\"mask\" subwidth=\"30\"/>\n"
      "  <imglst src=\"9001\"/>\n"
      "  <widget name=\"odd\"/>\n"
      "  <!-- a comment -->\n"
      "  <imgframe name=\"frame\" src=\"9001\" top=\"1\" left=\"1\" mode=mask part=\"top\"/>\n"
      "  <button name=\"twice\"/><gradation name=\"twice\"/>\n"
      "</skins>\n"));
  ASSERT_TRUE(UiSkin::LoadSkins(9101));

  CUiSkinBase* close = UiSkin::GetSkin("closebtn");
  ASSERT_NE(nullptr, close);
  ASSERT_TRUE(close->IsClass("imglst"));
  auto* image = static_cast<CUiImageSkin*>(close);
  EXPECT_EQ(UiBmpPool::GetBitmap(9001), image->GetBitmap());
  EXPECT_EQ(CUiImage::ModeMask, image->GetMode());
  SIZE sz = close->GetSkinSize();
  EXPECT_EQ(30, sz.cx);
  EXPECT_EQ(21, sz.cy);
  EXPECT_FALSE(close->IgnoreState());

  ASSERT_NE(nullptr, UiSkin::GetSkin("twice"));
  EXPECT_TRUE(UiSkin::GetSkin("twice")->IsClass("gradation")) << "the later definition wins";
  // the unquoted mode value is read as well
  auto* frame = static_cast<CUiSkinImgFrame*>(UiSkin::GetSkin("frame"));
  ASSERT_NE(nullptr, frame);
  EXPECT_EQ(CUiImage::ModeMask, frame->GetImage().GetMode());
  EXPECT_EQ(43u, frame->GetPart());

  EXPECT_EQ(nullptr, UiSkin::GetSkin("odd"));
  EXPECT_EQ(nullptr, UiSkin::GetSkin("CloseBtn")) << "names are case-sensitive";
  EXPECT_EQ(nullptr, UiSkin::GetSkin(nullptr));
}

TEST_F(SkinPool, FailuresLeaveThePoolAsTheRulesSay) {
  ASSERT_TRUE(Xml(L"9103.xml", "<skins><button name=\"kept\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9103));
  {
    DebugReportCapture reports;
    EXPECT_FALSE(UiSkin::LoadSkins(9199)) << "missing resource";
    EXPECT_TRUE(reports.Contains("Failed loading xml 9199"));
  }
  EXPECT_NE(nullptr, UiSkin::GetSkin("kept")) << "a missing resource keeps the pool";

  ASSERT_TRUE(Xml(L"9104.xml", "<skins><button name=\"x\"></skins>"));
  EXPECT_FALSE(UiSkin::LoadSkins(9104)) << "malformed";
  EXPECT_EQ(nullptr, UiSkin::GetSkin("kept"));
  EXPECT_EQ(nullptr, UiSkin::GetSkin("x"));

  ASSERT_TRUE(UiSkin::LoadSkins(9103));
  ASSERT_TRUE(Xml(L"9105.xml", "<style><button name=\"y\"/></style>"));
  EXPECT_TRUE(UiSkin::LoadSkins(9105)) << "another root: loaded, but empty";
  EXPECT_EQ(nullptr, UiSkin::GetSkin("kept"));
  EXPECT_EQ(nullptr, UiSkin::GetSkin("y"));
}

TEST_F(SkinPool, ReloadLeavesHeldSkinsDrawable) {
  ASSERT_TRUE(Bmp(L"9002.bmp", 4, 4, RGB(0x33, 0x66, 0x99)));
  ASSERT_TRUE(Xml(L"9106.xml", "<skins><imglst name=\"pic\" src=\"9002\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9106));
  CUiSkinBase* held = UiSkin::GetSkin("pic");
  ASSERT_NE(nullptr, held);

  // the main window reloads at start; an element may still point at the old skin
  ASSERT_TRUE(UiSkin::LoadSkins(9106));
  CUiSkinBase* fresh = UiSkin::GetSkin("pic");
  ASSERT_NE(nullptr, fresh);
  EXPECT_NE(held, fresh);
  DibCanvas c(8, 8, RGB(0, 0, 0));
  held->Draw(c.Dc(), R(0, 0, 8, 8), (DWORD)-1);
  EXPECT_EQ(RGB(0x33, 0x66, 0x99), c.At(3, 3));
  EXPECT_EQ(static_cast<CUiImageSkin*>(held)->GetBitmap(),
            static_cast<CUiImageSkin*>(fresh)->GetBitmap())
      << "bitmaps stay cached across reloads";
}

TEST_F(SkinPool, ImagesAreLoadedOnceAndMissingOnesDrawNothing) {
  ASSERT_TRUE(Bmp(L"9003.bmp", 5, 3, RGB(0x10, 0x20, 0x30)));
  HBITMAP first = UiBmpPool::GetBitmap(9003);
  ASSERT_NE(nullptr, first);
  BITMAP bm;
  ASSERT_EQ((int)sizeof bm, GetObjectW(first, sizeof bm, &bm));
  EXPECT_EQ(5, bm.bmWidth);
  EXPECT_EQ(3, bm.bmHeight);
  EXPECT_EQ(first, UiBmpPool::GetBitmap(9003));

  {
    DebugReportCapture reports;
    EXPECT_EQ(nullptr, UiBmpPool::GetBitmap(9004));
    EXPECT_TRUE(reports.Contains("Failed loading bitmap 9004"));
  }
  ASSERT_TRUE(Bmp(L"9004.bmp", 2, 2, RGB(0, 0, 0)));
  EXPECT_NE(nullptr, UiBmpPool::GetBitmap(9004)) << "a failure is not cached";

  // skins naming a missing bitmap or PNG have none and draw nothing
  DebugReportCapture reports;
  ASSERT_TRUE(Xml(L"9108.xml",
                       "<skins><imglst name=\"nobmp\" src=\"9005\"/>"
                       "<png name=\"nopng\" src=\"9299\" subwidth=\"20\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9108));
  for (const char* name : {"nobmp", "nopng"}) {
    CUiSkinBase* gone = UiSkin::GetSkin(name);
    ASSERT_NE(nullptr, gone) << name;
    EXPECT_EQ(0, gone->GetSkinSize().cx) << name;
    DibCanvas c(4, 4, RGB(9, 9, 9));
    gone->Draw(c.Dc(), R(0, 0, 4, 4), 0);
    EXPECT_TRUE(c.UntouchedOutside(R(0, 0, 0, 0), RGB(9, 9, 9))) << name;
  }
  // no image pointer is taken from the XML
  CUiPngSkin png;
  EXPECT_EQ(E_FAIL, png.SetAttribute("image", "12345678", TRUE));
  EXPECT_EQ(nullptr, png.GetImage());
}

TEST_F(SkinPool, PngStripBlendsOverTheBackground) {
  ASSERT_TRUE(testfiles::WriteBytes(dir_.File(L"9201.png"), PngBytes()));
  ASSERT_TRUE(Xml(L"9107.xml",
                       "<skins><png name=\"strip\" src=\"9201\" subwidth=\"2\" mode=\"mask\"/>"
                       "<png name=\"whole\" src=\"9201\"/></skins>"));
  ASSERT_TRUE(UiSkin::LoadSkins(9107));
  auto* strip = static_cast<CUiPngSkin*>(UiSkin::GetSkin("strip"));
  ASSERT_NE(nullptr, strip);
  ASSERT_NE(nullptr, strip->GetImage());
  EXPECT_EQ(UiPngPool::Get(9201), strip->GetImage());
  SIZE sz = strip->GetSkinSize();
  EXPECT_EQ(2, sz.cx);
  EXPECT_EQ(2, sz.cy);
  EXPECT_FALSE(strip->IgnoreState());

  const COLORREF back = RGB(200, 100, 50);
  DibCanvas c(20, 4, back);
  strip->Draw(c.Dc(), R(0, 0, 2, 2), 0);
  strip->Draw(c.Dc(), R(3, 0, 5, 2), 1);
  strip->Draw(c.Dc(), R(6, 0, 8, 2), 2);
  strip->Draw(c.Dc(), R(9, 0, 11, 2), 3);
  strip->Draw(c.Dc(), R(12, 0, 14, 2), 4);  // no fifth picture: picture 0
  EXPECT_EQ(RGB(255, 0, 0), c.At(1, 1));
  COLORREF half = c.At(3, 0);
  EXPECT_NEAR(200 * 127 / 255, GetRValue(half), 2);
  EXPECT_NEAR((255 * 128 + 100 * 127) / 255, GetGValue(half), 2);
  EXPECT_NEAR(50 * 127 / 255, GetBValue(half), 2);
  EXPECT_EQ(back, c.At(7, 1));
  EXPECT_EQ(RGB(0, 0, 255), c.At(9, 0));
  EXPECT_EQ(RGB(255, 0, 0), c.At(12, 0));
  EXPECT_EQ(back, c.At(2, 0)) << "one picture wide only";
  EXPECT_EQ(back, c.At(14, 0));
  EXPECT_EQ(back, c.At(0, 2));

  auto* whole = static_cast<CUiPngSkin*>(UiSkin::GetSkin("whole"));
  ASSERT_NE(nullptr, whole);
  EXPECT_TRUE(whole->IgnoreState());
  sz = whole->GetSkinSize();
  EXPECT_EQ(8, sz.cx);
  DibCanvas w(10, 3, back);
  whole->Draw(w.Dc(), R(1, 1, 10, 3), 2);
  EXPECT_EQ(RGB(255, 0, 0), w.At(1, 1));
  EXPECT_EQ(RGB(0, 0, 255), w.At(8, 2));
  EXPECT_EQ(back, w.At(9, 1));
}
