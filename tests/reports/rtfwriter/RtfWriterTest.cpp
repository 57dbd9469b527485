// The RTF writer: the bytes it writes, its keyword tables, what RichEdit reads back,
// pictures, and the refusals that leave no file behind.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

#include "platform/TextConv.h"
#include "reports/RtfWriter.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

// What RtfOpen with the defaults writes (a text-mode file: "\n" comes out as "\r\n").
const std::string kHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\froman\fcharset0\cpg1252 Times New Roman})"
    R"({\f1\fswiss\fcharset0\cpg1252 Arial}{\f2\fmodern\fcharset0\cpg1252 Courier New})"
    R"({\f3\fscript\fcharset0\cpg1252 Cursive}{\f4\fdecor\fcharset0\cpg1252 Old English})"
    R"({\f5\ftech\fcharset0\cpg1252 Symbol}{\f6\fbidi\fcharset0\cpg1252 Miriam}}{\colortbl)"
    R"(\red0\green0\blue0;\red255\green0\blue0;\red0\green255\blue0;\red0\green0\blue255;)"
    R"(\red255\green255\blue0;\red255\green0\blue255;\red0\green255\blue255;\red255\green255\blue255;)"
    R"(\red128\green0\blue0;\red0\green128\blue0;\red0\green0\blue128;\red128\green128\blue0;)"
    R"(\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;}{\*\generator rtflib ver. 1.0;})"
    "\r\n"
    R"({\info{\author rtflib ver. 1.0}{\company Velmor Company LTD.}}\viewkind1\viewscale100\paperw12240)"
    R"(\paperh15840\margl1800\margr1800\margt1440\margb1440\gutter0)"
    "\r\n"
    R"(\sectd\sbknone\pgwsxn12240\pghsxn15840\marglsxn1800\margrsxn1800\margtsxn1440\margbsxn1440)"
    R"(\guttersxn0\headery720\footery720)";
