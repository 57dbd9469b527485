// The checks before the parse walk the text once, sixteen bytes at a time where they
// can, catching up on the bytes of a tag, comment or declaration that the markup walk
// stepped over. Where that walk could go wrong (a reference or a character across a
// block of sixteen, across the place where the markup walk hands over, at the end of the
// text, in markup nested in markup) the verdicts are those of the checks read one by
// one; and no element gets more attributes past them than the parser looks up cheaply.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/XmlParse.h"

namespace {

enum Verdict { kRefused, kParsed, kParseError };

struct Case {
  std::string name;
  std::string text;
  TiXmlEncoding encoding;
  Verdict verdict;
  size_t maxDepth = qv::kMaxXmlDepth;
};

Verdict Parse(const Case& c) {
  TiXmlDocument doc;
  if (qv::ParseXml(doc, c.text, c.encoding, c.maxDepth)) return kParsed;
  return doc.Error() ? kParseError : kRefused;
}

std::string Attributes(size_t count) {
  std::string tag = "<r";
  for (size_t i = 0; i < count; ++i) tag += " a" + std::to_string(i) + "=''";
  return tag + "/>";
}

std::vector<Case> Cases() {
  const TiXmlEncoding utf8 = TIXML_ENCODING_UTF8, legacy = TIXML_ENCODING_LEGACY, unknown = TIXML_ENCODING_UNKNOWN;
  std::vector<Case> cases = {
      {"\"&#\" at the end", "<r/>&#", utf8, kRefused},
      {"\"&\" at the end", "<r/>&", legacy, kParsed},
      {"\"&#x\" at the end, inside the root", "<r>&#x", legacy, kRefused},
      {"\"&\" and \"#\" apart", "<r>&</r>#<a/>", utf8, kParsed},
      {"reference over the end tag", "<r>&#</r>", utf8, kRefused},
      {"hex reference over the end tag", "<r>&#x</r>", legacy, kRefused},
      {"hex reference", "<r>&#x41;</r>", utf8, kParsed},
      {"reference over a tag to a ';' inside it", "<r>&#<a;/></r>", utf8, kRefused},
      {"reference ended by NUL", std::string("<r>&#\0<a/></r>", 14), legacy, kRefused},
      {"reference in a tag over its '>'", "<r a=&#1>x</r>", legacy, kRefused},
      {"reference in a quoted value over its quote", "<r a='&#'/>", utf8, kRefused},
      {"reference in a quoted value", "<r a='&#65;' b=\"&#x42;\"/>", utf8, kParsed},
      {"no reference in a comment", "<r><!--&#--></r>", utf8, kParsed},
      {"reference in a comment", "<r><!--&#;--></r>", utf8, kParsed},
      {"no reference in a section", "<r><![CDATA[&#]]></r>", legacy, kParsed},
      {"reference in a declaration over its end", "<r><?xml version='&#'?></r>", legacy, kRefused},
      {"reference from a tag into the text", "<r a=&#1 b='1;'>", legacy, kRefused},
      {"reference over a character", "<r>&#\xE4\xB8\xAD;</r>", utf8, kRefused},
      {"nested references", "<r><a><b>&#65;&#x42;</b><c a='&#67;'/></a></r>", utf8, kParsed},
      {"nested, one reference over markup", "<r><a><b>&#65</b><c a='&#67;'/></a></r>", utf8, kRefused},
      {"character in a tag", "<r a='\xE4\xB8\xAD'/>", utf8, kParsed},
      {"character cut in a tag", "<r a='\xE4\xB8'/>", utf8, kRefused},
      {"character cut in a tag, byte by byte", "<r a='\xE4\xB8'/>", legacy, kParsed},
      {"character cut at the end", "<r/>\xF0\x9F\x98", utf8, kRefused},
      {"character cut in a comment", "<r><!--\xC3--></r>", utf8, kRefused},
      {"character right before markup", "<r>\xC3\xA9<a/>\xF0\x9F\x98\x80</r>", utf8, kParsed},
      // A declaration naming no encoding: UTF-8 only where the whole text is. Read as
      // UTF-8 the inner declaration takes the byte-order mark as space and its quoted
      // version holds "><!--"; byte by byte its first '>' ends it and the comment hides
      // the nesting: the text is not UTF-8 (the cut character at its end), so the count
      // is the one byte by byte.
      {"declared, not UTF-8: counted byte by byte",
       "<?xml version='1.0'?><r><?xml\xEF\xBB\xBFversion='><!--'?><a><a/></a></r>\xC3", unknown, kParseError, 2},
      {"declared, UTF-8: counted in UTF-8",
       "<?xml version='1.0'?><r><?xml\xEF\xBB\xBFversion='><!--'?><a><a/></a></r>\xC3\xA9", unknown, kRefused, 2},
      {"declared, not UTF-8: nested as deep as the limit",
       "<?xml version='1.0'?><r><a>\xC3</a></r>", unknown, kParsed, 2},
      {"attributes up to the limit", Attributes(qv::kMaxXmlAttributes), utf8, kParsed},
      {"attributes over the limit", Attributes(qv::kMaxXmlAttributes + 1), legacy, kRefused},
      // The parser reads references in text and quoted values only.
      {"no reference in a processing instruction", "<r><?pi &#?></r>", legacy, kParsed},
      {"no reference in one the parser takes for a declaration", "<?xml-stylesheet href='a&#'?><r/>", utf8, kParsed},
      {"no reference in a document type", "<!DOCTYPE r SYSTEM 'a&#.dtd'><r/>", legacy, kParsed},
      {"no reference in an end tag", "<r></r &#>", legacy, kParseError},
      // In the code page, nothing to put the character into.
      {"reference past U+007F, byte by byte", "<r>&#x5F20;</r>", legacy, kRefused},
      {"reference past U+007F in a comment", "<r a='&#127;'><!--&#x5F20;--></r>", legacy, kParsed},
      {"'=' in a quoted value is no attribute", "<r a='" + std::string(qv::kMaxXmlAttributes * 2, '=') + "'/>", utf8,
       kParsed},
  };
  // Every place of a reference, its markup and a character across the blocks of
  // sixteen bytes.
  for (size_t pad = 0; pad <= 34; ++pad) {
    const std::string at = " at " + std::to_string(pad);
    const std::string zeros(pad, '0'), spaces(pad, ' ');
    cases.push_back({"reference over markup" + at, "<r>&#" + zeros + "</r>", utf8, kRefused});
    cases.push_back({"reference ended" + at, "<r>&#" + zeros + "65;</r>", utf8, kParsed});
    cases.push_back({"reference over a quote" + at, "<r a='&#" + zeros + "'/>", legacy, kRefused});
    cases.push_back({"reference over a tag's end" + at, "<r a=&#" + zeros + "/>", legacy, kRefused});
    cases.push_back({"reference ended by NUL" + at, "<r>&#" + zeros + std::string(1, '\0') + "<a/></r>", legacy,
                     kRefused});
    cases.push_back({"reference opening" + at, "<r>" + spaces + "&#</r>", legacy, kRefused});
    cases.push_back({"reference over a character" + at, "<r>&#" + zeros + "\xC3\xA9;</r>", utf8, kRefused});
    cases.push_back({"reference over a cut character" + at, "<r>&#" + zeros + "\xC3;</r>", utf8, kRefused});
    cases.push_back({"character" + at, "<r>" + spaces + "\xF0\x9F\x98\x80</r>", utf8, kParsed});
    cases.push_back({"character cut" + at, "<r>" + spaces + "\xF0\x9F\x98</r>", utf8, kRefused});
  }
  return cases;
}

TEST(XmlCheck, VerdictsWhereTheOneWalkCouldGoWrong) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.verdict, Parse(c));
  }
}

