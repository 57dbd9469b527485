#pragma once
// The "dlgfile" element: a dialog whose children come from another layout
// resource named by its "src" attribute (children written inside the element
// itself are ignored). Sub-layouts nest; a chain deeper than kMaxNesting
// (a layout that includes itself) stops there as an empty panel.

#include "uiwin/CUiDialog.h"

class CUiDialogFile : public CUiDialog {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);
  static constexpr int kMaxNesting = 16;

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;

 protected:
  // The number of "dlgfile" elements above this one.
  int NestingDepth() const;
};
