#include "controls/CSysFontSet.h"

namespace {
CSysFontSet g_sysFontSet;

// The height magnitude shrunk by `by` units, keeping its sign and at least 1.
LONG Shrink(LONG height, LONG by) {
  LONG size = height < 0 ? -height : height;
  size = size > by ? size - by : 1;
  return height < 0 ? -size : size;
}
}  // namespace

CSysFontSet& CSysFontSet::Set() { return g_sysFontSet; }

void CSysFontSet::Init() {
  CSysFontSet& set = Set();
  if (set.m_ready) return;
  set.m_ready = true;
  // GetVersion's top bit is set on the Windows 9x line only.
  set.m_nt = (::GetVersion() & 0x80000000u) == 0;
  LOGFONTW lf{};
  if (!::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf)) return;
  lf.lfWeight = FW_NORMAL;
  const LONG base = lf.lfHeight ? lf.lfHeight : -12;
  const LONG shrinkBy[3] = {0, 1, 6};
  for (int i = 0; i < 3; ++i) {
    lf.lfHeight = shrinkBy[i] ? Shrink(base, shrinkBy[i]) : base;
    set.m_fonts[i].Attach(::CreateFontIndirectW(&lf));
  }
}

HFONT CSysFontSet::GetFont(FontSize size) {
  Init();
  if (size < Normal || size > Smallest) return nullptr;
  return Set().m_fonts[size];
}

bool CSysFontSet::IsNT() {
  Init();
  return Set().m_nt;
}
