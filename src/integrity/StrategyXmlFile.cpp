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

std::string StrategyXmlFile::Write(const std::vector<Row>& rows) {
  TiXmlDocument document;
  TiXmlElement* root = new TiXmlElement("strategys");
  document.LinkEndChild(root);
  for (const Row& row : rows) {
    TiXmlElement* element = new TiXmlElement("strategy");
    for (size_t i = 0; i < kAttributeCount && i < row.size(); ++i)
      element->SetAttribute(kAttributes[i], row[i]);
    root->LinkEndChild(element);
  }
  TiXmlPrinter printer;
  document.Accept(&printer);
  return printer.Str();
}

bool StrategyXmlFile::Read(const std::string& text, std::vector<Row>& rows) {
  rows.clear();
  TiXmlDocument document;
  // Legacy: the bytes are taken as they are, whatever the code page.
  const TiXmlElement* root =
      qv::ParseXml(document, text, TIXML_ENCODING_LEGACY) ? document.RootElement() : nullptr;
  if (!root) return false;
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
