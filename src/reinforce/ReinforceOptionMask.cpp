#include "reinforce/ReinforceOptionMask.h"

#include <tinyxml.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/XmlParse.h"

bool ReinforceOptionMask::Parse(const char* text, size_t length, uint32_t* mask) {
  if (!text || !mask) return false;
  // Up to the first terminator within the length: the parser wants one of its own.
  const void* end = std::memchr(text, '\0', length);
  const std::string xml(text, end ? static_cast<const char*>(end) - text : length);
  TiXmlDocument doc;
  if (!qv::ParseXml(doc, xml, TIXML_ENCODING_UTF8) || !doc.RootElement()) return false;
  const TiXmlElement* first = doc.RootElement()->FirstChildElement();
  const TiXmlAttribute* attribute = first ? first->FirstAttribute() : nullptr;
  const char* value = attribute ? attribute->Value() : nullptr;
  if (!value || !*value) return false;
  char* rest = nullptr;
  errno = 0;
  const long long number = std::strtoll(value, &rest, 10);
  if (errno == ERANGE || *rest || number < INT32_MIN || number > static_cast<long long>(UINT32_MAX))
    return false;
  *mask = static_cast<uint32_t>(number);
  return true;
}
