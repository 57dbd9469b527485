#include "uiwin/UiXmlText.h"

#include "platform/TextConv.h"
#include "platform/XmlParse.h"

std::string UiXmlText::Escape(std::wstring_view text) { return EscapeUtf8(qv::WideToUtf8(text)); }

std::string UiXmlText::EscapeUtf8(std::string_view text) {
  // Control characters are not allowed in XML 1.0 at all; tabs and line ends are.
  std::string kept;
  kept.reserve(text.size());
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 || c == '\r' || c == '\n' || c == '\t') kept += c;
  std::string out;
  out.reserve(kept.size() + kept.size() / 8);
  qv::AppendXmlEscaped(out, kept);
  return out;
}
