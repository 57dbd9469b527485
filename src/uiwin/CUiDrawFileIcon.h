#pragma once
// The "iconfrommodule" element: the shell's large icon of a file ("srcfile"),
// kept in a process-wide cache by path, or an icon handle given by code through
// SetIconHandle (never from layout text, which could name any address).

#include <string>

#include "uiwin/CUiWindow.h"

class CUiDrawFileIcon : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiDrawFileIcon();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  // The caller keeps the icon alive while the element shows it.
  void SetIconHandle(HICON hIcon) { m_hIcon = hIcon; }
  HICON GetIconHandle() const { return m_hIcon; }
  const std::string& GetSrcFile() const { return m_strSrcFile; }

  // The icon painting would draw now: the handle, else the file's cached shell
  // icon (asked for on a miss; failures are not cached).
  HICON ResolveIcon() const;

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);

  std::string m_strSrcFile;  // UTF-8, as written in the layout
  HICON m_hIcon;             // not owned
};
