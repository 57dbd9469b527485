// The console's own skins (resource 100, embedded) and the names its layouts use.
#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include <tinyxml.h>

#include "support/MakeBitmap.h"
#include "support/DibCanvas.h"
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

struct Shipped {
  const char* name;
  const char* tag;
  int cx, cy;  // whole picture; 0 for skins without one
};

// The sizes the layouts and skins rely on.
const Shipped kShipped[] = {
    {"panel", "imgframe", 3, 3},          {"tabpage", "imgframe", 3, 3},
    {"ctlframe", "imgframe", 3, 3},       {"mainbghead", "imghorzex", 8, 25},
    {"mainbgbody", "imgframe", 15, 79},   {"mainbgfoot", "imghorzex", 12, 6},
    {"tg", "imgframe", 15, 79},           {"childbgbody", "imgframe", 15, 79},
    {"tipsbody", "imgframe", 15, 79},     {"msgboxhead", "imgframe", 15, 79},
    {"msgboxbody", "imgframe", 15, 79},   {"msgboxfoot", "imgframe", 3, 3},
    {"tabbtnsm", "imglst", 412, 46},      {"tabbtnig", "imglst", 412, 46},
    {"tabbtnsr", "imglst", 412, 46},      {"tabbtnlog", "imglst", 412, 46},
    {"tabbtnreport", "imglst", 412, 46},  {"tabbtntool", "imglst", 412, 46},
    {"closebtn", "imglst", 90, 21},       {"maxbtn", "imglst", 90, 21},
    {"minbtn", "imglst", 90, 21},         {"restorebtn", "imglst", 90, 21},
    {"updatebtn", "imglst", 90, 21},      {"tabnormalex", "imghorzex", 39, 32},
    {"tabbtnlistshow", "imglst", 435, 28}, {"browsebtn", "png", 81, 20},
    {"browsedetailbtn", "png", 81, 20},   {"servergroup", "imglst", 32, 24},
    {"MonitorCountBK", "imglst", 79, 53}, {"normalbtn", "button", 0, 0},
    {"safetoolbtn", "button", 0, 0},
};

SIZE PictureSize(CUiSkinBase* skin) {
  SIZE none = {0, 0};
  if (skin->IsClass("imglst")) return static_cast<CUiImageSkin*>(skin)->GetBitmapSize();
  if (skin->IsClass("imgframe"))
    return static_cast<CUiSkinImgFrame*>(skin)->GetImage().GetBitmapSize();
  if (skin->IsClass("imghorzex"))
    return static_cast<CUiSkinImgHorzExtend*>(skin)->GetImage().GetBitmapSize();
  if (skin->IsClass("png")) {
    Gdiplus::Image* image = static_cast<CUiPngSkin*>(skin)->GetImage();
    if (!image) return none;
    SIZE sz = {(LONG)image->GetWidth(), (LONG)image->GetHeight()};
    return sz;
  }
  return none;
}

std::string ReadFile(const std::wstring& path) {
  std::string bytes;
  FILE* f = _wfopen(path.c_str(), L"rb");
  if (!f) return bytes;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  fclose(f);
  return bytes;
}

std::vector<std::wstring> LayoutFiles() {
  std::vector<std::wstring> files;
  std::wstring dir = testenv::SourcePath(L"res\\xml");
  WIN32_FIND_DATAW fd;
  HANDLE h = FindFirstFileW((dir + L"\\*.xml").c_str(), &fd);
  if (h == INVALID_HANDLE_VALUE) return files;
  do {
    // the console's layouts (103 and 506 to 560) and the string table, whose
    // message-box templates are element XML; test layouts are not the console's
    int id = _wtoi(fd.cFileName);
    if (id == 102 || id == 103 || (id >= 506 && id <= 560))
      files.push_back(dir + L"\\" + fd.cFileName);
  } while (FindNextFileW(h, &fd));
  FindClose(h);
  return files;
}

struct Names {
  std::set<std::string> skins;
  std::set<std::string> styles;
};

