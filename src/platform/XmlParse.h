#pragma once
// Parses XML that came from outside (a file a user picked, an answer over the network)
// with TinyXML, guarding the parser's weak spots: it recurses once per nested element,
// so a crafted text would run it out of stack; in UTF-8 it steps over as many bytes as a
// lead byte claims, past the text's end or over the markup behind it; and it looks each
// attribute up among those of its element before it adds it, which costs the square of
// their number. The nesting is counted before the parser runs, so the count must read
// the markup exactly as the parser will: text where the two could read it apart is
// refused, never parsed. The checks take time in proportion to the text, however it is
// made: it may be an answer of many megabytes.
#include <tinyxml.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

enum : size_t { kMaxXmlDepth = 32, kMaxXmlAttributes = 256 };

// Puts UTF-16 text into the ANSI code page: false when a character has no form there
// (no best fit, no default character), as qv::WideToAnsiExact does.
using XmlCodePageEncoder = std::function<bool(std::wstring_view text, std::string& bytes)>;

// False, with the document left as it was, when the text nests elements deeper than
// maxDepth, or has an element with more than kMaxXmlAttributes attributes, or is to be
// read as UTF-8 and is not well-formed UTF-8, or has a malformed character reference
// (no digits, another character among them, no ';', or naming no character: 0, a
// surrogate, past U+10FFFF); else the document parsed and true unless it has an error.
// TIXML_DEFAULT_ENCODING is settled here, not by the parser, by the one rule for every
// file the console reads: a byte-order mark or a declaration naming UTF-8 makes the
// text UTF-8; a declaration naming another encoding makes it the ANSI code page's; a
// declaration naming none makes it UTF-8 when it is well-formed UTF-8, else the code
// page's; without a declaration it is the code page's, as the console writes its own
// files. The code page's text is read byte by byte (TIXML_ENCODING_LEGACY), and its
// values are the caller's to convert. *settled, when given, gets the encoding read.
// A reference names its character in the code page's text too: one from U+0080 up,
// where the parser reads references (text and quoted values), becomes the character's
// bytes as toCodePage gives them, where the parser alone would keep the number's low
// byte. The text is refused, *unheld set to the character, when the code page has no
// form for it or no toCodePage is given. Comments, sections, processing instructions
// and other declarations hold no references.
bool ParseXml(TiXmlDocument& doc, std::string_view text, TiXmlEncoding encoding,
              size_t maxDepth = kMaxXmlDepth, TiXmlEncoding* settled = nullptr,
              const XmlCodePageEncoder& toCodePage = nullptr, char32_t* unheld = nullptr);

// The checks of ParseXml before the parse, alone (no toCodePage): false when it refuses
// the text; else the encoding settled as the parse will take it.
bool CheckXml(std::string_view text, TiXmlEncoding* encoding, size_t maxDepth = kMaxXmlDepth);

// The deepest element nesting, found by looking at the markup only, as the parser reads
// it in UTF-8 (utf8) or byte by byte. Quotes count only inside tags and declarations;
// comments, sections and other declarations are skipped whole.
size_t XmlNestingDepth(std::string_view text, bool utf8 = false);

// Every character encoded in the shortest form, no surrogates, nothing past U+10FFFF.
bool IsWellFormedUtf8(std::string_view text);

// The deepest element nesting of a parsed tree (an element at the top counts 1).
size_t XmlTreeDepth(const TiXmlNode& node);

// The bytes as an attribute value or text of the console's own files, appended to out:
// & < > and both quotes as entities, every byte below 0x20 as "&#xN;", the rest as it
// is (no code page the console writes has those bytes inside a character). Unlike the
// parser's own printer, which leaves "&#x" as it finds it, every "&" is escaped, so a
// value that looks like a character reference reads back as it was.
void AppendXmlEscaped(std::string& out, std::string_view bytes);

}  // namespace qv
