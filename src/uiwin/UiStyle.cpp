// Minimal default style pool: every name gives the default style until the style
// resources are built (UiStyle owns this file).
#include "uiwin/UiStyle.h"

#include <string.h>

const char* const UiStyle::kTag = "style";

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
      cursor(32512) {}

UiStyle::~UiStyle() {}

BOOL UiStyle::IsClass(const char* className) const {
  return className && strcmp(className, kTag) == 0;
}

const char* UiStyle::GetObjectClass() const { return kTag; }

HRESULT UiStyle::SetAttribute(const char* name, const char* value, BOOL bLoading) {
  return CUiObject::SetAttribute(name, value, bLoading);
}

BOOL UiStyle::LoadStyles(UINT) { return FALSE; }

UiStyle* UiStyle::GetStyle(LPCSTR) {
  static UiStyle* s_default = new UiStyle;
  return s_default;
}
