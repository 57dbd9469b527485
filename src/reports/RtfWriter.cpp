#include "reports/RtfWriter.h"

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/FileReplacement.h"
#include "platform/TextConv.h"

namespace {

const char kBanner[] = "rtflib ver. 1.0";

const char* const kDefaultFonts[] = {
    "{\\f0\\froman\\fcharset0\\cpg1252 Times New Roman}", "{\\f1\\fswiss\\fcharset0\\cpg1252 Arial}",
    "{\\f2\\fmodern\\fcharset0\\cpg1252 Courier New}",    "{\\f3\\fscript\\fcharset0\\cpg1252 Cursive}",
    "{\\f4\\fdecor\\fcharset0\\cpg1252 Old English}",     "{\\f5\\ftech\\fcharset0\\cpg1252 Symbol}",
    "{\\f6\\fbidi\\fcharset0\\cpg1252 Miriam}",
};
// Black, red, green, blue, yellow, magenta, cyan, white, dark red, dark green, dark
// blue, olive, purple, teal, grey.
const int kDefaultColours[][3] = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},   {0, 0, 255},   {255, 255, 0},
                                  {255, 0, 255}, {0, 255, 255}, {255, 255, 255}, {128, 0, 0}, {0, 128, 0},
                                  {0, 0, 128},   {128, 128, 0}, {128, 0, 128}, {0, 128, 128}, {128, 128, 128}};

const char* const kSectionBreaks[] = {"\\sbknone", "\\sbkcol", "\\sbkpage", "\\sbkeven", "\\sbkodd"};
const char* const kParagraphBreaks[] = {"", "\\page", "\\column", "\\line"};
const char* const kAlignments[] = {"\\ql", "\\qc", "\\qr", "\\qj"};
const char* const kTabKinds[] = {"", "\\tqc", "\\tqr", "\\tqdec"};
const char* const kTabLeaders[] = {"", "\\tldot", "\\tlmdot", "\\tlhyph", "\\tlul", "\\tlth", "\\tleq"};
const char* const kBorderSides[] = {"", "\\brdrt", "\\brdrb", "\\brdrl", "\\brdrr", "\\box"};
const char* const kBorderKinds[] = {
    "\\brdrs",        "\\brdrth",      "\\brdrsh",      "\\brdrdb",    "\\brdrdot",        "\\brdrdash",
    "\\brdrhair",     "\\brdrinset",   "\\brdrdashsm",  "\\brdrdashd", "\\brdrdashdd",     "\\brdroutset",
    "\\brdrtriple",   "\\brdrwavy",    "\\brdrwavydb",  "\\brdrdashdotstr", "\\brdremboss", "\\brdrengrave"};
const char* const kShadingPatterns[] = {"",          "\\bghoriz",    "\\bgvert",     "\\bgfdiag",  "\\bgbdiag",
                                        "\\bgcross", "\\bgdcross",   "\\bgdkhoriz",  "\\bgdkvert", "\\bgdkfdiag",
                                        "\\bgdkbdiag", "\\bgdkcross", "\\bgdkdcross"};
const char* const kCellShadingPatterns[] = {
    "",           "\\clbghoriz",  "\\clbgvert",     "\\clbgfdiag",   "\\clbgbdiag",    "\\clbgcross",   "\\clbgdcross",
    "\\clbgdkhoriz", "\\clbgdkvert", "\\clbgdkfdiag", "\\clbgdkbdiag", "\\clbgdkcross", "\\clbgdkdcross"};
const char* const kUnderlines[] = {"\\ulnone",  "\\ul",       "\\uld",        "\\uldash",     "\\uldashd",
                                   "\\uldashdd", "\\uldb",     "\\ulhwave",    "\\ulldash",    "\\ulth",
                                   "\\ulthd",    "\\ulthdash", "\\ulthdashd",  "\\ulthdashdd", "\\ulthldash",
                                   "\\ululdbwave", "\\ulw",    "\\ulwave"};
const char* const kRowAlignments[] = {"\\trql", "\\trqc", "\\trqr"};
const char* const kCellAlignments[] = {"\\clvertalt", "\\clvertalc", "\\clvertalb"};
const char* const kTextFlows[] = {"\\cltxlrtb", "\\cltxtbrl", "\\cltxbtlr", "\\cltxlrtbv", "\\cltxtbrlv"};

// The keyword of a table entry; nothing outside the table.
template <size_t N>
const char* Keyword(const char* const (&table)[N], int index) {
  return index >= 0 && static_cast<size_t>(index) < N ? table[index] : "";
}

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char small[512];
  const int n = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof small) return std::string(small, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(&big[0], big.size(), format, args);
  va_end(args);
  big.resize(static_cast<size_t>(n));
  return big;
}

