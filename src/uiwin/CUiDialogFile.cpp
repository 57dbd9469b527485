#include "uiwin/CUiDialogFile.h"

#include <tinyxml.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/DebugReport.h"
#include "uiwin/UiResUtil.h"

const char* const CUiDialogFile::kTag = "dlgfile";

CUiWindow* CUiDialogFile::CreateByTag(const char* pszTag) {
  return (pszTag && strcmp(pszTag, kTag) == 0) ? new CUiDialogFile : NULL;
}

BOOL CUiDialogFile::IsClass(const char* pszClass) const {
  return pszClass && strcmp(pszClass, kTag) == 0;
}

const char* CUiDialogFile::GetObjectClass() const { return kTag; }

int CUiDialogFile::NestingDepth() const {
  int depth = 0;
  for (HUIWND h = m_hParent; h;) {
    const CUiWindow* parent = UiWnds::GetWindow(h);
    if (!parent) break;
    if (parent->IsClass(kTag)) ++depth;
    h = parent->GetParent();
  }
  return depth;
}

BOOL CUiDialogFile::Load(const TiXmlElement* pElem) {
  if (!CUiWindow::Load(pElem)) return FALSE;
  const char* src = pElem->Attribute("src");
  if (!src || !*src) return FALSE;
  if (NestingDepth() >= kMaxNesting) {
    qv::DebugReport("dlgfile nested too deep: " + std::string(src), "uiwnddlgfile", __LINE__);
    return TRUE;
  }
  std::string bytes;
  if (!UiResUtil::LoadUiResource(static_cast<UINT>(strtol(src, NULL, 10)), bytes, L"xml"))
    return TRUE;
  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), NULL, TIXML_ENCODING_UTF8);
  if (doc.Error()) return FALSE;
  return LoadChilds(doc.RootElement());
}
