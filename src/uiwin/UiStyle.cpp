#include "uiwin/UiStyle.h"

#include <string.h>

#include <memory>
#include <unordered_map>
#include <vector>

#include "uiwin/UiFontPool.h"
#include "uiwin/UiResUtil.h"
#include <tinyxml.h>

const char* const UiStyle::kTag = "style";

namespace {

const UINT kCursorArrow = 32512;  // IDC_ARROW
const UINT kCursorHand = 32649;   // IDC_HAND

class Pool {
 public:
  UiStyle* Find(const std::string& name) {
    auto it = m_map.find(name);
    return it == m_map.end() ? nullptr : it->second.get();
  }

  UiStyle* FindOrAdd(const std::string& name) {
    UiStyle* p = Find(name);
    if (!p) {
      p = new UiStyle;
      m_map.emplace(name, std::unique_ptr<UiStyle>(p));
    }
    return p;
  }

  // Replaced styles are kept: a pointer from GetStyle stays valid.
  void Reset() {
    for (auto& e : m_map) m_retired.push_back(std::move(e.second));
    m_map.clear();
    FindOrAdd(std::string());
  }

  std::unordered_map<std::string, std::unique_ptr<UiStyle>> m_map;
  std::vector<std::unique_ptr<UiStyle>> m_retired;
};

Pool& ThePool() {
  // process-wide, created on first use, never destroyed
  static Pool* s_pPool = new Pool;
  return *s_pPool;
}

}  // namespace

UiStyle::UiStyle()
    : crbg(kUiColorUnset),
      crbghover(kUiColorUnset),
      crtext(kUiColorUnset),
      crhover(kUiColorUnset),
      crdisabled(0xCCCCCC),
      textmode(DT_SINGLELINE | DT_BOTTOM),
      font(nullptr),
      hoverfont(nullptr),
      xmargin(0),
      ymargin(0),
      spacing(0),
      linespacing(20),
      cursor(kCursorArrow) {}

UiStyle::~UiStyle() {
  // fonts belong to the font pool
}

BOOL UiStyle::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* UiStyle::GetObjectClass() const { return kTag; }

HRESULT UiStyle::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  HRESULT hr = CUiObject::SetAttribute(name, value, bLoading);
  if (SUCCEEDED(hr)) return hr;
  if (!name || !value) return E_FAIL;

  if (strcmp(name, "name") == 0) {
    this->name = value;
    return S_OK;
  }
  if (strcmp(name, "skin") == 0) {
    this->skin = value;
    return S_OK;
  }
  if (strcmp(name, "textmode") == 0) {
    textmode = (UINT)ParseHex(value);
    return S_OK;
  }
  struct ColorField {
    const char* name;
    COLORREF UiStyle::*field;
  };
  static const ColorField kColors[] = {
      {"crbg", &UiStyle::crbg},
      {"crbghover", &UiStyle::crbghover},
      {"crtext", &UiStyle::crtext},
      {"crhover", &UiStyle::crhover},
      {"crdisabled", &UiStyle::crdisabled},
  };
  for (const ColorField& f : kColors) {
    if (strcmp(name, f.name) == 0) {
      this->*f.field = ParseColor(value);
      return S_FALSE;
    }
  }
  if (strcmp(name, "font") == 0) {
    font = UiFontPool::GetFont((WORD)(ParseHex(value) & 0xFFFF));
    return S_OK;
  }
  if (strcmp(name, "hoverfont") == 0) {
    hoverfont = UiFontPool::GetFont((WORD)(ParseHex(value) & 0xFFFF));
    return S_OK;
  }
  if (strcmp(name, "x-margin") == 0) {
    xmargin = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "y-margin") == 0) {
    ymargin = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "margin") == 0) {
    ymargin = ParseInt(value);
    xmargin = ymargin;
    return S_OK;
  }
  if (strcmp(name, "spacing") == 0) {
    spacing = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "linespacing") == 0) {
    linespacing = ParseInt(value);
    return S_OK;
  }
  if (strcmp(name, "cursor") == 0) {
    if (strcmp(value, "hand") == 0)
      cursor = kCursorHand;
    else if (strcmp(value, "arrow") == 0)
      cursor = kCursorArrow;
    else
      return E_FAIL;
    return S_FALSE;
  }
  return E_FAIL;
}

void UiStyle::ShrinkByMargins(RECT& rc) const {
  rc.left += xmargin;
  rc.right -= xmargin;
  rc.top += ymargin;
  rc.bottom -= ymargin;
}

UiStyle* UiStyle::GetStyle(LPCSTR name) {
  Pool& pool = ThePool();
  UiStyle* p = pool.Find(name ? name : "");
  if (!p) p = pool.FindOrAdd(std::string());
  return p;
}

BOOL UiStyle::LoadStyles(UINT nId) {
  std::string bytes;
  if (!UiResUtil::LoadUiResource(nId, bytes, L"xml")) return FALSE;
  Pool& pool = ThePool();
  pool.Reset();

  TiXmlDocument doc;
  doc.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
  if (doc.Error()) return FALSE;
  TiXmlElement* pRoot = doc.RootElement();
  if (!pRoot || strcmp(pRoot->Value(), "style") != 0) return TRUE;
  for (TiXmlElement* p = pRoot->FirstChildElement("class"); p; p = p->NextSiblingElement("class")) {
    const char* name = p->Attribute("name");
    if (!name) continue;
    pool.FindOrAdd(name)->Load(p);
  }
  return TRUE;
}
