#pragma once
// The "dlgfile" element: a dialog whose children come from another layout
// resource named by its "src" attribute (children written inside the element
// itself are ignored).

#include "uiwin/CUiDialog.h"

class CUiDialogFile : public CUiDialog {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
};
