#pragma once
// Parses XML that came from outside (a file a user picked, an answer over the network)
// with TinyXML, guarding the parser's two weak spots: it recurses once per nested
// element, so a crafted text would run it out of stack; and in UTF-8 it steps over a
// whole multi-byte character even where the text ends inside one, past the text's end.
#include <tinyxml.h>

#include <cstddef>
#include <string_view>

namespace qv {

enum : size_t { kMaxXmlDepth = 32 };

// False, with the document left as it was, when the text nests elements deeper than
// kMaxXmlDepth; else the document parsed and true unless it has an error.
bool ParseXml(TiXmlDocument& doc, std::string_view text, TiXmlEncoding encoding);

// The deepest element nesting, found by looking at the markup only. Quotes count only
// inside tags; comments, sections and declarations are skipped whole.
size_t XmlNestingDepth(std::string_view text);

}  // namespace qv
