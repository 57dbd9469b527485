#pragma once
// The nesting guard of qv::ParseXml against the parser itself, shared by every XML
// reader's check: over the text a reader parses, in each encoding and with small limits
// (so that a few bytes show a disagreement), the tree the parser built after the guard
// let the text through is never deeper than the limit, and no element of it has more
// attributes than the guard lets through. Returns null when that held.
#include <string_view>

#include "platform/XmlParse.h"

namespace fuzzcheck {

inline size_t MostAttributes(const TiXmlNode& top) {
  size_t most = 0;
  for (const TiXmlNode* node = top.FirstChild(); node; node = node->NextSibling()) {
    if (const TiXmlElement* element = node->ToElement()) {
      size_t count = 0;
      for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next()) ++count;
      if (count > most) most = count;
    }
    const size_t below = MostAttributes(*node);  // as deep as the guard lets the parser go
    if (below > most) most = below;
  }
  return most;
}

inline const char* CheckXmlGuard(std::string_view text) {
  for (TiXmlEncoding encoding : {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8, TIXML_ENCODING_LEGACY})
    for (size_t limit : {size_t(1), size_t(2), size_t(qv::kMaxXmlDepth)}) {
      TiXmlDocument doc;
      qv::ParseXml(doc, text, encoding, limit);
      if (qv::XmlTreeDepth(doc) > limit) return "the parser nested deeper than the guard let through";
      if (MostAttributes(doc) > qv::kMaxXmlAttributes) return "an element with more attributes than the guard let through";
    }
  return nullptr;
}

}  // namespace fuzzcheck
