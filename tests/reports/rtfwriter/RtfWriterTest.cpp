// The RTF writer: the bytes it writes, its keyword tables, what RichEdit reads back,
// pictures, and the refusals that leave no file behind.
#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "platform/TextConv.h"
#include "reports/RtfWriter.h"
#include "support/SmallDisk.h"
#include "support/TestEnv.h"
#include "support/TestFiles.h"

namespace {

// What RtfOpen with the defaults writes (a text-mode file: "\n" comes out as "\r\n").
const std::string kHeader =
    R"({\rtf1\ansi\ansicpg1252\deff0{\fonttbl{\f0\froman\fcharset0\cpg1252 Times New Roman}{\f1\fswiss\fcharset0\cpg1252 Arial})"
    R"({\f2\fmodern\fcharset0\cpg1252 Courier New}{\f3\fscript\fcharset0\cpg1252 Cursive}{\f4\fdecor\fcharset0\cpg1252 Old English})"
    R"({\f5\ftech\fcharset0\cpg1252 Symbol}{\f6\fbidi\fcharset0\cpg1252 Miriam}}{\colortbl\red0\green0\blue0;\red255\green0\blue0;)"
    R"(\red0\green255\blue0;\red0\green0\blue255;\red255\green255\blue0;\red255\green0\blue255;\red0\green255\blue255;)"
    R"(\red255\green255\blue255;\red128\green0\blue0;\red0\green128\blue0;\red0\green0\blue128;\red128\green128\blue0;)"
    R"(\red128\green0\blue128;\red0\green128\blue128;\red128\green128\blue128;}{\*\generator rtflib ver. 1.0;})"
    "\r\n{\\info{\\author rtflib ver. 1.0}{\\company Velmor Company LTD.}}"
    R"(\viewkind1\viewscale100\paperw12240\paperh15840\margl1800\margr1800\margt1440\margb1440\gutter0)"
    "\r\n"
    R"(\sectd\sbknone\pgwsxn12240\pghsxn15840\marglsxn1800\margrsxn1800\margtsxn1440\margbsxn1440\guttersxn0\headery720\footery720)";
const std::string kEnd = "\r\n\\par}";
const std::string kPlain =
    R"(\animtext0\expndtw0\kerning0\charscalex100\f0\fs24\cf0\b0\caps0\striked0\i0\outl0\shad0\scaps0\strike0\ulnone)";

// A default paragraph with the text in a table cell, and the cell's end.
std::string InCell(const char* text) {
  return "\n\\pard\\intbl\\ql\\fi0\\li0\\ri0\\sb0\\sa0\\sl0" + kPlain + " " + text + "\n\\cell ";
}

// A paragraph in the current format changed by set.
void WriteParagraph(const std::function<void(RtfParagraphFormat&)>& set, const wchar_t* text = L"u",
                    bool newParagraph = true) {
  RtfParagraphFormat p;
  RtfGetParagraphFormat(&p);
  set(p);
  RtfSetParagraphFormat(p);
  RtfStartParagraph(text, newParagraph);
}

class RtfWriter : public ::testing::Test {
 protected:
  // The file written by open, body and close, with the defaults.
  std::string Document(const std::function<void()>& body, const wchar_t* fonts = nullptr,
                       const wchar_t* colours = nullptr) {
    const std::wstring path = temp.File(L"文档.rtf");
    EXPECT_EQ(RTF_SUCCESS, RtfOpen(path.c_str(), fonts, colours));
    body();
    EXPECT_EQ(RTF_SUCCESS, RtfClose());
    return testfiles::ReadBytes(path);
  }

