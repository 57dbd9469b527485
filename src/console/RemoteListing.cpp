#include "console/RemoteListing.h"

#include <tinyxml.h>

#include <cstring>

#include "console/LinkRecords.h"
#include "platform/TextConv.h"
#include "platform/XmlParse.h"

namespace {

const uint32_t kLetterDrives = (1u << 26) - 1;  // A: to Z:

const TiXmlAttribute* Nth(const TiXmlElement* element, int n) {
  const TiXmlAttribute* a = element->FirstAttribute();
  while (a && n-- > 0) a = a->Next();
  return a;
}

bool IsOne(const TiXmlAttribute* a) { return a && std::strcmp(a->Value(), "1") == 0; }

bool ParseMask(const char* text, uint32_t* mask) {
  uint64_t value = 0;
  if (!*text) return false;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return false;
    value = value * 10 + uint64_t(*text - '0');
    if (value > 0xFFFFFFFFu) return false;
  }
  *mask = uint32_t(value);
  return true;
}

}  // namespace

bool RemoteListing::Parse(Answer answer, const unsigned char* payload, size_t length) {
  m_driveMask = 0;
  m_entries.clear();
  // Both forms are parsed as UTF-8, so no name depends on the console's code page.
  const std::string text = answer == kEntries
                               ? linkpayload::ReadText8(payload, length, 0)
                               : qv::WideToUtf8(linkpayload::ReadText16(payload, length, 0, length / 2));
  TiXmlDocument doc;
  const TiXmlElement* root = qv::ParseXml(doc, text, TIXML_ENCODING_UTF8) ? doc.RootElement() : nullptr;
  if (!root) return false;

  if (answer == kDrives) {
    const TiXmlElement* first = root->FirstChildElement();
    const TiXmlAttribute* mask = first ? first->FirstAttribute() : nullptr;
    if (mask && !ParseMask(mask->Value(), &m_driveMask)) return false;
    m_driveMask &= kLetterDrives;
    return true;
  }
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const TiXmlAttribute* name = Nth(e, 0);
    if (!name || !*name->Value()) continue;
    Entry entry{qv::Utf8ToWide(name->Value()), false, false};
    if (answer == kDirectories) {
      entry.hasChildren = IsOne(Nth(e, 1));
    } else {
      entry.isFile = IsOne(Nth(e, 1));
      entry.hasChildren = !entry.isFile && IsOne(Nth(e, 2));
    }
    m_entries.push_back(std::move(entry));
  }
  return true;
}
