#include "uiwin/UiString.h"

#include <tinyxml.h>

#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "platform/DebugReport.h"
#include "platform/TextConv.h"
#include "uiwin/CUiObject.h"
#include "uiwin/UiResUtil.h"

namespace {

std::unordered_map<UINT, std::wstring>& Table() {
  static auto* table = new std::unordered_map<UINT, std::wstring>;
  return *table;
}

// Ids already reported missing: a layout may ask for one for each of its elements, and
// each report to the debugger output is slow.
std::unordered_set<UINT>& ReportedMissing() {
  static auto* ids = new std::unordered_set<UINT>;
  return *ids;
}

}  // namespace

BOOL UiString::Load(UINT id) {
  std::string bytes;
  if (!UiResUtil::LoadUiResource(id, bytes, L"xml")) return FALSE;

  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), NULL, TIXML_ENCODING_UTF8);
  if (doc.Error()) return FALSE;
  const TiXmlElement* root = doc.RootElement();
  if (!root || std::strcmp(root->Value(), "string") != 0) return FALSE;

  auto& table = Table();
  for (const TiXmlElement* s = root->FirstChildElement("s"); s; s = s->NextSiblingElement("s")) {
    const char* idText = s->Attribute("id");
    if (!idText) continue;
    const char* text = s->GetText();
    table[static_cast<UINT>(CUiObject::ParseInt(idText))] = qv::Utf8ToWide(text ? text : "");
  }
  return TRUE;
}

LPCWSTR UiString::Get(UINT id) {
  auto& table = Table();
  auto it = table.find(id);
  if (it == table.end()) {
    if (ReportedMissing().insert(id).second)
      qv::DebugReport("Failed loading string " + std::to_string(id), "uistringpool", __LINE__);
    return NULL;
  }
  return it->second.c_str();
}