const std::string kEnd = "\r\n\\par}";
const std::string kPlain =
    R"(\animtext0\expndtw0\kerning0\charscalex100\f0\fs24\cf0\b0\caps0\striked0\i0\outl0\shad0\scaps0\strike0\ulnone)";

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(qv::WideToAnsi(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

DWORD CALLBACK ReadStream(DWORD_PTR cookie, BYTE* buffer, LONG size, LONG* read) {
  auto* in = reinterpret_cast<std::istringstream*>(cookie);
  in->read(reinterpret_cast<char*>(buffer), size);
  *read = static_cast<LONG>(in->gcount());
  return 0;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class RtfWriter : public ::testing::Test {
 protected:
  // The paragraph format as a document starts with it.
  static RtfParagraphFormat Defaults() {
    RtfParagraphFormat format;
    RtfGetParagraphFormat(&format);
    return format;
  }

  // The file written by open, body and close, with the defaults.
  std::string Document(const std::function<void()>& body, const wchar_t* fonts = nullptr,
                       const wchar_t* colours = nullptr) {
    const std::wstring path = temp.File(L"文档.rtf");
    EXPECT_EQ(RTF_SUCCESS, RtfOpen(path.c_str(), fonts, colours));
    body();
    EXPECT_EQ(RTF_SUCCESS, RtfClose());
    return ReadBytes(path);
  }

  testenv::TempDir temp;
};

TEST_F(RtfWriter, WritesTheGoldenBytes) {
  RtfCellBorder bottom{true, 0, 10, 0, 1};
  const struct {
    const char* what;
    const wchar_t* fonts;
    const wchar_t* colours;
    std::function<void()> body;
    std::string bytes;
  } rows[] = {
      {"defaults", nullptr, nullptr, [] {}, kHeader + kEnd},
      {"custom lists", L"Arial; 宋体 ;;{x}\\", L"0;128;255; 10;20;30", [] {},
       R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\fnil\fcharset0\cpg1252 Arial})"
       R"({\f1\fnil\fcharset0\cpg1252 \u23435?\u20307?}{\f2\fnil\fcharset0\cpg1252 \{x\}\\}})"
       R"({\colortbl\red0\green128\blue255;\red10\green20\blue30;})" +
           kHeader.substr(kHeader.find("{\\*\\generator")) + kEnd},
      {"formatted paragraph", nullptr, nullptr,
       [&] {
         RtfParagraphFormat p = Defaults();
         p.alignment = 1;
         p.firstIndent = 100;
         p.leftIndent = 200;
         p.spaceAfter = 120;
         p.tabStop = true;
         p.tabKind = 2;
         p.tabLeader = 1;
         p.tabPosition = 3000;
         p.character.font = 1;
         p.character.size = 28;
         p.character.colour = 2;
         p.character.bold = p.character.italic = true;
         p.character.underline = 1;
         RtfSetParagraphFormat(p);
         RtfStartParagraph(L"a\\b{c}中", true);
       },
       kHeader +
           R"(
\par\pard\plain\qc\tqr\tldot\tx3000\fi100\li200\ri0\sb0\sa120\sl0\animtext0\expndtw0\kerning0\charscalex100)"
           R"(\f1\fs28\cf2\b\caps0\striked0\i\outl0\shad0\scaps0\strike0\ul a\\b\{c\}\u20013?)" +
           kEnd},
      {"two-cell row", nullptr, nullptr,
       [&] {
         RtfParagraphFormat p = Defaults();
         p.inTable = true;
         RtfSetParagraphFormat(p);
         RtfStartTableRow();
         RtfStartTableCell(2000);
         RtfTableCellFormat cell{};
         cell.borderBottom = bottom;
         RtfSetTableCellFormat(cell);
         RtfStartTableCell(4000);
         RtfStartParagraph(L"甲", false);
         RtfEndTableCell();
         RtfStartParagraph(L"乙", false);
         RtfEndTableCell();
         RtfEndTableRow();
       },
       kHeader +
           R"(
\trowd\trgaph115\trql\trleft0\trrh0\trpaddb0\trpaddfb3\trpaddl0\trpaddfl3\trpaddr0\trpaddfr3\trpaddt0\trpaddft3
\tcelld\clvertalt\cltxlrtb\cellx2000
\tcelld\clvertalt\cltxlrtb\clbrdrb\brdrs\brdrw10\brsp0\brdrcf1\cellx4000
\pard\intbl\ql\fi0\li0\ri0\sb0\sa0\sl0)" +
           kPlain + R"( \u30002?
\cell 
\pard\intbl\ql\fi0\li0\ri0\sb0\sa0\sl0)" +
           kPlain + R"( \u20057?
\cell 
\trgaph115\row\pard)" +
           kEnd},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::string expected = row.bytes;
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2)
      if (!at || expected[at - 1] != '\r') expected.insert(at, 1, '\r');
    EXPECT_EQ(expected, Document(row.body, row.fonts, row.colours));
  }
}

