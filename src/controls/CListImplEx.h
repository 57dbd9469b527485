#pragma once
// The grid view: an owner-drawn table with a header and fixed-height rows of typed
// cells. T keeps the rows (CListCtrlDataEx) and answers the view's questions about
// them statically (GetItemCount, GetCell, GetItemText, GetItemCheck, GetItemTags).
// The view owns the columns, the selection and focus, the colour table, the fonts,
// the cursors, its image strip (bitmap 123) and the notification target; the caller's
// cell image list is only borrowed. Painting goes through a back buffer and draws only
// the rows and columns that meet the clip box. It answers the mouse, the keys and its
// scroll bars, sorts, sizes columns and tells its parent what the user did (CListNotify,
// codes -1501 to -1507); the cells' in-place editors report back to it. UI thread only.
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "controls/CDropArrowsEx.h"
#include "controls/CListColumnEx.h"
#include "controls/CListComboEx.h"
#include "controls/CListDate.h"
#include "controls/CListEditEx.h"
#include "controls/CListNotify.h"
#include "controls/CTitleTipEx.h"
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
  // toggles the row. Ends by opening the focus cell's editor (at once when the row is
  // fully visible, else a moment later).
  BOOL SelectItem(int nItem, int nSubItem, UINT nFlags);
  BOOL IsItemSelected(int nItem) const { return m_setSelectedItems.count(nItem) != 0; }
  int GetSelectedCount() const { return static_cast<int>(m_setSelectedItems.size()); }
  LRESULT NotifyParent(int nItem, int nSubItem, int nCode);
  // The focus row when it is selected, else the lowest selected row, else -1; the column
  // only when cells take the focus, else -1.
  BOOL GetFocusItem(int& nItem, int& nSubItem) const;
  BOOL SetFocusItem(int nItem, int nSubItem);
  BOOL EnsureItemVisible(int nItem, int nSubItem);
  // Sorts the rows by the column's texts; the same column again reverses them. The
  // selection is emptied; rows keep their data words and groups their members.
  BOOL SortColumn(int nColumn);

  // ---- editing (columns by display position)
  // Opens the cell's in-place editor when its format is editable (1, 2, 3) and it is not
  // read-only; 0 when the cell cannot be shown, the grid lacks the focus or no editor opens.
  BOOL EditItem(int nItem, int nSubItem);
  BOOL IsEditing() const { return m_bEditing; }
  // Ends an open edit, storing what the editor holds (and notifying as the user's end
  // would), so a page can read the grid. TRUE when no edit is open any more.
  BOOL EndEdit();

  // ---- column sizing
  // Fits a column that is not fixed to its widest text (header included) + 20 pixels.
  BOOL AutoSizeColumn(int nColumn);

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
  // Where a clickable cell answers the mouse (its image and its text) inside rcCell, the
  // cell as painted (GetItemRect less the grid line on the right); empty when nowhere.
  CRect GetLinkRect(int nItem, int nSubItem, const CRect& rcCell) const;
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
    MESSAGE_HANDLER(WM_GETDLGCODE, OnGetDlgCode)
    MESSAGE_HANDLER(WM_SIZE, OnSize)
    MESSAGE_HANDLER(WM_HSCROLL, OnHScroll)
    MESSAGE_HANDLER(WM_VSCROLL, OnVScroll)
    MESSAGE_HANDLER(WM_CANCELMODE, OnCancelMode)
    MESSAGE_RANGE_HANDLER(WM_MOUSEFIRST, WM_MOUSELAST, OnMouseRelay)
    MESSAGE_HANDLER(WM_LBUTTONDOWN, OnLButtonDown)
    MESSAGE_HANDLER(WM_LBUTTONUP, OnLButtonUp)
    MESSAGE_HANDLER(WM_LBUTTONDBLCLK, OnLButtonDblClk)
    MESSAGE_HANDLER(WM_RBUTTONDOWN, OnRButtonDown)
    MESSAGE_HANDLER(WM_RBUTTONUP, OnRButtonUp)
    MESSAGE_HANDLER(WM_MOUSEMOVE, OnMouseMove)
    MESSAGE_HANDLER(WM_MOUSELEAVE, OnMouseLeave)
    MESSAGE_HANDLER(WM_MOUSEWHEEL, OnMouseWheel)
    MESSAGE_HANDLER(WM_TIMER, OnTimer)
    MESSAGE_HANDLER(WM_KEYDOWN, OnKeyDown)
    MESSAGE_HANDLER(WM_SYSKEYDOWN, OnSysKeyDown)
    MESSAGE_HANDLER(WM_SETTINGCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_SYSCOLORCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_FONTCHANGE, OnSettingsChange)
    MESSAGE_HANDLER(WM_THEMECHANGED, OnSettingsChange)
    MESSAGE_HANDLER(WM_NOTIFY, OnNotify)
    MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    MESSAGE_HANDLER(WM_SETREDRAW, OnSetRedraw)
    CHAIN_MSG_MAP(CDoubleBufferImpl<T>)
  END_MSG_MAP()

  LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPaint(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnFocusChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGetDlgCode(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnHScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnVScroll(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCancelMode(UINT, WPARAM, LPARAM, BOOL&);
  // Shows the mouse to the row tips' control; the message goes on to its own handler.
  LRESULT OnMouseRelay(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnLButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnLButtonDblClk(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRButtonDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRButtonUp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseMove(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseLeave(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnMouseWheel(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTimer(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSysKeyDown(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSettingsChange(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNotify(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCommand(UINT, WPARAM, LPARAM, BOOL&);
  // Redraw off: rows come and go without scroll-bar updates or repaints (the window
  // stays visible); back on, the bars are set and the grid repainted once.
  LRESULT OnSetRedraw(UINT, WPARAM, LPARAM, BOOL&);

 protected:
  // Window timers of the grid.
  enum : UINT_PTR {
    kTimerAutoShrink = 1001,  // narrows a column dragged left at the right end of the view
    kTimerDelayedEdit = 1002,  // opens the focus cell's editor once its row has scrolled in
    kTimerSelectBand = 1003,   // goes on with a drag selection while the pointer stands still
    kTimerSmoothScroll = 1004,
  };

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
  // The text area of a painted cell inside its margins; GetCellTextRect also leaves out the
  // cell's image. Painting and hit tests place text and check boxes by them.
  static CRect TextArea(int nColumn, const CRect& rcCell);
  CRect GetCellTextRect(int nItem, int nColumn, const CRect& rcCell) const;
  // A date cell as shown, in the user's formats; empty when it holds no date.
  std::wstring GetItemDateText(int nItem, int nSubItem) const;

  // The in-place editor of a cell of format 1, 2 or 3 over rcCell (the cell's own or its
  // column's choices for a combo cell): its window, or null when none can be shown. An
  // editor ends its edit when it loses the keyboard focus and reports the end to the grid
  // with LIST_NOTIFY_ENDEDIT (row, column position, exit key, text, date).
  virtual HWND ShowEditor(int nItem, int nSubItem, UINT nFormat, UINT nFlags, const CRect& rcCell,
                          const std::vector<std::wstring>& aChoices);

  // ---- interaction (columns by display position)
  BOOL HitTestItem(POINT pt, int& nItem, int& nSubItem) const;
  // On a column, or within 5 pixels left or 4 right of its right edge (its divider).
  BOOL HitTestHeader(POINT pt, int& nColumn, BOOL& bDivider) const;
  void PressCell(int nItem, int nSubItem, POINT pt);
  // Steps a check cell that is not read-only as a click does and notifies; FALSE otherwise.
  BOOL ToggleCheck(int nItem, int nSubItem);
  void ToggleGroup(int nItem);
  void SetHotCell(int nItem, int nSubItem);
  void InvalidateLink(int nItem, int nSubItem);
  void TypeAhead(wchar_t chKey, int nFocusItem);
  // A drag with multiple selection on: the rows under the band from the press to pt
  // (client coordinates) become the selection; outside the rows the view scrolls a step.
  void DragSelect(POINT pt);
  void EndDragSelect();
  // The row's tip text over the row's rectangle (tool 1000), or no row tip for -1 or a
  // row without one.
  void SetRowTip(int nItem);
  // The clipped-text tip over the cell under the pointer, when its text does not fit.
  void OfferTitleTip(int nItem, int nSubItem, POINT pt);
  void HideTitleTip();
  // Rows were removed or reordered: indices kept across a notification are stale.
  void OnItemsReordered();

  // ---- scrolling and column sizing
  int ThumbPosition(WPARAM wParam, LPARAM lParam) const;
  BOOL IsScrolledToRightEnd() const;
  void ScrollHorizontally(int nPosition);
  void StartSmoothScroll(int nFromTop, int nToTop);
  void SmoothScrollTick();
  void StopSmoothScroll();
  BOOL DrawSmoothScroll(CDCHandle dc);
  void ResizeColumn(int xScreen);
  void AutoShrinkTick();
  void EndResize();

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
  HBITMAP m_hBackground = nullptr;  // drawn behind the rows; the caller's, kept alive by it
  BOOL m_bTileBackground = FALSE;   // repeated over the area, else drawn once near its middle

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

  // mouse and keyboard
  BOOL m_bPressedSortable = TRUE;  // the header column under the last press
  BOOL m_bButtonDown = FALSE;      // pressed on the header (or anywhere with multiple selection)
  BOOL m_bMouseTracked = FALSE;
  CPoint m_ptDown;
  CPoint m_ptDownContent;          // the press point plus the scroll positions
  DWORD m_dwBandScrollTime = 0;    // tick count of the drag selection's last scroll step
  int m_nRowsChanged = 0;          // counts removals and reorders of rows
  DWORD m_dwTypeAheadTime = 0;
  std::wstring m_strTypeAhead;

  // member windows
  CDropArrowsEx m_wndDropArrows;
  CTitleTipEx m_wndTitleTip;
  CListEditEx m_wndItemEdit;
  CListDate m_wndItemDate;
  CListComboEx m_wndItemCombo;
  int m_nRowTipItem = -1;  // the row tool 1000 stands over, where and what it says
  CRect m_rcRowTip;
  std::wstring m_strRowTip;
  int m_nTipItem = -1;  // the cell last offered a tip
  int m_nTipSubItem = -1;
  BOOL m_bTipShown = FALSE;  // and whether its text needed one

  // the open edit
  HWND m_hWndEditor = nullptr;
  int m_nEditItem = -1;
  int m_nEditSubItem = -1;

  // divider drag
  BOOL m_bResizing = FALSE;
  BOOL m_bAutoShrink = FALSE;  // timer 1001 narrows the column while the view is at its right end
  int m_nResizeColumn = -1;
  int m_nResizeWidth = 0;      // the column's width, and the pointer's screen x, at the press
  int m_nResizeX = 0;
  int m_nShrinkX = 0;

  // smooth vertical scroll: the rows between the old and new top, drawn once, shifted per tick
  CBitmap m_bmpSmooth;
  BOOL m_bSmoothDown = FALSE;
  int m_nSmoothDistance = 0;
  int m_nSmoothRemaining = 0;
  int m_nSmoothStep = 0;
  int m_nSmoothSteps = 0;
};
