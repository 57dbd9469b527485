#include "integrity/StrategyXmlFile.h"

#include <tinyxml.h>

#include "platform/XmlParse.h"

namespace {

const char* const kAttributes[StrategyXmlFile::kAttributeCount] = {
    "strategyname", "strategydescriptor", "strategytype", "selecteditem", "itemattribute",
    "devicetype", "logintype", "userid", "loginid", "manageid", "selectedfolder", "filtertype",
    "selectedfiletype", "taskmode", "starttime", "numofday", "numofweek", "whichweek",
    "whichmonth", "mode", "dayofmonth", "weekofmonth", "dayofweek", "overtime", "isautodelete",
    "isstoptask", "numofhours", "numofmunites", "isstarthips", "ishistorycopy", "issaveplave",
    "isreport", "isjixiandata", "filterbehavior", "defaultrule", "numofhistorycopy", "saveplace",
    "reportplace", "ip", "status", "id", "ignorefolder",
};

}  // namespace

const char* StrategyXmlFile::AttributeName(size_t position) { return kAttributes[position]; }

// Laid out as the XML library's printer lays it out.
std::string StrategyXmlFile::Write(const std::vector<Row>& rows) {
  if (rows.empty()) return "<strategys />\n";
  std::string text = "<strategys>\n";
  for (const Row& row : rows) {
    text += "    <strategy";
    for (size_t i = 0; i < kAttributeCount && i < row.size(); ++i) {
      ((text += ' ') += kAttributes[i]) += "=\"";
      qv::AppendXmlEscaped(text, row[i]);
      text += '"';
    }
    text += " />\n";
  }
  return text += "</strategys>\n";
}

bool StrategyXmlFile::Read(const std::string& text, std::vector<Row>& rows, bool* utf8,
                           const qv::XmlCodePageEncoder& toCodePage, char32_t* unheld) {
  rows.clear();
  TiXmlDocument document;
  TiXmlEncoding encoding = TIXML_ENCODING_UNKNOWN;
  const TiXmlElement* root =
      qv::ParseXml(document, text, TIXML_DEFAULT_ENCODING, qv::kMaxXmlDepth, &encoding, toCodePage, unheld)
          ? document.RootElement()
          : nullptr;
  if (!root) return false;
  if (utf8) *utf8 = encoding == TIXML_ENCODING_UTF8;
  for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
    Row row;
    for (const TiXmlAttribute* a = e->FirstAttribute(); a && row.size() < kAttributeCount;
         a = a->Next())
      row.push_back(a->ValueStr());
    if (row.size() < kAttributeCount) {
      rows.clear();
      return false;
    }
    rows.push_back(std::move(row));
  }
  return true;
}
