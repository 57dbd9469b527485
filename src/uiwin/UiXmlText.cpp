#include "uiwin/UiXmlText.h"

#include "platform/TextConv.h"

std::string UiXmlText::Escape(std::wstring_view text) { return EscapeUtf8(qv::WideToUtf8(text)); }

std::string UiXmlText::EscapeUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\r': out += "&#xD;"; break;
      case '\n': out += "&#xA;"; break;
      case '\t': out += "&#x9;"; break;
      default:
        // Control characters are not allowed in XML 1.0 at all.
        if (static_cast<unsigned char>(c) >= 0x20) out += c;
        break;
    }
  }
  return out;
}