  testenv::TempDir temp;
};

TEST_F(RtfWriter, WritesTheGoldenBytes) {
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
       [] {
         WriteParagraph([](RtfParagraphFormat& p) {
           p.alignment = 1, p.firstIndent = 100, p.leftIndent = 200, p.spaceAfter = 120;
           p.tabStop = true, p.tabKind = 2, p.tabLeader = 1, p.tabPosition = 3000;
           p.character.font = 1, p.character.size = 28, p.character.colour = 2, p.character.underline = 1;
           p.character.bold = p.character.italic = true;
         }, L"a\\b{c}中");
       },
       kHeader +
           R"(
\par\pard\plain\qc\tqr\tldot\tx3000\fi100\li200\ri0\sb0\sa120\sl0\animtext0\expndtw0\kerning0\charscalex100)"
           R"(\f1\fs28\cf2\b\caps0\striked0\i\outl0\shad0\scaps0\strike0\ul a\\b\{c\}\u20013?)" +
           kEnd},
      {"two-cell row", nullptr, nullptr,
       [] {
         RtfStartTableRow();
         RtfStartTableCell(2000);
         RtfTableCellFormat cell{};
         cell.borderBottom = RtfCellBorder{true, 0, 10, 0, 1};
         RtfSetTableCellFormat(cell);
         RtfStartTableCell(4000);
         for (const wchar_t* text : {L"甲", L"乙"}) {
           WriteParagraph([](RtfParagraphFormat& p) { p.inTable = true; }, text, false);
           RtfEndTableCell();
         }
         RtfEndTableRow();
       },
       kHeader + R"(
\trowd\trgaph115\trql\trleft0\trrh0\trpaddb0\trpaddfb3\trpaddl0\trpaddfl3\trpaddr0\trpaddfr3\trpaddt0\trpaddft3
\tcelld\clvertalt\cltxlrtb\cellx2000
\tcelld\clvertalt\cltxlrtb\clbrdrb\brdrs\brdrw10\brsp0\brdrcf1\cellx4000)" +
           InCell("\\u30002?") + InCell("\\u20057?") + "\n\\trgaph115\\row\\pard" + kEnd},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    std::string expected = row.bytes;
    for (size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2)
      if (!at || expected[at - 1] != '\r') expected.insert(at, 1, '\r');
    EXPECT_EQ(expected, Document(row.body, row.fonts, row.colours));
  }
}

// The keyword of each kind in the lists, written with the prefix ("." the prefix alone,
// "-" nothing), and nothing for the next kind, which is out of range.
std::vector<std::string> Keywords(const std::string& prefix, const std::string& names) {
  std::vector<std::string> keywords;
  std::istringstream in(names);
  for (std::string name; in >> name;) keywords.push_back(name == "-" ? "" : name == "." ? prefix : prefix + name);
  keywords.push_back("");
  return keywords;
}

TEST_F(RtfWriter, KeywordTablesGiveEachKindItsKeyword) {
  const std::string patterns = "- horiz vert fdiag bdiag cross dcross dkhoriz dkvert dkfdiag dkbdiag dkcross dkdcross";
  const struct {
    std::vector<std::string> keywords;
    const char *before, *after;  // what the keyword stands between
    std::function<void(int kind)> write;
  } tables[] = {
      {Keywords("\\brdr", "s th sh db dot dash hair inset dashsm dashd dashdd outset triple wavy wavydb dashdotstr "
                          "emboss engrave"),
       "\\brdrb", "\\brdrw15",
       [](int k) { WriteParagraph([k](RtfParagraphFormat& p) { p.border = true, p.borderSide = 2, p.borderKind = k, p.borderWidth = 15; }); }},
      {Keywords("\\bg", patterns), "\\shading5", "\\cfpat",
       [](int k) { WriteParagraph([k](RtfParagraphFormat& p) { p.shading = true, p.shadingIntensity = 5, p.shadingPattern = k; }); }},
      {Keywords("\\clbg", patterns), "\\cltxlrtb", "\\clshdng",
       [](int k) { RtfTableCellFormat c{}; c.shading = true, c.shadingPattern = k; RtfSetTableCellFormat(c), RtfStartTableCell(100); }},
      {Keywords("\\ul", "none . d dash dashd dashdd db hwave ldash th thd thdash thdashd thdashdd thldash uldbwave w wave"),
       "\\strike0", " u", [](int k) { WriteParagraph([k](RtfParagraphFormat& p) { p.character.underline = k; }); }},
      {Keywords("\\sbk", "none col page even odd"), "\\sectd", "\\pgwsxn",
       [](int k) { RtfSectionFormat s; RtfGetSectionFormat(&s), s.breakKind = k; RtfSetSectionFormat(s), RtfStartSection(); }},
  };
  for (const auto& table : tables) {
    for (size_t kind = 0; kind < table.keywords.size(); ++kind) {
      const std::string expected = table.before + table.keywords[kind] + table.after;
      const std::string bytes = Document([&] { table.write(static_cast<int>(kind)); });
      EXPECT_NE(std::string::npos, bytes.find(expected, kHeader.size())) << expected << " " << kind;
    }
  }
}