// Attribute values that name skins or styles, in layouts and in XML templates
// held as text (the message box's string-table entries). Comments are left out;
// values with printf placeholders are filled in at run time.
void CollectNames(std::string text, Names& names) {
  static const std::regex comment("<!--[\\s\\S]*?-->");
  text = std::regex_replace(text, comment, "");
  static const std::regex attr(
      "\\b(skin|tabskin|frameskin|iconskin|splitterskin|bgskin|posskin|skinlist|class)"
      "\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s>/\"']+))");
  for (std::sregex_iterator it(text.begin(), text.end(), attr), end; it != end; ++it) {
    std::string key = (*it)[1];
    std::string value = (*it)[2].matched ? (*it)[2] : ((*it)[3].matched ? (*it)[3] : (*it)[4]);
    if (value.empty() || value.find('%') != std::string::npos) continue;
    if (key == "class") {
      names.styles.insert(value);
    } else if (key == "skinlist") {
      size_t pos = 0;
      std::string list = value + ",";
      for (size_t comma; (comma = list.find(',', pos)) != std::string::npos; pos = comma + 1) {
        std::string item = list.substr(pos, comma - pos);
        size_t eq = item.find('=');
        if (eq != std::string::npos && eq > 0 && eq + 1 < item.size())
          names.skins.insert(item.substr(eq + 1));
      }
    } else {
      names.skins.insert(value);
    }
  }
}

}  // namespace

TEST(ShippedSkins, EverySkinIsThereWithItsPicture) {
  UiResUtil::SetResourceDirectory(L"");
  DebugReportCapture reports;
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  for (const Shipped& s : kShipped) {
    CUiSkinBase* skin = UiSkin::GetSkin(s.name);
    ASSERT_NE(nullptr, skin) << s.name;
    EXPECT_TRUE(skin->IsClass(s.tag)) << s.name;
    SIZE sz = PictureSize(skin);
    EXPECT_EQ(s.cx, sz.cx) << s.name;
    EXPECT_EQ(s.cy, sz.cy) << s.name;
  }
  EXPECT_TRUE(reports.Reports().empty()) << reports.Reports().front().text;
}

TEST(ShippedSkins, CaptionButtonsDrawTheirStates) {
  UiResUtil::SetResourceDirectory(L"");
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  CUiSkinBase* close = UiSkin::GetSkin("closebtn");
  ASSERT_NE(nullptr, close);
  const COLORREF header = RGB(0x63, 0x97, 0xC9);
  COLORREF corner[3], centre[3];
  for (DWORD state = 0; state < 3; ++state) {
    DibCanvas c(30, 21, header);
    RECT rc = {0, 0, 30, 21};
    close->Draw(c.Dc(), rc, state);
    corner[state] = c.At(0, 0);
    centre[state] = c.At(15, 3);
  }
  // the corners are transparent in every state; hover and press fill the middle
  for (COLORREF cr : corner) EXPECT_EQ(header, cr);
  EXPECT_EQ(header, centre[0]);
  EXPECT_NE(header, centre[1]);
  EXPECT_NE(centre[1], centre[2]);
  // disabled has no picture of its own and shows the normal one
  DibCanvas d(30, 21, header);
  RECT rc = {0, 0, 30, 21};
  close->Draw(d.Dc(), rc, 3);
  EXPECT_EQ(header, d.At(15, 3));
}

TEST(ShippedSkins, EveryNameALayoutUsesExists) {
  UiResUtil::SetResourceDirectory(L"");
  ASSERT_TRUE(UiSkin::LoadSkins(100));
  ASSERT_TRUE(UiStyle::LoadStyles(101));

  Names names;
  // set by the dialogs' code on the maximise button
  names.skins.insert("maxbtn");
  names.skins.insert("restorebtn");
  const std::vector<std::wstring> files = LayoutFiles();
  ASSERT_FALSE(files.empty()) << "the string table at least";
  for (const std::wstring& file : files) {
    std::string text = ReadFile(file);
    if (file.size() >= 7 && file.compare(file.size() - 7, 7, L"102.xml") == 0) {
      // the string table: only the texts that are element XML
      TiXmlDocument doc;
      doc.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
      const TiXmlElement* root = doc.RootElement();
      for (const TiXmlElement* s = root ? root->FirstChildElement("s") : nullptr; s;
           s = s->NextSiblingElement("s"))
        if (s->GetText() && s->GetText()[0] == '<') CollectNames(s->GetText(), names);
      continue;
    }
    CollectNames(text, names);
  }
  for (const std::string& skin : names.skins)
    EXPECT_NE(nullptr, UiSkin::GetSkin(skin.c_str())) << "skin " << skin;
  for (const std::string& style : names.styles)
    EXPECT_EQ(style, UiStyle::GetStyle(style.c_str())->name) << "style " << style;
}