// In the code page's text each reference from U+0080 up becomes its character's bytes
// there, where the parser reads references and nowhere else; a character the code page
// lacks, or bytes the parser would take for markup, refuse the text.
TEST(XmlCheck, PutsReferencesIntoTheCodePageWhereTheParserReadsThem) {
  std::vector<std::wstring> asked;
  const qv::XmlCodePageEncoder toCodePage = [&asked](std::wstring_view text, std::string& bytes) {
    asked.emplace_back(text);
    bytes = text == L"\x5F20" ? "\xD5\xC5" : text == L"\xD83D\xDE00" ? "\x94\x39\xFC\x36" : "";
    return !bytes.empty();
  };
  TiXmlDocument doc;
  TiXmlEncoding settled = TIXML_ENCODING_UNKNOWN;
  char32_t unheld = 7;
  ASSERT_TRUE(qv::ParseXml(doc,
                           "<?xml version='1.0'?><r a=\"&#x5F20;\" b=&#x5F20; c='&#128512;&#65;'><!--&#x5F20;-->"
                           "&#24352;&amp;#x5F20;<![CDATA[&#x5F20;]]><?pi &#x5F20;?></r>\xD6",
                           TIXML_DEFAULT_ENCODING, qv::kMaxXmlDepth, &settled, toCodePage, &unheld));
  EXPECT_EQ(TIXML_ENCODING_LEGACY, settled);
  EXPECT_EQ(0u, unheld);
  const TiXmlElement* r = doc.RootElement();
  ASSERT_TRUE(r);
  EXPECT_STREQ("\xD5\xC5", r->Attribute("a"));
  EXPECT_STREQ("&#x5F20;", r->Attribute("b"));  // unquoted: the parser keeps it as it stands
  EXPECT_STREQ("\x94\x39\xFC\x36" "A", r->Attribute("c"));
  std::string text;
  for (const TiXmlNode* node = r->FirstChild(); node; node = node->NextSibling()) text += node->ValueStr() + "|";
  EXPECT_EQ("&#x5F20;|\xD5\xC5&#x5F20;|&#x5F20;|?pi &#x5F20;?|", text);
  EXPECT_EQ((std::vector<std::wstring>{L"\x5F20", L"\xD83D\xDE00"}), asked);  // once each, a pair past the BMP

  const struct { const char* text; bool parsed; char32_t unheld; } rows[] = {
      {"<r a='&#xAC00;'/>", false, 0xAC00},   // the code page lacks it
      {"<r>&#60;&#x3C;&#x3c;</r>", true, 0},  // ASCII: as the parser reads it
      {"<r>&#x5F20;&#233;</r>", false, 0xE9},  // its bytes would read as markup
      {"<r>&#x5F20;&#;</r>", false, 0},        // malformed
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    TiXmlDocument refusedDoc;
    unheld = 7;
    const bool parsed = qv::ParseXml(refusedDoc, row.text, TIXML_ENCODING_LEGACY, qv::kMaxXmlDepth, nullptr,
                                     [](std::wstring_view text, std::string& bytes) {
                                       bytes = text == L"\x5F20" ? "\xD5\xC5" : text == L"\xE9" ? "\xA8<" : "";
                                       return !bytes.empty();
                                     },
                                     &unheld);
    EXPECT_EQ(row.parsed, parsed);
    EXPECT_EQ(row.unheld, unheld);
  }
}

}  // namespace
