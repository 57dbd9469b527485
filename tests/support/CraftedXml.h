#pragma once
// Texts that once ran the XML parser out of stack behind the nesting guard's back: the
// guard counted one element where the parser read 200,000 nested ones, hidden from the
// count by a comment start "<!--" that the parser itself never saw. Each way of hiding it
// is one text; the UTF-8 one needs the text read as UTF-8.
#include <string>
#include <vector>

namespace craftedxml {

inline std::string Nested(int levels = 200000) {
  std::string s;
  s.reserve(size_t(levels) * 3);
  for (int i = 0; i < levels; ++i) s += "<a>";
  return s;
}

// A UTF-8 lead byte swallows the "<" of the comment start behind it.
inline std::string LeadByte(char lead = '\xF0') { return std::string("<r>") + lead + "<!--" + Nested(); }
// A character reference runs, digits last, over the comment start.
inline std::string Reference() { return "<r>&#x<!--x;" + Nested(); }
// A declaration's quoted version holds the ">" that ended it for the guard.
inline std::string Declaration() { return "<r><?xml version=\"><!--\"?>" + Nested(); }

struct Text {
  const char* name;
  std::string bytes;
};
// The three, the UTF-8 one marked as UTF-8 for a reader that detects the encoding.
inline std::vector<Text> All(bool markUtf8) {
  return {{"lead byte", (markUtf8 ? "\xEF\xBB\xBF" : "") + LeadByte()},
          {"declared lead byte", (markUtf8 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" : "") + LeadByte('\xC2')},
          {"reference", Reference()},
          {"declaration", Declaration()}};
}

}  // namespace craftedxml
