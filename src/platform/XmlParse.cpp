#include "platform/XmlParse.h"

#include <cctype>
#include <string>

namespace qv {

namespace {

const size_t npos = std::string_view::npos;

// As the parser tells them (TiXmlBase::IsWhiteSpace, IsAlpha, IsAlphaNum).
bool IsSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r'; }
bool IsNameChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 127 || std::isalnum(u) || c == '_' || c == '-' || c == '.' || c == ':';
}

bool IsNameStart(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u >= 127 || std::isalpha(u) || c == '_';
}

bool StartsWithNoCase(std::string_view s, size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(s[at + i])) != word[i]) return false;
  return true;
}

// In UTF-8 the parser's white space takes in byte-order marks and U+FFFE, U+FFFF.
size_t SkipSpace(std::string_view s, size_t i, bool utf8) {
  while (i < s.size()) {
    if (utf8 && s.size() - i >= 3 && s[i] == '\xEF' &&
        ((s[i + 1] == '\xBB' && s[i + 2] == '\xBF') || (s[i + 1] == '\xBF' && (s[i + 2] == '\xBE' || s[i + 2] == '\xBF')))) {
      i += 3;
    } else if (IsSpace(s[i])) {
      ++i;
    } else {
      break;
    }
  }
  return i;
}

bool AtEnd(std::string_view s, size_t i) { return i >= s.size() || s[i] == '\0'; }

// Where the parser ends a declaration ("<?xml" at i): quoted values of its version,
// encoding and standalone may hold '>'. npos where the parser gives up, which ends its
// whole parse (TiXmlDeclaration::Parse).
size_t DeclarationEnd(std::string_view s, size_t i, bool utf8) {
  size_t p = i + 5;
  while (!AtEnd(s, p)) {
    if (s[p] == '>') return p;
    p = SkipSpace(s, p, utf8);
    if (AtEnd(s, p)) return npos;
    if (StartsWithNoCase(s, p, "version") || StartsWithNoCase(s, p, "encoding") ||
        StartsWithNoCase(s, p, "standalone")) {
      while (!AtEnd(s, p) && IsNameChar(s[p])) ++p;
      p = SkipSpace(s, p, utf8);
      if (AtEnd(s, p) || s[p] != '=') return npos;
      p = SkipSpace(s, p + 1, utf8);
      if (AtEnd(s, p)) return npos;
      if (s[p] == '"' || s[p] == '\'') {
        const char quote = s[p];
        for (++p; !AtEnd(s, p) && s[p] != quote;) ++p;
        if (AtEnd(s, p) || AtEnd(s, p + 1)) return npos;
        ++p;
      } else {
        for (; !AtEnd(s, p) && !IsSpace(s[p]) && s[p] != '/' && s[p] != '>'; ++p)
          if (s[p] == '"' || s[p] == '\'') return npos;
      }
    } else {
      while (!AtEnd(s, p) && s[p] != '>' && !IsSpace(s[p])) ++p;
    }
  }
  return npos;
}

// The parser takes "&#digits;" and "&#xhex;" whole, to the first ';', and from there
// back to the last '#' or 'x' before it: markup between those is skipped with them.
bool ReferenceHidesMarkup(std::string_view s) {
  for (size_t i = s.find("&#"); i != npos; i = s.find("&#", i + 2)) {
    for (size_t j = i + 2; j < s.size() && s[j] != ';' && s[j] != '\0'; ++j)
      if (s[j] == '<' || s[j] == '>' || s[j] == '"' || s[j] == '\'') return true;
  }
  return false;
}

// The encoding that a leading declaration names, read by the parser itself: null
// without one. Only comments, other declarations and white space may come before it.
bool LeadingDeclaration(std::string_view s, std::string* encoding) {
  size_t i = 0;
  for (;;) {
    i = SkipSpace(s, i, false);
    if (s.compare(i, 4, "<!--") == 0) {
      i = s.find("-->", i + 4);
      if (i == npos) return false;
      i += 3;
    } else if (StartsWithNoCase(s, i, "<?xml")) {
      const size_t end = DeclarationEnd(s, i, false);
      if (end == npos) return false;
      const std::string declaration(s.substr(i, end + 1 - i));
      TiXmlDeclaration read;
      read.Parse(declaration.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
      *encoding = read.Encoding();
      return true;
    } else if (s.compare(i, 2, "<?") == 0 || s.compare(i, 2, "<!") == 0) {
      i = s.find('>', i);
      if (i == npos) return false;
      ++i;
    } else {
      return false;
    }
  }
}

// The parser's own detection, settled before it runs so that no declaration can switch
// it to UTF-8 behind the count's back. False: the text must be UTF-8 and is not.
bool SettleEncoding(std::string_view text, TiXmlEncoding* encoding) {
  const bool wellFormed = IsWellFormedUtf8(text);
  if (*encoding == TIXML_ENCODING_UNKNOWN) {
    std::string named;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) {
      *encoding = TIXML_ENCODING_UTF8;
    } else if (!LeadingDeclaration(text, &named)) {
      *encoding = TIXML_ENCODING_LEGACY;
    } else if (named.empty()) {
      // Files in the ANSI code page often carry a bare declaration.
      *encoding = wellFormed ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
    } else {
      const bool utf8 = StartsWithNoCase(named, 0, "utf-8") || StartsWithNoCase(named, 0, "utf8");
      *encoding = utf8 ? TIXML_ENCODING_UTF8 : TIXML_ENCODING_LEGACY;
    }
  }
  return *encoding != TIXML_ENCODING_UTF8 || wellFormed;
}

}  // namespace

