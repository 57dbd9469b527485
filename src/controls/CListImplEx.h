#pragma once
// The grid view: an owner-drawn table with a header and fixed-height rows of typed
// cells. T keeps the rows (CListCtrlDataEx) and answers the view's questions about
// them statically (GetItemCount, GetCell, GetItemText, GetItemCheck, GetItemTags).
// The view owns the columns, the selection and focus, the colour table, the fonts,
// the cursors, its image strip (bitmap 123) and the notification target; the caller's
// cell image list is only borrowed. Painting goes through a back buffer and draws only
// the rows and columns that meet the clip box. UI thread only.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "controls/CListColumnEx.h"
#include "controls/CListNotify.h"
#include "controls/ListFormats.h"
#include "platform/CDCHandle.h"
#include "platform/CDoubleBufferImpl.h"
#include "platform/CGdiObject.h"
#include "platform/CImageList.h"
#include "platform/CToolTipCtrl.h"
#include "platform/CWindowImpl.h"

template <class T>
class CListImplEx : public CWindowImpl<T>, public CDoubleBufferImpl<T> {
 public:
  DECLARE_WND_CLASS_EX(nullptr, CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, COLOR_WINDOW)

  // Slots of the colour table.
  enum {
    CLR_BACKGROUND,      // area and default cell background
    CLR_HEADER_BOTTOM,   // header gradient runs from white to this
    CLR_HEADER_LINE,     // line under the header
    CLR_HEADER_TEXT,
    CLR_HEADER_PRESSED,  // pressed header column
    CLR_GRID,            // grid lines, header separators
    CLR_SELECTED,        // selected row
    CLR_UNUSED,
    CLR_CELL_TEXT,       // default cell text
    CLR_SEL_OUTER, CLR_SEL_INNER, CLR_SEL_TOP, CLR_SEL_BOTTOM,
    CLR_SEL_TOP_NOFOCUS, CLR_SEL_BOTTOM_NOFOCUS, CLR_SEL_OUTER_NOFOCUS, CLR_SEL_INNER_NOFOCUS,
    CLR_FOCUS_TOP, CLR_FOCUS_BOTTOM,
    CLR_PROGRESS_TOP, CLR_PROGRESS_BOTTOM,
    CLR_FOCUS_FILL,      // focus cell and drag rectangle in the plain look
    CLR_HYPERLINK,
    CLR_COUNT
  };

  CListImplEx(HBITMAP hSkinBitmap, UINT nScrollId, COLORREF rgbPressed, COLORREF rgbSelected,
              COLORREF rgbHeaderBottom);
  ~CListImplEx() override;
  CListImplEx(const CListImplEx&) = delete;
  CListImplEx& operator=(const CListImplEx&) = delete;

  // Style 0 stands for a visible child that clips its siblings and children. A null
  // rectangle leaves the window without a size until its layout places it.
  HWND Create(HWND hWndParent, LPCRECT pRect = nullptr, LPCWSTR pszName = nullptr,
              DWORD dwStyle = 0, DWORD dwExStyle = 0, UINT nId = 0, LPVOID pParam = nullptr);

  // ---- set-up
  void SetImageList(HIMAGELIST hImageList) { m_hCellImages = hImageList; }
  BOOL AddColumn(LPCWSTR pszText, int nWidth, int nImage = -1, BOOL bFixed = FALSE,
                 BOOL bSortable = FALSE, UINT nFormat = ITEM_FORMAT_NONE, UINT nFlags = 0);
  BOOL SetColumnWidth(int nColumn, int nWidth);
  void SetColumnText(int nColumn, LPCWSTR pszText);
  void ShowHeader(BOOL bShow);
  BOOL LoadSettings();
  static UINT NormaliseFlags(UINT nFlags);

