#include "controls/CUIFontPair.h"

namespace {
CUIFontPair g_uiFontPair;
}  // namespace

CUIFontPair& CUIFontPair::Pair() { return g_uiFontPair; }

void CUIFontPair::Create() {
  CUIFontPair& pair = Pair();
  pair.m_normal.Attach(::CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                                     OUT_STROKE_PRECIS, CLIP_STROKE_PRECIS, PROOF_QUALITY,
                                     FF_SWISS | DEFAULT_PITCH, nullptr));
  LOGFONTW lf{};
  if (pair.m_normal.IsNull() || !::GetObjectW(pair.m_normal, sizeof lf, &lf)) {
    pair.m_bold.DeleteObject();
    return;
  }
  lf.lfWeight = FW_BOLD;
  pair.m_bold.Attach(::CreateFontIndirectW(&lf));
}

void CUIFontPair::Destroy() {
  Pair().m_normal.DeleteObject();
  Pair().m_bold.DeleteObject();
}

HFONT CUIFontPair::GetFont() { return Pair().m_normal; }
HFONT CUIFontPair::GetBoldFont() { return Pair().m_bold; }
