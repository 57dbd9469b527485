#pragma once
// A writer of Rich Text Format documents ("rtflib ver. 1.0"). One document at a time,
// process-wide and from one thread: RtfOpen (file, font and colour tables, document
// and section formats), then sections, paragraphs, table rows and cells and pictures
// in any order, then RtfClose. The formats are copied in and out whole; the paragraph
// format carries its text. Texts are UTF-16: "\", "{" and "}" are escaped, and every
// character outside ASCII is written as \uN? (N the signed 16-bit unit), so any
// reader gets the text whatever its code page. Writing operations return
// RTF_SUCCESS or their error code. The file takes the place of an earlier one only
// when RtfClose has written it whole.
#include <string>

enum RtfResult {
  RTF_SUCCESS = 4096,
  RTF_OPEN_ERROR = 1,  // also: a document is open already, or a font or colour list is unusable
  RTF_CLOSE_ERROR = 2,
  RTF_HEADER_ERROR = 3,
  RTF_DOCUMENTFORMAT_ERROR = 4,
  RTF_SECTIONFORMAT_ERROR = 5,
  RTF_PARAGRAPHFORMAT_ERROR = 6,
  RTF_IMAGE_ERROR = 7,
  RTF_TABLE_ERROR = 8,
};

struct RtfDocumentFormat {
  int viewKind;
  int viewScale;  // percent
  int paperWidth;  // twips, as every length below
  int paperHeight;
  int marginLeft;
  int marginRight;
  int marginTop;
  int marginBottom;
  int gutterWidth;
  bool facingPages;
  bool annotationsProtected;
};

struct RtfSectionFormat {
  bool newSection;
  bool defaultSection;
  bool showPageNumber;
  int pageNumberX;
  int pageNumberY;
  int breakKind;  // 0 none, 1 column, 2 page, 3 even page, 4 odd page
  bool columns;
  int columnCount;
  int columnSpace;
  bool columnLine;
  int pageWidth;
  int pageHeight;
  int marginLeft;
  int marginRight;
  int marginTop;
  int marginBottom;
  int gutterWidth;
  int headerY;
  int footerY;
};

struct RtfCharacterFormat {
  int animation;
  int expansion;
  int kerning;
  int scale;  // percent
  int font;   // index into the font table
  int size;   // half points
  int colour;  // index into the colour table
  bool bold;
  bool caps;
  bool doubleStrike;
  bool emboss;
  bool engrave;
  bool italic;
  bool outline;
  bool shadow;
  bool smallCaps;
  bool strike;
  bool subscript;
  bool superscript;
  int underline;  // 0 none ... 17, see the writer
};

struct RtfParagraphFormat {
  bool newParagraph;
  bool defaultParagraph;
  bool inTable;
  int breakKind;  // 0 none, 1 page, 2 column, 3 line
  int alignment;  // 0 left, 1 centre, 2 right, 3 justified
  int firstIndent;
  int leftIndent;
  int rightIndent;
  int spaceBefore;
  int spaceAfter;
  int lineSpacing;
  bool tabMode;  // the text follows a tab, without paragraph settings
  bool tabStop;
  int tabKind;    // 0 left, 1 centre, 2 right, 3 decimal
  int tabLeader;  // 0 none, 1 dots ... 6 equal signs
  int tabPosition;
  bool numbering;
  int numberingLevel;
  int numberingSpace;
  wchar_t bullet;
  bool border;
  int borderSide;  // 1 top, 2 bottom, 3 left, 4 right, 5 box
  int borderKind;  // 0-17
  int borderWidth;
  int borderSpace;
  int borderColour;
  bool shading;
  int shadingIntensity;
  int shadingPattern;  // 0 none, 1-12
  int shadingForeColour;
  int shadingBackColour;
  RtfCharacterFormat character;
  std::wstring text;
};

struct RtfTableRowFormat {
  int alignment;  // 0 left, 1 centre, 2 right
  int left;
  int height;
  int paddingBottom;
  int paddingLeft;
  int paddingRight;
  int paddingTop;
};

struct RtfCellBorder {
  bool on;
  int kind;  // as the paragraph border's
  int width;
  int space;
  int colour;
};

struct RtfTableCellFormat {
  int verticalAlignment;  // 0 top, 1 centre, 2 bottom
  int textFlow;           // 0-4
  RtfCellBorder borderBottom;
  RtfCellBorder borderLeft;
  RtfCellBorder borderRight;
  RtfCellBorder borderTop;
  bool shading;
  int shadingIntensity;
  int shadingPattern;
  int shadingForeColour;
  int shadingBackColour;
};

// fonts: face names separated by ";", replacing the default table; colours: numbers
// 0-255 separated by ";", three per colour, replacing the default table. Null or
// empty keeps the defaults.
int RtfOpen(const wchar_t* path, const wchar_t* fonts = nullptr, const wchar_t* colours = nullptr);
int RtfClose();

void RtfSetDocumentFormat(const RtfDocumentFormat& format);
void RtfGetDocumentFormat(RtfDocumentFormat* format);
void RtfSetSectionFormat(const RtfSectionFormat& format);
void RtfGetSectionFormat(RtfSectionFormat* format);
int RtfStartSection();

void RtfSetParagraphFormat(const RtfParagraphFormat& format);
void RtfGetParagraphFormat(RtfParagraphFormat* format);
int RtfStartParagraph(const wchar_t* text, bool newParagraph);

// A ".bmp", ".jpg" or ".gif" picture, drawn at width by height pixels. Another kind
// leaves a visible error line in the document and RTF_IMAGE_ERROR.
int RtfLoadImage(const wchar_t* path, int width, int height);

void RtfSetTableRowFormat(const RtfTableRowFormat& format);
void RtfGetTableRowFormat(RtfTableRowFormat* format);
void RtfSetTableCellFormat(const RtfTableCellFormat& format);
void RtfGetTableCellFormat(RtfTableCellFormat* format);
int RtfStartTableRow();
int RtfEndTableRow();
int RtfStartTableCell(int rightEdge);
int RtfEndTableCell();
