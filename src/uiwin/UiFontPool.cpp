#include "uiwin/UiFontPool.h"

#include <unordered_map>
#include <vector>

#include "platform/TextConv.h"
#include "uiwin/CUiObject.h"

namespace {

class FontPool {
 public:
  FontPool() { RebuildDefault(L"Tahoma", -11); }

  // Never destroyed in practice (process-wide); kept correct anyway.
  ~FontPool() {
    for (auto& kv : m_fonts) ::DeleteObject(kv.second);
    for (HFONT f : m_retired) ::DeleteObject(f);
  }

  void RebuildDefault(LPCWSTR face, LONG height) {
    LOGFONTW lf = {};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    lf.lfHeight = height;
    // lfFaceName holds 31 characters and the terminator; longer faces are cut.
    lstrcpynW(lf.lfFaceName, qv::OrEmpty(face), LF_FACESIZE);
    lf.lfQuality = ANTIALIASED_QUALITY;
    HFONT font = ::CreateFontIndirectW(&lf);
    m_default = lf;

    auto it = m_fonts.find(0);
    if (it != m_fonts.end()) {
      // The old default may still be selected into a DC or copied into
      // a style; deleting it would leave them with a dead handle.
      m_retired.push_back(it->second);
      m_fonts.erase(it);
    }
    if (font) m_fonts[0] = font;
  }

  HFONT Get(WORD key) {
    auto it = m_fonts.find(key);
    if (it != m_fonts.end()) return it->second;
    LOGFONTW lf = m_default;
    lf.lfWeight = (key & UiFontPool::Bold) ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = (key & UiFontPool::Underline) ? 1 : 0;
    lf.lfItalic = (key & UiFontPool::Italic) ? 1 : 0;
    lf.lfHeight = m_default.lfHeight - static_cast<signed char>(key >> 8);
    HFONT font = ::CreateFontIndirectW(&lf);
    if (font) m_fonts[key] = font;
    return font;
  }

 private:
  std::unordered_map<WORD, HFONT> m_fonts;
  std::vector<HFONT> m_retired;
  LOGFONTW m_default = {};
};

FontPool& Pool() {
  static FontPool* pool = new FontPool;
  return *pool;
}

}  // namespace

void UiFontPool::SetDefaultFont(LPCWSTR face, LONG height) { Pool().RebuildDefault(face, height); }

HFONT UiFontPool::GetFont(WORD key) { return Pool().Get(key); }

WORD UiFontPool::ParseFontKey(const char* text) {
  return static_cast<WORD>(CUiObject::ParseHex(text) & 0xFFFF);
}
