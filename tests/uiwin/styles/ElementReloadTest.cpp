// Elements keep drawing after the start-up loads run again (the main window's
// constructor repeats them while the login dialog's resources may still be held).
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "uiwin/CUiButton.h"
#include "uiwin/CUiImageWnd.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

// 32-bit top-down DIB selected into a memory DC.
class Canvas {
 public:
  Canvas(int cx, int cy) : cx_(cx), cy_(cy), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    bmp_ = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<DWORD*>(bits);
    old_ = SelectObject(dc_, bmp_);
    for (int i = 0; i < cx * cy; ++i) bits_[i] = 0x00808080;
  }
  ~Canvas() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  std::vector<DWORD> Pixels() const {
    GdiFlush();
    return std::vector<DWORD>(bits_, bits_ + cx_ * cy_);
  }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DWORD p = bits_[y * cx_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }

 private:
  int cx_, cy_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  DWORD* bits_;
};

void StartUpLoads() {
  UiFontPool::SetDefaultFont(L"宋体", -12);
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  ASSERT_TRUE(UiStyle::LoadStyles(101));
}

std::unique_ptr<CUiWindow> LoadElement(CUiWindow* element, const char* xml) {
  std::unique_ptr<CUiWindow> owned(element);
  TiXmlDocument doc;
  doc.Parse(xml, nullptr, TIXML_ENCODING_UTF8);
  EXPECT_FALSE(doc.Error()) << xml;
  if (owned && doc.RootElement()) owned->Load(doc.RootElement());
  return owned;
}

std::vector<DWORD> Paint(CUiWindow* element, int cx, int cy) {
  Canvas c(cx, cy);
  element->RedrawRegion(c.dc(), nullptr);
  return c.Pixels();
}

}  // namespace

TEST(ElementReload, ElementsDrawTheSameAfterTheLoadsRunAgain) {
  UiResUtil::SetResourceDirectory(L"");
  StartUpLoads();
  auto button = LoadElement(CUiButton::CreateByTag("button"),
                            "<button class=\"normalbtn\" width=\"88\" height=\"20\">确定</button>");
  auto image = LoadElement(CUiImageWnd::CreateByTag("img"), "<img skin=\"closebtn\" pos=\"0,0\"/>");
  ASSERT_TRUE(button && image);
  const HFONT heldFont = button->GetStyle().font;
  ASSERT_NE(nullptr, heldFont);

  Canvas first(88, 20);
  button->RedrawRegion(first.dc(), nullptr);
  EXPECT_EQ(RGB(0x93, 0xC0, 0xE9), first.At(0, 0)) << "the normalbtn border";
  std::vector<DWORD> buttonBefore = first.Pixels();
  std::vector<DWORD> imageBefore = Paint(image.get(), 90, 21);

  StartUpLoads();

  EXPECT_EQ(OBJ_FONT, (int)GetObjectType(heldFont)) << "the element's font still lives";
  EXPECT_EQ(heldFont, button->GetStyle().font);
  EXPECT_TRUE(buttonBefore == Paint(button.get(), 88, 20));
  EXPECT_TRUE(imageBefore == Paint(image.get(), 90, 21));

  // hover and press repaint with the reloaded skin's colours
  button->ModifyState(1, 0);
  Canvas hover(88, 20);
  button->RedrawRegion(hover.dc(), nullptr);
  EXPECT_EQ(RGB(0x93, 0xC0, 0xE9), hover.At(0, 0));
  EXPECT_FALSE(buttonBefore == hover.Pixels());
}
