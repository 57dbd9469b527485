#include "uiwin/UiSkin.h"

#include <string.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "uiwin/CUiImageSkin.h"
#include "uiwin/CUiPngSkin.h"
#include "uiwin/CUiSkinButton.h"
#include "uiwin/CUiSkinGradation.h"
#include "uiwin/CUiSkinImgFrame.h"
#include "uiwin/CUiSkinImgHorzExtend.h"
#include "uiwin/UiResUtil.h"
#include <tinyxml.h>

namespace {

class Pool {
 public:
  // Skins replaced by a reload or a later definition are kept, not freed:
  // elements hold plain pointers to skins.
  void Retire(CUiSkinBase* pSkin) { m_retired.emplace_back(pSkin); }

  void Clear() {
    for (auto& e : m_map) Retire(e.second);
    m_map.clear();
  }

  void Put(const std::string& name, CUiSkinBase* pSkin) {
    auto it = m_map.find(name);
    if (it != m_map.end()) {
      Retire(it->second);
      it->second = pSkin;
    } else {
      m_map.emplace(name, pSkin);
    }
  }

  ~Pool() {
    for (auto& e : m_map) delete e.second;
  }

  std::unordered_map<std::string, CUiSkinBase*> m_map;
  std::vector<std::unique_ptr<CUiSkinBase>> m_retired;
};

Pool& ThePool() {
  // process-wide, created on first use, never destroyed
  static Pool* s_pPool = new Pool;
  return *s_pPool;
}

}  // namespace

CUiSkinBase* UiSkin::CreateSkinByTag(LPCSTR pszTag) {
  if (!pszTag) return nullptr;
  if (strcmp(pszTag, CUiImageSkin::kTag) == 0) return new CUiImageSkin;
  if (strcmp(pszTag, CUiSkinImgFrame::kTag) == 0) return new CUiSkinImgFrame;
  if (strcmp(pszTag, CUiSkinButton::kTag) == 0) return new CUiSkinButton;
  if (strcmp(pszTag, CUiSkinImgHorzExtend::kTag) == 0) return new CUiSkinImgHorzExtend;
  if (strcmp(pszTag, CUiSkinGradation::kTag) == 0) return new CUiSkinGradation;
  if (strcmp(pszTag, CUiPngSkin::kTag) == 0) return new CUiPngSkin;
  return nullptr;
}

CUiSkinBase* UiSkin::GetSkin(LPCSTR name) {
  if (!name) return nullptr;
  Pool& pool = ThePool();
  auto it = pool.m_map.find(name);
  return it == pool.m_map.end() ? nullptr : it->second;
}

BOOL UiSkin::LoadSkins(UINT nId) {
  std::string bytes;
  if (!UiResUtil::LoadUiResource(nId, bytes, L"xml")) return FALSE;
  Pool& pool = ThePool();
  pool.Clear();

  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) return FALSE;
  TiXmlElement* pRoot = doc.RootElement();
  if (!pRoot || strcmp(pRoot->Value(), "skins") != 0) return TRUE;
  for (TiXmlElement* p = pRoot->FirstChildElement(); p; p = p->NextSiblingElement()) {
    const char* name = p->Attribute("name");
    const char* pszTag = p->Value();
    if (!name || !pszTag) continue;
    CUiSkinBase* pSkin = CreateSkinByTag(pszTag);
    if (!pSkin) continue;
    pSkin->Load(p);
    pool.Put(name, pSkin);
  }
  return TRUE;
}