  // ---- columns (by display position) and cell words
  int GetColumnCount() const { return static_cast<int>(m_aColumns.size()); }
  const CListColumnEx* GetColumn(int nColumn) const;
  int GetColumnIndex(int nColumn) const;    // creation index, -1 when none
  int GetColumnPosition(int nIndex) const;  // display position, -1 when none
  // The column's words here; the row class answers with the cell's own.
  virtual UINT GetItemFormat(int nItem, int nSubItem) const;
  virtual UINT GetItemFlags(int nItem, int nSubItem) const;
  virtual BOOL SetItemFlags(int nItem, int nSubItem, UINT nFlags);

  // ---- selection and notifications
  // Modifier flags as in mouse messages: MK_SHIFT extends from the anchor, MK_CONTROL
  // toggles the row.
  BOOL SelectItem(int nItem, int nSubItem, UINT nFlags);
  BOOL IsItemSelected(int nItem) const { return m_setSelectedItems.count(nItem) != 0; }
  int GetSelectedCount() const { return static_cast<int>(m_setSelectedItems.size()); }
  LRESULT NotifyParent(int nItem, int nSubItem, int nCode);

  // ---- geometry
  int GetContentHeight();
  int GetItemHeight() const { return m_nItemHeight; }
  int GetHeaderHeight() const { return m_bShowHeader ? m_nHeaderHeight : 0; }
  int GetTotalWidth(BOOL bRecalculate = FALSE);
  int GetTopIndex() const;
  int GetCountPerPage(BOOL bPartial = TRUE) const;
  BOOL GetItemRect(int nItem, int nSubItem, CRect& rcItem) const;
  BOOL GetColumnRect(int nColumn, CRect& rcColumn) const;
  int GetColumnWidth(int nColumn) const;
  BOOL IsItemVisible(int nItem, int nSubItem, BOOL bPartial) const;
  // Where a check cell's box sits in its cell; with a box on the left, rcText loses the
  // box's width. Painting and hit tests both place it here.
  CRect GetCheckRect(const CRect& rcCell, UINT nFlags, CRect& rcText) const;
  // Range and page of the bars after a change (position -1 keeps it), then a repaint.
  void ResetScrollBars(int nBar = SB_BOTH, int nPosition = -1, BOOL bRecalculate = TRUE);

  // ---- cell values as painted
  int GetItemImage(int nItem, int nSubItem) const;
  HFONT GetItemFont(int nItem, int nSubItem) const;
  BOOL GetItemColours(int nItem, int nSubItem, COLORREF& rgbBackground, COLORREF& rgbText) const;
  BOOL GetItemDate(int nItem, int nSubItem, SYSTEMTIME& stDate) const;
  static std::wstring FormatDate(const SYSTEMTIME& stDate);
  static std::wstring FormatTime(const SYSTEMTIME& stDate);
  int GetGroupChildCount(int nItem) const;
  BOOL IsGroupCollapsed(int nItem) const;

  // ---- painting
  void DoPaint(CDCHandle dc);
  void DrawBackground(CDCHandle dc);
  void DrawRows(CDCHandle dc);
  void DrawItem(CDCHandle dc, int nItem, const CRect& rcItem);
  void DrawSelectRect(CDCHandle dc);
  void DrawHeader(CDCHandle dc);
  void DrawRoundFrame(CDCHandle dc, const CRect& rc, COLORREF rgbOuter, COLORREF rgbInner);
  void DrawGradient(CDCHandle dc, const CRect& rc, COLORREF rgbTop, COLORREF rgbBottom);