TEST_F(RtfWriter, RichEditReadsTheTextBack) {
  const std::vector<std::wstring> paragraphs{L"完整性监测简报", L"back\\slash {braces} Ä ß", L"第三段：路径 C:\\数据"};
  const std::string bytes = Document([&] {
    for (size_t i = 0; i < paragraphs.size(); ++i) RtfStartParagraph(paragraphs[i].c_str(), i > 0);
  });
  ASSERT_NE(nullptr, ::LoadLibraryW(L"riched20.dll"));
  HWND edit = ::CreateWindowExW(0, L"RichEdit20W", L"", ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
  SETTEXTEX rtf{ST_DEFAULT, CP_ACP};  // text that starts "{\rtf" is read as RTF
  ::SendMessageW(edit, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&rtf), reinterpret_cast<LPARAM>(bytes.c_str()));
  wchar_t text[256] = L"";
  ::GetWindowTextW(edit, text, 256);
  ::DestroyWindow(edit);
  std::wstring got = text;
  while (!got.empty() && (got.back() == L'\r' || got.back() == L'\n')) got.pop_back();
  EXPECT_EQ(paragraphs[0] + L"\r\n" + paragraphs[1] + L"\r\n" + paragraphs[2], got);
}

TEST_F(RtfWriter, PicturesAreWrittenAsMetafilesOfTheirKindOnly) {
  const std::wstring bmp = temp.File(L"图.BMP"), png = temp.File(L"图.png");
  ASSERT_TRUE(testfiles::WriteSolidBmp(bmp, 8, 4, RGB(255, 0, 0)) && testfiles::WriteBytes(png, "not a picture"));
  std::vector<int> results;
  const std::string bytes = Document([&] {
    for (const std::wstring& path : {bmp, png, temp.File(L"无.gif")}) results.push_back(RtfLoadImage(path.c_str(), 32, 16));
  });
  EXPECT_EQ((std::vector<int>{RTF_SUCCESS, RTF_IMAGE_ERROR, RTF_IMAGE_ERROR}), results);
  const std::string start = "\r\n{\\pict\\wmetafile8\\picwgoal480\\pichgoal240\\picscalex100\\picscaley100\r\n";
  const size_t at = bytes.find(start), end = bytes.find('}', at);
  ASSERT_NE(std::string::npos, at);
  std::string hex;
  std::vector<BYTE> metafile;
  for (size_t i = at + start.size(); i < end; ++i)
    if (bytes[i] != '\r' && bytes[i] != '\n' && (hex += bytes[i]).size() == 2) {
      metafile.push_back(static_cast<BYTE>(std::stoi(hex, nullptr, 16)));
      hex.clear();
    }
  ASSERT_TRUE(hex.empty() && metafile.size() >= sizeof(METAHEADER));
  EXPECT_EQ(metafile.size(), reinterpret_cast<const METAHEADER*>(metafile.data())->mtSize * 2u);  // in 16-bit words
  EXPECT_TRUE(::DeleteMetaFile(::SetMetaFileBitsEx(static_cast<UINT>(metafile.size()), metafile.data())));
  EXPECT_NE(std::string::npos, bytes.find("\r\n\\par\\pard *** Error! Wrong image format ***\\par", end));
  EXPECT_EQ(std::string::npos, bytes.find("{\\pict", end));
}

// A colour list it cannot use, or a document open already: refused before a file is made.
TEST_F(RtfWriter, RefusedOpenMakesNoFile) {
  const std::wstring file = temp.File(L"二.rtf");
  for (const wchar_t* colours : {L"0;0;256", L"0;0;-1", L"1;2", L"a;b;c"}) EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(file.c_str(), nullptr, colours));
  EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(file.c_str(), L";;"));
  Document([&] { EXPECT_EQ(RTF_OPEN_ERROR, RtfOpen(file.c_str())); });
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(file.c_str()));
  EXPECT_EQ(RTF_CLOSE_ERROR, RtfClose());
}

// A document the disk cannot hold fails at its close, and a file it was to replace
// stays as it was, with nothing of the document beside it.
TEST_F(RtfWriter, ADocumentTheDiskCannotHoldFailsAndKeepsTheEarlierFile) {
  testenv::SmallDisk disk;
  ASSERT_TRUE(disk.Mounted());
  const std::wstring file = disk.EarlierFile(L"报告.rtf", "earlier", 8 * 1024);
  ASSERT_FALSE(file.empty());
  ASSERT_EQ(RTF_SUCCESS, RtfOpen(file.c_str()));
  const std::wstring text(1000, L'字');
  for (int i = 0; i < 50; ++i) RtfStartParagraph(text.c_str(), true);
  EXPECT_EQ(RTF_CLOSE_ERROR, RtfClose());
  EXPECT_EQ("earlier", testfiles::ReadBytes(file));
  EXPECT_EQ(std::vector<std::wstring>{L"报告.rtf"}, testenv::SmallDisk::Names(disk.Path()));
}

}  // namespace
