#pragma once
// The nesting guard of qv::ParseXml against the parser itself, shared by every XML
// reader's check: over the text a reader parses, in each encoding and with small limits
// (so that a few bytes show a disagreement), the tree the parser built after the guard
// let the text through is never deeper than the limit. Returns null when that held.
#include <string_view>

#include "platform/XmlParse.h"

namespace fuzzcheck {

inline const char* CheckXmlGuard(std::string_view text) {
  for (TiXmlEncoding encoding : {TIXML_ENCODING_UNKNOWN, TIXML_ENCODING_UTF8, TIXML_ENCODING_LEGACY})
    for (size_t limit : {size_t(1), size_t(2), size_t(qv::kMaxXmlDepth)}) {
      TiXmlDocument doc;
      qv::ParseXml(doc, text, encoding, limit);
      if (qv::XmlTreeDepth(doc) > limit) return "the parser nested deeper than the guard let through";
    }
  return nullptr;
}

}  // namespace fuzzcheck