// Each kind's keyword where its setting is written, and none for a kind out of range.
TEST_F(RtfWriter, KeywordTablesGiveEachKindItsKeyword) {
  const std::vector<std::string> borders{"\\brdrs",       "\\brdrth",      "\\brdrsh",        "\\brdrdb",
                                         "\\brdrdot",     "\\brdrdash",    "\\brdrhair",      "\\brdrinset",
                                         "\\brdrdashsm",  "\\brdrdashd",   "\\brdrdashdd",    "\\brdroutset",
                                         "\\brdrtriple",  "\\brdrwavy",    "\\brdrwavydb",    "\\brdrdashdotstr",
                                         "\\brdremboss",  "\\brdrengrave", ""};
  const std::vector<std::string> patterns{"",          "\\bghoriz",    "\\bgvert",     "\\bgfdiag",  "\\bgbdiag",
                                          "\\bgcross", "\\bgdcross",   "\\bgdkhoriz",  "\\bgdkvert", "\\bgdkfdiag",
                                          "\\bgdkbdiag", "\\bgdkcross", "\\bgdkdcross", ""};
  const std::vector<std::string> underlines{
      "\\ulnone",  "\\ul",        "\\uld",        "\\uldash",     "\\uldashd",    "\\uldashdd", "\\uldb",
      "\\ulhwave", "\\ulldash",   "\\ulth",       "\\ulthd",      "\\ulthdash",   "\\ulthdashd", "\\ulthdashdd",
      "\\ulthldash", "\\ululdbwave", "\\ulw",     "\\ulwave",     ""};
  const std::vector<std::string> breaks{"\\sbknone", "\\sbkcol", "\\sbkpage", "\\sbkeven", "\\sbkodd", ""};
  const struct {
    const char* what;
    const std::vector<std::string>& keywords;
    std::function<std::string(int kind, const std::string& keyword)> write;  // the written text and its expectation
  } tables[] = {
      {"border", borders, [&](int kind, const std::string& k) {
         RtfParagraphFormat p = Defaults();
         p.border = true, p.borderSide = 2, p.borderKind = kind, p.borderWidth = 15;
         RtfSetParagraphFormat(p);
         RtfStartParagraph(L"", true);
         return "\\brdrb" + k + "\\brdrw15";
       }},
      {"shading", patterns, [&](int kind, const std::string& k) {
         RtfParagraphFormat p = Defaults();
         p.shading = true, p.shadingIntensity = 5, p.shadingPattern = kind;
         RtfSetParagraphFormat(p);
         RtfStartParagraph(L"", true);
         return "\\shading5" + k + "\\cfpat";
       }},
      {"cell shading", patterns, [&](int kind, const std::string& k) {
         RtfTableCellFormat c{};
         c.shading = true, c.shadingPattern = kind;
         RtfSetTableCellFormat(c);
         RtfStartTableCell(100);
         return "\\cltxlrtb" + (k.empty() ? k : "\\cl" + k.substr(1)) + "\\clshdng";
       }},
      {"underline", underlines, [&](int kind, const std::string& k) {
         RtfParagraphFormat p = Defaults();
         p.character.underline = kind;
         RtfSetParagraphFormat(p);
         RtfStartParagraph(L"u", true);
         return "\\strike0" + k + " u";
       }},
      {"section break", breaks, [&](int kind, const std::string& k) {
         RtfSectionFormat s;
         RtfGetSectionFormat(&s);
         s.breakKind = kind;
         RtfSetSectionFormat(s);
         RtfStartSection();
         return "\\sectd" + k + "\\pgwsxn";
       }},
  };
  for (const auto& table : tables) {
    for (size_t kind = 0; kind < table.keywords.size(); ++kind) {
      SCOPED_TRACE(testing::Message() << table.what << " " << kind);
      std::string expected;
      const std::string bytes =
          Document([&] { expected = table.write(static_cast<int>(kind), table.keywords[kind]); });
      EXPECT_NE(std::string::npos, bytes.find(expected, kHeader.size())) << bytes.substr(kHeader.size());
    }
  }
}

TEST_F(RtfWriter, RichEditReadsTheTextBack) {
  const std::vector<std::wstring> paragraphs{L"完整性监测简报", L"back\\slash {braces} Ä ß", L"第三段：路径 C:\\数据"};
  const std::wstring path = temp.File(L"读回.rtf");
  ASSERT_EQ(RTF_SUCCESS, RtfOpen(path.c_str()));
  for (size_t i = 0; i < paragraphs.size(); ++i) EXPECT_EQ(RTF_SUCCESS, RtfStartParagraph(paragraphs[i].c_str(), i > 0));
  ASSERT_EQ(RTF_SUCCESS, RtfClose());

  ASSERT_NE(nullptr, ::LoadLibraryW(L"riched20.dll"));
  HWND edit = ::CreateWindowExW(0, L"RichEdit20W", L"", ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(nullptr, edit);
  std::string bytes = ReadBytes(path);
  std::istringstream in(bytes);
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&in), 0, ReadStream};
  ::SendMessageW(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
  wchar_t text[256] = L"";
  ::GetWindowTextW(edit, text, 256);
  ::DestroyWindow(edit);
  std::wstring got = text;
  while (!got.empty() && (got.back() == L'\r' || got.back() == L'\n')) got.pop_back();
  EXPECT_EQ(paragraphs[0] + L"\r\n" + paragraphs[1] + L"\r\n" + paragraphs[2], got);
}

