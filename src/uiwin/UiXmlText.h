#pragma once
// The one escaping helper for text that code puts into layout XML (panel fragments
// built at run time): markup characters become entities, so data from the database,
// files or the network shows as text and cannot add elements or attributes.
// Element texts still resolve "%strN%" string references after parsing; a data text
// that must show exactly goes in through SetItemText instead.
#include <string>
#include <string_view>

class UiXmlText {
 public:
  // UTF-16 text to escaped UTF-8, for element text and attribute values alike.
  static std::string Escape(std::wstring_view text);
  // UTF-8 text, escaped.
  static std::string EscapeUtf8(std::string_view text);
};
