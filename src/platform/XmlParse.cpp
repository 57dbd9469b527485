#include "platform/XmlParse.h"

#include <string>

namespace qv {

bool ParseXml(TiXmlDocument& doc, std::string_view text, TiXmlEncoding encoding) {
  if (XmlNestingDepth(text) > kMaxXmlDepth) return false;
  // Zeros behind the text: a step over a character cut off at the end lands on them.
  std::string padded;
  padded.reserve(text.size() + 4);
  padded.append(text).append(4, '\0');
  doc.Parse(padded.c_str(), nullptr, encoding);
  return !doc.Error();
}

size_t XmlNestingDepth(std::string_view s) {
  size_t depth = 0, deepest = 0;
  auto skipTo = [&s](size_t from, const char* end) {
    size_t at = s.find(end, from);
    return at == std::string_view::npos ? s.size() : at;
  };
  for (size_t i = s.find('<'); i < s.size(); i = s.find('<', i + 1)) {
    std::string_view rest = s.substr(i);
    if (rest.compare(0, 4, "<!--") == 0) {
      i = skipTo(i + 4, "-->");
    } else if (rest.compare(0, 9, "<![CDATA[") == 0) {
      i = skipTo(i + 9, "]]>");
    } else if (rest.size() > 1 && (rest[1] == '?' || rest[1] == '!')) {
      i = skipTo(i + 2, ">");
    } else if (rest.size() > 1 && rest[1] == '/') {
      if (depth) --depth;
      i = skipTo(i + 2, ">");
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
      if (j < s.size() && s[j - 1] != '/' && ++depth > deepest) deepest = depth;
      i = j;
    }
  }
  return deepest;
}

}  // namespace qv
