#pragma once
// The strategy export and import file: root "strategys", one "strategy" element per
// StrategyTable row carrying the first 42 columns (RunStatus is left out) as
// attributes in column order, texts as they are and integers in decimal. No XML
// declaration; the values are in the ANSI code page, as earlier consoles wrote them,
// so this class only moves bytes: the caller converts. Every "&" of a value is
// written as "&amp;", so a value that looks like a character reference comes back as
// it was. Plain C++ over TinyXML.
//
// Reading goes by position: the first 42 attributes of every child element of the
// root, whatever their names and the element's name.
#include <string>
#include <vector>

#include "platform/XmlParse.h"

class StrategyXmlFile {
 public:
  enum : size_t { kAttributeCount = 42 };
  using Row = std::vector<std::string>;  // kAttributeCount values

  static const char* AttributeName(size_t position);

  // The document's text, every value whole.
  static std::string Write(const std::vector<Row>& rows);
  // The rows of a document. False, and rows empty, when the text is no XML document
  // with a root element or a child of the root has fewer than 42 attributes. *utf8
  // tells whether the values are UTF-8 or in the ANSI code page, as qv::ParseXml
  // settles it for every file (the code page without a declaration). A character
  // reference in the code page's text becomes its character there through toCodePage;
  // one it cannot hold refuses the text, *unheld set to the character.
  static bool Read(const std::string& text, std::vector<Row>& rows, bool* utf8 = nullptr,
                   const qv::XmlCodePageEncoder& toCodePage = nullptr, char32_t* unheld = nullptr);
};
