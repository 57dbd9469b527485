#pragma once
// The grid with its rows: a row per record, a cell per column and one data word of
// type TData per row. Rows are addressed by display position, cells by the creation
// index of their column. Every call checks its row and column and reports a miss by
// its result (0, -1, -2 or an empty text); nothing is stored then. The console uses
// CListCtrlDataEx<unsigned long> only.
#include <string>
#include <vector>

#include "controls/CListImplEx.h"
#include "controls/CListItemEx.h"
#include "platform/TextConv.h"

template <class TData>
class CListCtrlDataEx : public CListImplEx<CListCtrlDataEx<TData>> {
  using Base = CListImplEx<CListCtrlDataEx<TData>>;

 public:
  using Item = CListItemEx<TData>;

  CListCtrlDataEx(HBITMAP hSkinBitmap, UINT nScrollId, COLORREF rgbPressed,
                  COLORREF rgbSelected, COLORREF rgbHeaderBottom)
      : Base(hSkinBitmap, nScrollId, rgbPressed, rgbSelected, rgbHeaderBottom) {}
  // The window goes while the rows are still there to answer its last messages.
  ~CListCtrlDataEx() override {
    if (this->m_hWnd && ::IsWindow(this->m_hWnd)) ::DestroyWindow(this->m_hWnd);
    m_aItems.clear();
  }

  // A row whose first cell takes the text, image and format; every cell takes the
  // flags. The new row's index, -1 when the rows cannot grow.
  int AddItem(LPCWSTR pszText, int nImage = -1, UINT nFormat = ITEM_FORMAT_NONE, UINT nFlags = 0);
  BOOL DeleteItem(int nItem);
  void DeleteAllItems();
  int GetItemCount() const { return static_cast<int>(m_aItems.size()); }
  BOOL GetItem(int nItem, Item& item) const;

  std::wstring GetItemText(int nItem, int nSubItem) const;
  BOOL SetItemText(int nItem, int nSubItem, LPCWSTR pszText);
  int GetItemCheck(int nItem, int nSubItem) const;  // -2 when out of range
  BOOL SetItemCheck(int nItem, int nSubItem, int nCheck);
  BOOL GetItemData(int nItem, TData& data) const;
  BOOL SetItemData(int nItem, TData data);
  BOOL SetItemImage(int nItem, int nSubItem, int nImage);
  BOOL SetItemFormat(int nItem, int nSubItem, UINT nFormat, UINT nFlags);
  UINT GetItemFormat(int nItem, int nSubItem) const override;
  UINT GetItemFlags(int nItem, int nSubItem) const override;
  BOOL SetItemFlags(int nItem, int nSubItem, UINT nFlags) override;
  // -1 keeps a colour.
  BOOL SetItemColours(int nItem, int nSubItem, COLORREF rgbBackground, COLORREF rgbText);
  BOOL GetItemComboList(int nItem, int nSubItem, std::vector<std::wstring>& aList) const;
  BOOL SetItemCombo(int nItem, int nSubItem, UINT nFormat, UINT nFlags,
                    const std::vector<std::wstring>& aList);
  BOOL SetItemComboIndex(int nItem, int nSubItem, int nIndex);
  BOOL AddItemTag(int nItem, DWORD dwTag);
  BOOL GetItemTags(int nItem, std::vector<DWORD>& aTags) const;
  int GetCheckedCount(int nColumn) const;  // by display position; -1 when none
  BOOL FormatDateCell(int nItem, int nSubItem, const SYSTEMTIME& stDate);
  // Orders the rows by the texts of one cell (code units compared; equal texts keep their
  // order), or reverses them. Group rows keep naming their members.
  void SortItems(int nSubItem, BOOL bReverse);

  // The row's tip text; empty when the row is out of range.
  std::wstring GetItemToolTip(int nItem) const {
    return nItem >= 0 && nItem < GetItemCount() ? m_aItems[nItem].m_strToolTip : std::wstring();
  }
  // The cell, or null when the row or column is out of range.
  const CListSubItemEx* GetCell(int nItem, int nSubItem) const;
  CListSubItemEx* GetCell(int nItem, int nSubItem);

 protected:
  // No page gives its rows a tip text; a grid class of its own may.
  BOOL SetItemToolTip(int nItem, LPCWSTR pszText) {
    if (nItem < 0 || nItem >= GetItemCount()) return FALSE;
    m_aItems[nItem].m_strToolTip = qv::OrEmpty(pszText);
    return TRUE;
  }

 private:
  // Applies a change to an existing cell; FALSE, and nothing changed, when there is none.
  template <class F>
  BOOL UpdateCell(int nItem, int nSubItem, BOOL bRedraw, F change) {
    CListSubItemEx* cell = GetCell(nItem, nSubItem);
    if (!cell) return FALSE;
    change(*cell);
    if (bRedraw) this->Redraw();
    return TRUE;
  }

  std::vector<Item> m_aItems;
};