// Text as RTF reads it back: its own delimiters escaped, the rest of Unicode as \uN?.
std::string Escape(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c == L'\\' || c == L'{' || c == L'}') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += Format("\\u%d?", static_cast<int>(static_cast<short>(c)));
    }
  }
  return out;
}

std::vector<std::wstring> Split(const wchar_t* list) {
  std::vector<std::wstring> items;
  std::wstring item;
  for (const wchar_t* p = list; p && *p; ++p) {
    if (*p == L';') {
      items.push_back(item);
      item.clear();
    } else {
      item += *p;
    }
  }
  items.push_back(item);
  return items;
}

std::wstring Trimmed(const std::wstring& text) {
  const size_t first = text.find_first_not_of(L" \t");
  if (first == std::wstring::npos) return std::wstring();
  return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

bool BuildFontTable(const wchar_t* list, std::string& table) {
  table.clear();
  int index = 0;
  for (const std::wstring& item : Split(list)) {
    const std::wstring face = Trimmed(item);
    if (!face.empty()) table += Format("{\\f%d\\fnil\\fcharset0\\cpg1252 %s}", index++, Escape(face).c_str());
  }
  return index > 0;
}

// False when an entry is no number from 0 to 255 or the entries do not make whole colours.
bool BuildColourTable(const wchar_t* list, std::string& table) {
  table.clear();
  std::vector<int> values;
  for (const std::wstring& item : Split(list)) {
    const std::wstring number = Trimmed(item);
    if (number.empty()) continue;
    if (number.size() > 3 || number.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    const int value = std::stoi(number);
    if (value > 255) return false;
    values.push_back(value);
  }
  if (values.empty() || values.size() % 3) return false;
  for (size_t i = 0; i < values.size(); i += 3)
    table += Format("\\red%d\\green%d\\blue%d;", values[i], values[i + 1], values[i + 2]);
  return true;
}

struct ComRelease {
  void operator()(IUnknown* object) const { object->Release(); }
};
struct MetafileDeleter {
  void operator()(HMETAFILE__* metafile) const { ::DeleteMetaFile(metafile); }
};

// The one document being written.
struct RtfState {
  std::unique_ptr<FileReplacement> file;
  std::string fonts;
  std::string colours;
  RtfDocumentFormat document;
  RtfSectionFormat section;
  RtfParagraphFormat paragraph;
  RtfTableRowFormat row;
  RtfTableCellFormat cell;
  std::unique_ptr<IPicture, ComRelease> picture;
};

RtfState& State() {
  static RtfState state;
  return state;
}

// As a text-mode file writes: each "\n" as "\r\n".
bool Write(const std::string& text) {
  FileReplacement* file = State().file.get();
  if (!file) return false;
  std::string lines;
  lines.reserve(text.size() + text.size() / 32);
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  return file->Write(lines);
}

int WriteOr(const std::string& text, int error) { return Write(text) ? RTF_SUCCESS : error; }

void SetDefaults(RtfState& s) {
  s.fonts.clear();
  for (const char* font : kDefaultFonts) s.fonts += font;
  s.colours.clear();
  for (const auto& c : kDefaultColours) s.colours += Format("\\red%d\\green%d\\blue%d;", c[0], c[1], c[2]);
  s.document = RtfDocumentFormat{1, 100, 12240, 15840, 1800, 1800, 1440, 1440, 0, false, false};
  s.section = RtfSectionFormat{};
  s.section.defaultSection = true;
  s.section.pageNumberX = 720;
  s.section.pageNumberY = 720;
  s.section.columnCount = 1;
  s.section.columnSpace = 720;
  s.section.pageWidth = s.document.paperWidth;
  s.section.pageHeight = s.document.paperHeight;
  s.section.marginLeft = s.document.marginLeft;
  s.section.marginRight = s.document.marginRight;
  s.section.marginTop = s.document.marginTop;
  s.section.marginBottom = s.document.marginBottom;
  s.section.headerY = 720;
  s.section.footerY = 720;
  s.paragraph = RtfParagraphFormat{};
  s.paragraph.newParagraph = true;
  s.paragraph.defaultParagraph = true;
  s.paragraph.character.scale = 100;
  s.paragraph.character.size = 24;
  s.row = RtfTableRowFormat{};
  s.cell = RtfTableCellFormat{};
}

std::string DocumentFormatText(const RtfDocumentFormat& d) {
  std::string text = Format("\\viewkind%d\\viewscale%d\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d\\gutter%d",
                            d.viewKind, d.viewScale, d.paperWidth, d.paperHeight, d.marginLeft, d.marginRight,
                            d.marginTop, d.marginBottom, d.gutterWidth);
  if (d.facingPages) text += "\\facingp";
  if (d.annotationsProtected) text += "\\annotprot";
  return text;
}

std::string SectionFormatText(const RtfSectionFormat& s) {
  std::string first;
  if (s.newSection) first += "\\sect";
  if (s.defaultSection) first += "\\sectd";
  if (s.showPageNumber) first += Format("\\pgnx%d\\pgny%d", s.pageNumberX, s.pageNumberY);
  std::string columns;
  if (s.columns) {
    columns = Format("\\cols%d\\colsx%d", s.columnCount, s.columnSpace);
    if (s.columnLine) columns += "\\linebetcol";
  }
  return Format("\n%s%s%s\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\\guttersxn%d"
                "\\headery%d\\footery%d",
                first.c_str(), Keyword(kSectionBreaks, s.breakKind), columns.c_str(), s.pageWidth, s.pageHeight,
                s.marginLeft, s.marginRight, s.marginTop, s.marginBottom, s.gutterWidth, s.headerY, s.footerY);
}

std::string CharacterFormatText(const RtfCharacterFormat& c) {
  std::string text = Format("\\animtext%d\\expndtw%d\\kerning%d\\charscalex%d\\f%d\\fs%d\\cf%d", c.animation,
                            c.expansion, c.kerning, c.scale, c.font, c.size, c.colour);
  text += c.bold ? "\\b" : "\\b0";
  text += c.caps ? "\\caps" : "\\caps0";
  text += c.doubleStrike ? "\\striked1" : "\\striked0";
  if (c.emboss) text += "\\embo";
  if (c.engrave) text += "\\impr";
  text += c.italic ? "\\i" : "\\i0";
  text += c.outline ? "\\outl" : "\\outl0";
  text += c.shadow ? "\\shad" : "\\shad0";
  text += c.smallCaps ? "\\scaps" : "\\scaps0";
  text += c.strike ? "\\strike" : "\\strike0";
  if (c.subscript) text += "\\sub";
  if (c.superscript) text += "\\super";
  text += Keyword(kUnderlines, c.underline);
  return text;
}

std::string ParagraphText(const RtfParagraphFormat& p) {
  if (p.tabMode) return "\\tab " + Escape(p.text);
  std::string part;
  if (p.newParagraph) part += "\\par";
  if (p.defaultParagraph) part += "\\pard";
  part += p.inTable ? "\\intbl" : "\\plain";
  part += Keyword(kParagraphBreaks, p.breakKind);
  part += Keyword(kAlignments, p.alignment);
  if (p.tabStop)
    part += Format("%s%s\\tx%d", Keyword(kTabKinds, p.tabKind), Keyword(kTabLeaders, p.tabLeader), p.tabPosition);
  if (p.numbering)
    part += Format("{\\*\\pn\\pnlvl%d\\pnsp%d\\pntxtb %s}", p.numberingLevel, p.numberingSpace,
                   Escape(std::wstring(1, p.bullet)).c_str());
  if (p.border)
    part += Format("%s%s\\brdrw%d\\brsp%d\\brdrcf%d", Keyword(kBorderSides, p.borderSide),
                   Keyword(kBorderKinds, p.borderKind), p.borderWidth, p.borderSpace, p.borderColour);
  if (p.shading)
    part += Format("\\shading%d%s\\cfpat%d\\cbpat%d", p.shadingIntensity, Keyword(kShadingPatterns, p.shadingPattern),
                   p.shadingForeColour, p.shadingBackColour);
  return Format("\n%s\\fi%d\\li%d\\ri%d\\sb%d\\sa%d\\sl%d%s %s", part.c_str(), p.firstIndent, p.leftIndent,
                p.rightIndent, p.spaceBefore, p.spaceAfter, p.lineSpacing, CharacterFormatText(p.character).c_str(),
                Escape(p.text).c_str());
}

std::string CellBorderText(const char* side, const RtfCellBorder& b) {
  if (!b.on) return std::string();
  return Format("%s%s\\brdrw%d\\brsp%d\\brdrcf%d", side, Keyword(kBorderKinds, b.kind), b.width, b.space, b.colour);
}

std::string CellText(const RtfTableCellFormat& c, int rightEdge) {
  std::string shading;
  if (c.shading)
    shading = Format("%s\\clshdng%d\\clcfpat%d\\clcbpat%d", Keyword(kCellShadingPatterns, c.shadingPattern),
                     c.shadingIntensity, c.shadingForeColour, c.shadingBackColour);
  return Format("\n\\tcelld%s%s%s%s%s%s%s\\cellx%d", Keyword(kCellAlignments, c.verticalAlignment),
                Keyword(kTextFlows, c.textFlow), CellBorderText("\\clbrdrb", c.borderBottom).c_str(),
                CellBorderText("\\clbrdrl", c.borderLeft).c_str(), CellBorderText("\\clbrdrr", c.borderRight).c_str(),
                CellBorderText("\\clbrdrt", c.borderTop).c_str(), shading.c_str(), rightEdge);
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix) {
  const size_t n = wcslen(suffix);
  return text.size() >= n && ::CompareStringOrdinal(text.c_str() + text.size() - n, static_cast<int>(n), suffix,
                                                    static_cast<int>(n), TRUE) == CSTR_EQUAL;
}

// The file as an OLE picture, or null.
IPicture* LoadPicture(const wchar_t* path) {
  HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const DWORD size = ::GetFileSize(file, nullptr);
  HGLOBAL memory = size && size != INVALID_FILE_SIZE ? ::GlobalAlloc(GMEM_MOVEABLE, size) : nullptr;
  DWORD read = 0;
  bool loaded = false;
  if (memory) {
    void* bytes = ::GlobalLock(memory);
    loaded = bytes && ::ReadFile(file, bytes, size, &read, nullptr) && read == size;
    ::GlobalUnlock(memory);
  }
  ::CloseHandle(file);
  IStream* stream = nullptr;
  // The stream frees the memory when it goes.
  if (!memory || !loaded || FAILED(::CreateStreamOnHGlobal(memory, TRUE, &stream))) {
    if (memory) ::GlobalFree(memory);
    return nullptr;
  }
  std::unique_ptr<IStream, ComRelease> holder(stream);
  IPicture* picture = nullptr;
  if (FAILED(::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                              reinterpret_cast<void**>(&picture))))
    return nullptr;
  return picture;
}

// The picture played into a Windows metafile of width by height; empty on failure.
std::vector<BYTE> MetafileBytes(IPicture* picture, int width, int height) {
  HDC dc = ::CreateMetaFileW(nullptr);
  if (!dc) return {};
  ::SetMapMode(dc, MM_ANISOTROPIC);
  ::SetWindowOrgEx(dc, 0, 0, nullptr);
  ::SetWindowExtEx(dc, width, height, nullptr);
  OLE_XSIZE_HIMETRIC hmWidth = 0;
  OLE_YSIZE_HIMETRIC hmHeight = 0;
  picture->get_Width(&hmWidth);
  picture->get_Height(&hmHeight);
  // Pictures measure upwards from their lower edge.
  const HRESULT drawn = picture->Render(dc, 0, 0, width, height, 0, hmHeight, hmWidth, -hmHeight, nullptr);
  std::unique_ptr<HMETAFILE__, MetafileDeleter> metafile(::CloseMetaFile(dc));
  if (FAILED(drawn) || !metafile) return {};
  const UINT size = ::GetMetaFileBitsEx(metafile.get(), 0, nullptr);
  std::vector<BYTE> bytes(size);
  if (!size || ::GetMetaFileBitsEx(metafile.get(), size, bytes.data()) != size) return {};
  return bytes;
}

}  // namespace

