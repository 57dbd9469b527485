#pragma once
// The "imglisth" element: a row of skin pictures, left to right, each skin
// and picture index named by "skinlist" and "sublist" ("skin0=a,skin1=b",
// "sub0=2"). Its own "skin" and "sub" serve measuring only.

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "uiwin/CUiWindow.h"

class CUiSkinBase;

class CUiImageListHWnd : public CUiWindow {
 public:
  static const char* const kTag;
  static CUiWindow* CreateByTag(const char* pszTag);

  CUiImageListHWnd();

  BOOL IsClass(const char* pszClass) const override;
  const char* GetObjectClass() const override;
  BOOL Load(const TiXmlElement* pElem) override;
  HRESULT SetAttribute(const char* pszName, const char* pszValue, BOOL bLoading) override;

  // Splits "key=value,key=value"; empty items, items without "=" and items
  // starting with "=" are skipped.
  static std::vector<std::pair<std::string, std::string>> ParseList(const char* pszValue);

  int GetImageCount() const { return m_nImageCount; }
  // The skin of entry i (NULL for none) and its picture index (-1 when unset).
  CUiSkinBase* GetEntrySkin(int i) const;
  int GetEntrySub(int i) const;

  UI_BEGIN_MSG_MAP()
    UI_MESSAGE_HANDLER(WM_PAINT, OnPaint)
    UI_MESSAGE_HANDLER(WM_NCCALCSIZE, OnNcCalcSize)
    UI_CHAIN_MSG_MAP(CUiWindow)
  UI_END_MSG_MAP()

 protected:
  LRESULT OnPaint(UINT uMsg, WPARAM wParam, LPARAM lParam);
  LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam);
  void ApplySkinList(const char* pszValue);
  void ApplySubList(const char* pszValue);

  int m_nSub;
  CUiSkinBase* m_pSkin;
  int m_nImageCount;
  std::string m_strSkinList;
  std::string m_strSubList;
  std::unordered_map<std::string, int> m_subMap;
  std::unordered_map<std::string, CUiSkinBase*> m_skinMap;  // the skin pool's
};
