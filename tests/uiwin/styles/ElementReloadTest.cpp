// Elements keep drawing after the start-up loads run again (the main window's
// constructor repeats them while the login dialog's resources may still be held).
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <cstdint>
#include <vector>

#include <tinyxml.h>

#include "support/DibCanvas.h"
#include "uiwin/CUiButton.h"
#include "uiwin/CUiImageWnd.h"
#include "uiwin/UiFontPool.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

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

std::vector<uint32_t> Paint(CUiWindow* element, int cx, int cy) {
  DibCanvas c(cx, cy, RGB(0x80, 0x80, 0x80));
  element->RedrawRegion(c.Dc(), nullptr);
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

  DibCanvas first(88, 20, RGB(0x80, 0x80, 0x80));
  button->RedrawRegion(first.Dc(), nullptr);
  EXPECT_EQ(RGB(0x93, 0xC0, 0xE9), first.At(0, 0)) << "the normalbtn border";
  std::vector<uint32_t> buttonBefore = first.Pixels();
  std::vector<uint32_t> imageBefore = Paint(image.get(), 90, 21);

  StartUpLoads();

  EXPECT_EQ(OBJ_FONT, (int)GetObjectType(heldFont)) << "the element's font still lives";
  EXPECT_EQ(heldFont, button->GetStyle().font);
  EXPECT_TRUE(buttonBefore == Paint(button.get(), 88, 20));
  EXPECT_TRUE(imageBefore == Paint(image.get(), 90, 21));

  // hover and press repaint with the reloaded skin's colours
  button->ModifyState(1, 0);
  DibCanvas hover(88, 20, RGB(0x80, 0x80, 0x80));
  button->RedrawRegion(hover.Dc(), nullptr);
  EXPECT_EQ(RGB(0x93, 0xC0, 0xE9), hover.At(0, 0));
  EXPECT_FALSE(buttonBefore == hover.Pixels());
}