TEST_F(RtfWriter, PicturesAreWrittenAsMetafilesOfTheirKindOnly) {
  const std::wstring bmp = temp.File(L"图.BMP"), png = temp.File(L"图.png");
  ASSERT_TRUE(testfiles::WriteSolidBmp(bmp, 8, 4, RGB(255, 0, 0)));
  ASSERT_TRUE(testfiles::WriteBytes(png, "not a picture"));
  int loaded = 0, refused = 0, missing = 0;
  const std::string bytes = Document([&] {
    loaded = RtfLoadImage(bmp.c_str(), 32, 16);
    refused = RtfLoadImage(png.c_str(), 32, 16);
    missing = RtfLoadImage(temp.File(L"无.gif").c_str(), 32, 16);
  });
  EXPECT_EQ(RTF_SUCCESS, loaded);
  EXPECT_EQ(RTF_IMAGE_ERROR, refused);
  EXPECT_EQ(RTF_IMAGE_ERROR, missing);
  const std::string start = "\r\n{\\pict\\wmetafile8\\picwgoal480\\pichgoal240\\picscalex100\\picscaley100\r\n";
  const size_t at = bytes.find(start);
  ASSERT_NE(std::string::npos, at);
  const size_t end = bytes.find('}', at);
  std::string hex;
  for (size_t i = at + start.size(); i < end; ++i)
    if (bytes[i] != '\r' && bytes[i] != '\n') hex += bytes[i];
  ASSERT_EQ(0u, hex.size() % 2);
  std::vector<BYTE> metafile;
  for (size_t i = 0; i < hex.size(); i += 2) metafile.push_back(static_cast<BYTE>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  ASSERT_GE(metafile.size(), sizeof(METAHEADER));
  METAHEADER header;
  memcpy(&header, metafile.data(), sizeof header);
  EXPECT_EQ(metafile.size(), header.mtSize * 2u);  // the header counts 16-bit words
  HMETAFILE played = ::SetMetaFileBitsEx(static_cast<UINT>(metafile.size()), metafile.data());
  EXPECT_NE(nullptr, played);
  ::DeleteMetaFile(played);
  EXPECT_NE(std::string::npos, bytes.find("\r\n\\par\\pard *** Error! Wrong image format ***\\par", end));
  EXPECT_EQ(std::string::npos, bytes.find("{\\pict", end));
}

TEST_F(RtfWriter, RefusedOpenMakesNoFile) {
  const std::wstring first = temp.File(L"一.rtf"), second = temp.File(L"二.rtf");
  const struct { const wchar_t* fonts; const wchar_t* colours; } refusals[] = {
      {nullptr, L"0;0;256"}, {nullptr, L"0;0;-1"}, {nullptr, L"1;2"}, {nullptr, L"a;b;c"}, {L";;", nullptr}};
  for (const auto& r : refusals) {
    EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(second.c_str(), r.fonts, r.colours));
    EXPECT_FALSE(Exists(second));
  }
  ASSERT_EQ(RTF_SUCCESS, RtfOpen(first.c_str()));
  EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(second.c_str()));
  EXPECT_FALSE(Exists(second));
  EXPECT_EQ(RTF_SUCCESS, RtfClose());
  EXPECT_EQ(RTF_CLOSE_ERROR, RtfClose());
  EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(temp.File(L"无此目录\\三.rtf").c_str()));
}

}  // namespace