int RtfOpen(const wchar_t* path, const wchar_t* fonts, const wchar_t* colours) {
  RtfState& s = State();
  if (s.file) return RTF_OPEN_ERROR;
  SetDefaults(s);
  std::string table;
  if (fonts && *fonts) {
    if (!BuildFontTable(fonts, table)) return RTF_OPEN_ERROR;
    s.fonts = table;
  }
  if (colours && *colours) {
    if (!BuildColourTable(colours, table)) return RTF_OPEN_ERROR;
    s.colours = table;
  }
  if (!path) return RTF_OPEN_ERROR;
  s.file = std::make_unique<FileReplacement>(path);
  if (s.file->Error()) {
    s.file.reset();
    return RTF_OPEN_ERROR;
  }
  const std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl" + s.fonts + "}{\\colortbl" + s.colours +
                             "}{\\*\\generator " + kBanner + ";}\n{\\info{\\author " + kBanner +
                             "}{\\company Velmor Company LTD.}}";
  // A document whose start could not be written is given up, so that another can open.
  const int result = !Write(header)                        ? RTF_HEADER_ERROR
                     : !Write(DocumentFormatText(s.document)) ? RTF_DOCUMENTFORMAT_ERROR
                     : !Write(SectionFormatText(s.section))  ? RTF_SECTIONFORMAT_ERROR
                                                             : RTF_SUCCESS;
  if (result != RTF_SUCCESS) s.file.reset();
  return result;
}