  BEGIN_MSG_MAP(CListImplEx)
    MESSAGE_HANDLER(WM_CREATE, OnCreate)
    MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
    MESSAGE_HANDLER(WM_PAINT, OnPaint)
    MESSAGE_HANDLER(WM_SETFOCUS, OnFocusChange)
    MESSAGE_HANDLER(WM_KILLFOCUS, OnFocusChange)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_FONTCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_THEMECHANGED, OnSettingsChange)
    MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
    CHAIN_MSG_MAP(CDoubleBufferImpl<T>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingsChange(UINT, WPARAM, LPARAM, BOOL&);
  // Redraw off: rows come and go without scroll-bar updates or repaints (the window
  // stays visible); back on, the bars are set and the grid repainted once.
  LRESULT OnSetRedraw(UINT, WPARAM, LPARAM, BOOL&);

 protected:
  T* Self() { return static_cast<T*>(this); }
  const T* Self() const { return static_cast<const T*>(this); }
  BOOL Redraw();
  // The row class calls these after removing rows: indices behind a removed row move
  // up with it, so the selection keeps naming the same records.
  void OnItemDeleted(int nItem);
  void OnAllItemsDeleted();
  COLORREF Colour(int nSlot) const { return m_rgbColours[nSlot]; }
  BOOL IsThemed() const { return m_bThemed && m_hThemeHeader; }
  BOOL HasFocus() const { return ::GetFocus() == this->m_hWnd || m_bEditing; }
  static SIZE ImageSize(HIMAGELIST hList);
  // Cut at the clip rectangle's right and bottom.
  void DrawImage(CDCHandle dc, HIMAGELIST hList, int nImage, int x, int y, const CRect& rcClip);
  // TRUE when the cell ends its row (a group row).
  BOOL DrawCell(CDCHandle dc, int nItem, int nColumn, const CRect& rcItem, const CRect& rcCell,
                UINT nFormat, BOOL bFocusCell);
  void DrawProgress(CDCHandle dc, const CRect& rcCell, UINT nFlags, long nValue);
  void CloseThemes();
  void FillColours();

  // construction data
  HBITMAP m_hSkinBitmap;
  UINT m_nScrollId;
  HWND m_hWndNotify = nullptr;

  std::vector<CListColumnEx> m_aColumns;
  COLORREF m_rgbColours[CLR_COUNT];

  // options
  BOOL m_bShowHeader = TRUE;
  BOOL m_bSortEnabled = TRUE;
  BOOL m_bEnableHScroll = TRUE;
  BOOL m_bEnableVScroll = TRUE;
  BOOL m_bSmoothScroll = TRUE;
  BOOL m_bScrollToCell = FALSE;
  BOOL m_bThemed = FALSE;        // draw with visual styles where they are open
  BOOL m_bFocusSubItem = FALSE;  // cells, not only rows, take the focus
  BOOL m_bMultiSelect = FALSE;

  // sizes
  int m_nItemHeight = 0;
  int m_nHeaderHeight = 0;
  int m_nTotalWidth = -1;
  UINT m_nWheelLines = 3;
  BOOL m_bShowHScroll = FALSE;
  BOOL m_bShowVScroll = FALSE;
  BOOL m_bRedrawPending = FALSE;  // the whole window is invalid, its paint not yet run
  BOOL m_bRedrawOff = FALSE;      // WM_SETREDRAW FALSE

  // resources
  CFont m_fntListFont;
  CFont m_fntUnderlineFont;
  CImageList m_ilListItems;       // bitmap 123
  HIMAGELIST m_hCellImages = nullptr;  // the caller's
  HCURSOR m_curDivider = nullptr;
  HCURSOR m_curArrow = nullptr;
  HCURSOR m_curHyperLink = nullptr;
  HANDLE m_hThemeHeader = nullptr;
  HANDLE m_hThemeProgress = nullptr;
  CToolTipCtrl m_wndToolTip;

  // selection, focus and the state that painting shows
  std::set<int> m_setSelectedItems;
  int m_nAnchorItem = -1;
  int m_nFocusItem = -1;
  int m_nFocusSubItem = -1;
  int m_nHotItem = -1;
  int m_nHotSubItem = -1;
  int m_nSortColumn = -1;    // creation index
  BOOL m_bSortAscending = FALSE;
  int m_nPressedColumn = -1;  // header, display position
  BOOL m_bEditing = FALSE;
  BOOL m_bSelecting = FALSE;
  CRect m_rcSelect;           // drag selection, content coordinates
};