bool ParseXml(TiXmlDocument& doc, std::string_view text, TiXmlEncoding encoding, size_t maxDepth) {
  if (!SettleEncoding(text, &encoding) || ReferenceHidesMarkup(text) ||
      XmlNestingDepth(text, encoding == TIXML_ENCODING_UTF8) > maxDepth)
    return false;
  // Zeros behind the text, as before any parse.
  std::string padded;
  padded.reserve(text.size() + 4);
  padded.append(text).append(4, '\0');
  doc.Parse(padded.c_str(), nullptr, encoding);
  return !doc.Error();
}

size_t XmlNestingDepth(std::string_view s, bool utf8) {
  size_t depth = 0, deepest = 0;
  auto skipTo = [&s](size_t from, const char* end) {
    size_t at = s.find(end, from);
    return at == npos ? s.size() : at;
  };
  for (size_t i = s.find('<'); i < s.size(); i = s.find('<', i + 1)) {
    std::string_view rest = s.substr(i);
    if (rest.compare(0, 4, "<!--") == 0) {
      i = skipTo(i + 4, "-->");
    } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
      i = skipTo(i + 9, "]]>");
    } else if (StartsWithNoCase(s, i, "<?xml")) {
      i = DeclarationEnd(s, i, utf8);
      if (i == npos) break;  // the parser stops there
    } else if (rest.size() > 1 && (rest[1] == '?' || rest[1] == '!')) {
      i = skipTo(i + 2, ">");
    } else if (rest.size() > 1 && rest[1] == '/') {
      if (depth) --depth;
      i = skipTo(i + 2, ">");
    } else if (rest.size() < 2 || !IsNameStart(rest[1])) {
      i = skipTo(i + 1, ">");  // no element to the parser: up to the first '>', quotes or not
    } else {
      char quote = 0;
      size_t j = i + 1;
      for (; j < s.size(); ++j) {
        if (quote) {
          if (s[j] == quote) quote = 0;
        } else if (s[j] == '"' || s[j] == '\'') {
          quote = s[j];
        } else if (s[j] == '>') {
          break;
        }
      }
      // An empty element is as deep as the parser goes; a tag cut off by the end is still
      // an element it starts.
      const bool empty = j < s.size() && s[j - 1] == '/';
      if (depth + 1 > deepest) deepest = depth + 1;
      if (!empty) ++depth;
      i = j;
    }
  }
  return deepest;
}

bool IsWellFormedUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    size_t extra;
    unsigned char low = 0x80, high = 0xBF;  // the second byte's range
    if (c < 0x80) {
      extra = 0;
    } else if (c >= 0xC2 && c <= 0xDF) {
      extra = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      extra = 2;
      if (c == 0xE0) low = 0xA0;
      if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      extra = 3;
      if (c == 0xF0) low = 0x90;
      if (c == 0xF4) high = 0x8F;
    } else {
      return false;
    }
    if (s.size() - i <= extra) return false;
    for (size_t k = 1; k <= extra; ++k) {
      const unsigned char b = static_cast<unsigned char>(s[i + k]);
      if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF)) return false;
    }
    i += extra + 1;
  }
  return true;
}

size_t XmlTreeDepth(const TiXmlNode& top) {
  size_t depth = 1, deepest = 0;  // depth: of `node` when it is an element
  const TiXmlNode* node = top.FirstChild();
  while (node) {
    if (node->ToElement() && depth > deepest) deepest = depth;
    if (node->FirstChild()) {
      node = node->FirstChild();
      ++depth;
      continue;
    }
    while (node != &top && !node->NextSibling()) {
      node = node->Parent();
      --depth;
    }
    if (node == &top) break;
    node = node->NextSibling();
  }
  return deepest;
}

}  // namespace qv