int RtfClose() {
  RtfState& s = State();
  s.picture.reset();
  if (!s.file) return RTF_CLOSE_ERROR;
  const bool written = Write("\n\\par}") && s.file->Commit();
  s.file.reset();
  return written ? RTF_SUCCESS : RTF_CLOSE_ERROR;
}

void RtfSetDocumentFormat(const RtfDocumentFormat& format) { State().document = format; }
void RtfGetDocumentFormat(RtfDocumentFormat* format) { *format = State().document; }
void RtfSetSectionFormat(const RtfSectionFormat& format) { State().section = format; }
void RtfGetSectionFormat(RtfSectionFormat* format) { *format = State().section; }

int RtfStartSection() {
  RtfState& s = State();
  s.section.newSection = true;
  return WriteOr(SectionFormatText(s.section), RTF_SECTIONFORMAT_ERROR);
}

void RtfSetParagraphFormat(const RtfParagraphFormat& format) { State().paragraph = format; }
void RtfGetParagraphFormat(RtfParagraphFormat* format) { *format = State().paragraph; }

int RtfStartParagraph(const wchar_t* text, bool newParagraph) {
  RtfState& s = State();
  s.paragraph.text = qv::OrEmpty(text);
  s.paragraph.newParagraph = newParagraph;
  return WriteOr(ParagraphText(s.paragraph), RTF_PARAGRAPHFORMAT_ERROR);
}

