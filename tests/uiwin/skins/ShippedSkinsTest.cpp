// The console's own skins and styles (resources 100 and 101, embedded) and the names
// its layouts use.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <regex>
#include <set>
#include <string>

#include <tinyxml.h>

#include "support/DebugReportCapture.h"
#include "support/TestEnv.h"
#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiPngSkin.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/CUiSkinImgHorzExtend.h"
#include "uiwin/UiResUtil.h"
#include "uiwin/UiSkin.h"
#include "uiwin/UiStyle.h"

namespace {

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