int RtfLoadImage(const wchar_t* path, int width, int height) {
  RtfState& s = State();
  if (!s.file) return RTF_IMAGE_ERROR;
  const std::wstring name = qv::OrEmpty(path);
  if (!EndsWithNoCase(name, L".bmp") && !EndsWithNoCase(name, L".jpg") && !EndsWithNoCase(name, L".gif")) {
    Write("\n\\par\\pard *** Error! Wrong image format ***\\par");
    return RTF_IMAGE_ERROR;
  }
  s.picture.reset(LoadPicture(path));
  if (!s.picture || width <= 0 || height <= 0) return RTF_IMAGE_ERROR;
  const std::vector<BYTE> bytes = MetafileBytes(s.picture.get(), width, height);
  if (bytes.empty()) return RTF_IMAGE_ERROR;
  // Goals in twips, at 15 twips to the pixel.
  std::string text = Format("\n{\\pict\\wmetafile8\\picwgoal%d\\pichgoal%d\\picscalex%d\\picscaley%d\n", width * 15,
                            height * 15, 100, 100);
  static const char kHex[] = "0123456789abcdef";
  text.reserve(text.size() + bytes.size() * 2 + bytes.size() / 64 + 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    text += kHex[bytes[i] >> 4];
    text += kHex[bytes[i] & 15];
    if (i % 64 == 63) text += '\n';
  }
  text += '}';
  return WriteOr(text, RTF_IMAGE_ERROR);
}

void RtfSetTableRowFormat(const RtfTableRowFormat& format) { State().row = format; }
void RtfGetTableRowFormat(RtfTableRowFormat* format) { *format = State().row; }
void RtfSetTableCellFormat(const RtfTableCellFormat& format) { State().cell = format; }
void RtfGetTableCellFormat(RtfTableCellFormat* format) { *format = State().cell; }

int RtfStartTableRow() {
  const RtfTableRowFormat& r = State().row;
  return WriteOr(Format("\n\\trowd\\trgaph115%s\\trleft%d\\trrh%d\\trpaddb%d\\trpaddfb3\\trpaddl%d\\trpaddfl3"
                        "\\trpaddr%d\\trpaddfr3\\trpaddt%d\\trpaddft3",
                        Keyword(kRowAlignments, r.alignment), r.left, r.height, r.paddingBottom, r.paddingLeft,
                        r.paddingRight, r.paddingTop),
                 RTF_TABLE_ERROR);
}

int RtfEndTableRow() { return WriteOr("\n\\trgaph115\\row\\pard", RTF_TABLE_ERROR); }

int RtfStartTableCell(int rightEdge) { return WriteOr(CellText(State().cell, rightEdge), RTF_TABLE_ERROR); }

int RtfEndTableCell() { return WriteOr("\n\\cell ", RTF_TABLE_ERROR); }
