#include "controls/CListImplEx.h"

#include <algorithm>
#include <cwctype>
#include <initializer_list>

#include "controls/CListCtrlDataEx.h"
#include "controls/CSkinScrollWnd.h"
#include "controls/CUIFontPair.h"
#include "platform/CAppModule.h"
#include "platform/CWindowDCs.h"
#include "platform/DebugReport.h"
#include "platform/TextConv.h"
#include "uiwin/UiWinThemeFunc.h"

namespace {

const int kImageStripId = 123;
const COLORREF kImageStripMask = RGB(255, 0, 255);

// Slots 10 to 23 of the colour table: selection, focus, progress and link colours.
const COLORREF kFixedColours[] = {0xF5C8AA, 0xFAFAE6, 0xFAF0D2, 0xFAD7B9, 0xFAFAFA,
                                  0xEBEBEB, 0xDCDCDC, 0xF5F5F5, 0xF5F5EB, 0xF5EBE1,
                                  0xAAF0AA, 0x32D22D, 0xD2BEB4, 0xC80000};

}  // namespace

template <class T>
CListImplEx<T>::CListImplEx(HBITMAP hSkinBitmap, UINT nScrollId, COLORREF rgbPressed,
                            COLORREF rgbSelected, COLORREF rgbHeaderBottom)
    : m_hSkinBitmap(hSkinBitmap), m_nScrollId(nScrollId) {
  m_rgbColours[CLR_HEADER_PRESSED] = rgbPressed;
  m_rgbColours[CLR_SELECTED] = rgbSelected;
  m_rgbColours[CLR_HEADER_BOTTOM] = rgbHeaderBottom;
  FillColours();
}

template <class T>
CListImplEx<T>::~CListImplEx() {
  CloseThemes();
}

template <class T>
SIZE CListImplEx<T>::ImageSize(HIMAGELIST hList) {
  int cx = 0, cy = 0;
  if (!hList || !::ImageList_GetIconSize(hList, &cx, &cy)) cx = cy = 0;
  return SIZE{cx, cy};
}

template <class T>
void CListImplEx<T>::FillColours() {
  m_rgbColours[CLR_BACKGROUND] = ::GetSysColor(COLOR_WINDOW);
  m_rgbColours[CLR_HEADER_LINE] = 0xDBB590;
  m_rgbColours[CLR_HEADER_TEXT] = ::GetSysColor(COLOR_WINDOWTEXT);
  m_rgbColours[CLR_GRID] = 0xDBB590;
  m_rgbColours[CLR_UNUSED] = ::GetSysColor(COLOR_WINDOWTEXT);
  m_rgbColours[CLR_CELL_TEXT] = ::GetSysColor(COLOR_WINDOWTEXT);
  std::copy(std::begin(kFixedColours), std::end(kFixedColours), m_rgbColours + CLR_SEL_OUTER);
}

template <class T>
HWND CListImplEx<T>::Create(HWND hWndParent, LPCRECT pRect, LPCWSTR pszName, DWORD dwStyle,
                            DWORD dwExStyle, UINT nId, LPVOID pParam) {
  m_hWndNotify = hWndParent;
  if (!dwStyle) dwStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  const RECT rc = pRect ? *pRect : RECT{0, 0, 0, 0};
  HWND hWnd = CWindowImpl<T>::Create(hWndParent, rc, pszName, dwStyle, dwExStyle, nId, pParam);
  // The scroll-bar frame is made while the grid is not visible yet; it shows as asked.
  CSkinScrollWnd* frame = hWnd ? CSkinScrollWnd::FromTarget(hWnd) : nullptr;
  if (frame && (dwStyle & WS_VISIBLE)) frame->ShowWindow(SW_SHOWNA);
  return hWnd;
}

// ---------------------------------------------------------------- set-up

template <class T>
BOOL CListImplEx<T>::AddColumn(LPCWSTR pszText, int nWidth, int nImage, BOOL bFixed, BOOL bSortable,
                               UINT nFormat, UINT nFlags) {
  CListColumnEx column;
  column.m_strText = qv::OrEmpty(pszText);
  column.m_nWidth = nWidth;
  column.m_nImage = nImage;
  column.m_bFixed = bFixed;
  column.m_bSortable = bSortable;
  column.m_nFormat = nFormat;
  if (column.m_strText.empty() && nImage != -1) {
    column.m_nWidth = ImageSize(m_ilListItems).cx + 5;
    nFlags |= ITEM_FLAGS_CENTRE;
  }
  column.m_nFlags = NormaliseFlags(nFlags);
  column.m_nIndex = GetColumnCount();
  m_aColumns.push_back(std::move(column));
  ResetScrollBars(SB_BOTH, -1, TRUE);
  return Redraw();
}

template <class T>
BOOL CListImplEx<T>::SetColumnWidth(int nColumn, int nWidth) {
  if (nColumn < 0 || nColumn >= GetColumnCount()) return FALSE;
  if (m_aColumns[nColumn].m_bFixed) return TRUE;
  m_aColumns[nColumn].m_nWidth = nWidth;
  ResetScrollBars(SB_BOTH, -1, TRUE);
  return TRUE;
}

template <class T>
void CListImplEx<T>::SetColumnText(int nColumn, LPCWSTR pszText) {
  if (nColumn >= 0 && nColumn < GetColumnCount())
    m_aColumns[nColumn].m_strText = qv::OrEmpty(pszText);
}

template <class T>
void CListImplEx<T>::ShowHeader(BOOL bShow) {
  m_bShowHeader = bShow;
  ResetScrollBars();
}

template <class T>
UINT CListImplEx<T>::NormaliseFlags(UINT nFlags) {
  UINT result = nFlags;
  if (nFlags & ITEM_FLAGS_CENTRE) result &= ~(ITEM_FLAGS_LEFT | ITEM_FLAGS_RIGHT);
  if (result & ITEM_FLAGS_RIGHT) result &= ~ITEM_FLAGS_LEFT;
  if (nFlags & ITEM_FLAGS_DATE_ONLY) result &= ~ITEM_FLAGS_TIME_ONLY;
  const bool numeric = (nFlags & (ITEM_FLAGS_EDIT_NUMBER | ITEM_FLAGS_EDIT_FLOAT)) != 0;
  if (result & ITEM_FLAGS_COMBO_EDIT) {
    const UINT dateBits = ITEM_FLAGS_DATE_ONLY | ITEM_FLAGS_TIME_ONLY | ITEM_FLAGS_DATETIME_NONE;
    result &= numeric ? ~(ITEM_FLAGS_EDIT_UPPER | dateBits)
                      : ~(ITEM_FLAGS_EDIT_NEGATIVE | ITEM_FLAGS_EDIT_OPERATOR | dateBits);
  } else {
    result &=
        numeric ? ~ITEM_FLAGS_EDIT_UPPER : ~(ITEM_FLAGS_EDIT_NEGATIVE | ITEM_FLAGS_EDIT_OPERATOR);
  }
  return result;
}

template <class T>
BOOL CListImplEx<T>::LoadSettings() {
  FillColours();
  ::SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &m_nWheelLines, 0);

  LOGFONTW lf{};
  HFONT shared = CUIFontPair::GetFont();
  if (!shared || !::GetObjectW(shared, sizeof lf, &lf)) return FALSE;
  m_fntListFont.Attach(::CreateFontIndirectW(&lf));
  lf.lfUnderline = TRUE;
  m_fntUnderlineFont.Attach(::CreateFontIndirectW(&lf));
  if (m_fntListFont.IsNull() || m_fntUnderlineFont.IsNull()) return FALSE;

  SIZE text{};
  {
    CClientDC dc(this->m_hWnd);
    if (dc.IsNull()) return FALSE;
    HGDIOBJ old = ::SelectObject(dc, m_fntListFont);
    const BOOL measured = ::GetTextExtentPoint32W(dc, L"Height", 6, &text);
    ::SelectObject(dc, old);
    if (!measured) return FALSE;
  }
  if (text.cy + 6 != m_nItemHeight || !m_wndDropArrows.IsWindow()) {
    m_nItemHeight = m_nHeaderHeight = text.cy + 6;
    if (!m_wndDropArrows.Create(this->m_hWnd, m_nHeaderHeight)) return FALSE;
  }

  CloseThemes();
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  if (themes.IsAvailable() && themes.pfnOpenThemeData) {
    m_hThemeHeader = themes.pfnOpenThemeData(this->m_hWnd, L"HEADER");
    m_hThemeProgress = themes.pfnOpenThemeData(this->m_hWnd, L"PROGRESS");
  }
  m_nTipItem = m_nTipSubItem = -1;
  return m_wndTitleTip.Create(this->m_hWnd, m_bThemed);
}

template <class T>
void CListImplEx<T>::CloseThemes() {
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  for (HANDLE* theme : {&m_hThemeHeader, &m_hThemeProgress}) {
    if (*theme && themes.pfnCloseThemeData) themes.pfnCloseThemeData(*theme);
    *theme = nullptr;
  }
}

// ---------------------------------------------------------------- columns and cell words

template <class T>
const CListColumnEx* CListImplEx<T>::GetColumn(int nColumn) const {
  return nColumn >= 0 && nColumn < GetColumnCount() ? &m_aColumns[nColumn] : nullptr;
}

template <class T>
int CListImplEx<T>::GetColumnIndex(int nColumn) const {
  const CListColumnEx* column = GetColumn(nColumn);
  return column ? column->m_nIndex : -1;
}

template <class T>
int CListImplEx<T>::GetColumnPosition(int nIndex) const {
  for (int i = 0; i < GetColumnCount(); ++i)
    if (m_aColumns[i].m_nIndex == nIndex) return i;
  return -1;
}

template <class T>
UINT CListImplEx<T>::GetItemFormat(int, int nSubItem) const {
  const CListColumnEx* column = GetColumn(GetColumnPosition(nSubItem));
  return column ? column->m_nFormat : 0;
}

template <class T>
UINT CListImplEx<T>::GetItemFlags(int, int nSubItem) const {
  const CListColumnEx* column = GetColumn(GetColumnPosition(nSubItem));
  return column ? column->m_nFlags : 0;
}

template <class T>
BOOL CListImplEx<T>::SetItemFlags(int, int, UINT) {
  ::qv::DebugReport("the grid view keeps no cell flags", __FILE__, __LINE__);
  return FALSE;
}

// ---------------------------------------------------------------- selection

template <class T>
BOOL CListImplEx<T>::SelectItem(int nItem, int nSubItem, UINT nFlags) {
  if (nItem < 0 || nItem >= Self()->GetItemCount()) return FALSE;
  const bool shift = (nFlags & MK_SHIFT) != 0;
  const bool control = (nFlags & MK_CONTROL) != 0;
  std::set<int>& selected = m_setSelectedItems;
  bool changed = true;
  if (control && !shift && selected.count(nItem)) {
    selected.erase(nItem);
    m_nAnchorItem = m_nFocusItem = nItem;
    m_nFocusSubItem = selected.size() <= 1 ? nSubItem : -1;
    changed = false;
  } else if (!control || shift) {
    if (selected.size() == 1 && *selected.begin() == nItem) {
      m_nAnchorItem = m_nFocusItem = nItem;
      m_nFocusSubItem = nSubItem;
      changed = false;
    } else {
      selected.clear();
    }
  }
  if (changed) {
    if (shift) {
      if (m_nAnchorItem < 0 || m_nAnchorItem >= Self()->GetItemCount()) m_nAnchorItem = nItem;
      for (int i = std::min(m_nAnchorItem, nItem); i <= std::max(m_nAnchorItem, nItem); ++i)
        selected.insert(i);
    } else {
      m_nAnchorItem = nItem;
      selected.insert(nItem);
    }
    m_nFocusItem = nItem;
    m_nFocusSubItem = selected.size() <= 1 ? nSubItem : -1;
    NotifyParent(m_nFocusItem, m_nFocusSubItem, LIST_NOTIFY_SELCHANGED);
  }
  // The page may have removed rows meanwhile; the focus row follows its record.
  if (this->m_hWnd && m_nFocusItem >= 0 && m_nFocusItem < Self()->GetItemCount()) {
    if (!IsItemVisible(m_nFocusItem, -1, FALSE))
      this->SetTimer(kTimerDelayedEdit, 250);
    else if (m_nFocusSubItem >= 0)
      EditItem(m_nFocusItem, m_nFocusSubItem);
  }
  Redraw();
  return TRUE;
}

template <class T>
LRESULT CListImplEx<T>::NotifyParent(int nItem, int nSubItem, int nCode) {
  CListNotify notify{};
  notify.m_hdrNotify.hwndFrom = this->m_hWnd;
  notify.m_hdrNotify.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(this->m_hWnd));
  notify.m_hdrNotify.code = static_cast<UINT>(nCode);
  notify.m_nItem = nItem;
  notify.m_nSubItem = std::max(0, GetColumnIndex(nSubItem));
  return ::SendMessageW(m_hWndNotify, WM_NOTIFY, notify.m_hdrNotify.idFrom,
                        reinterpret_cast<LPARAM>(&notify));
}

template <class T>
void CListImplEx<T>::OnItemDeleted(int nItem) {
  std::set<int> moved;
  for (int i : m_setSelectedItems)
    if (i != nItem) moved.insert(i < nItem ? i : i - 1);
  m_setSelectedItems.swap(moved);
  for (int* index : {&m_nAnchorItem, &m_nFocusItem, &m_nHotItem, &m_nEditItem}) {
    if (*index == nItem)
      *index = -1;
    else if (*index > nItem)
      --*index;
  }
  if (m_nFocusItem < 0) m_nFocusSubItem = -1;
  ++m_nRowsChanged;
  ResetScrollBars();
}

template <class T>
void CListImplEx<T>::OnAllItemsDeleted() {
  OnItemsReordered();
  ResetScrollBars();
}

template <class T>
BOOL CListImplEx<T>::Redraw() {
  if (!this->m_hWnd) return FALSE;
  if (m_bRedrawOff) return TRUE;
  // Once the whole window waits for its paint, further requests add nothing: a page
  // that fills thousands of rows gets one repaint, scroll bars included.
  const BOOL visible = ::IsWindowVisible(this->m_hWnd);
  if (m_bRedrawPending && visible) return TRUE;
  m_bRedrawPending = visible;
  return ::RedrawWindow(this->m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// ---------------------------------------------------------------- geometry

template <class T>
int CListImplEx<T>::GetContentHeight() {
  return std::max(1, Self()->GetItemCount() * m_nItemHeight + GetHeaderHeight());
}

template <class T>
int CListImplEx<T>::GetTotalWidth(BOOL bRecalculate) {
  if (bRecalculate) {
    int total = 0;
    for (const CListColumnEx& column : m_aColumns) total += column.m_nWidth;
    m_nTotalWidth = total - 1;
  }
  return m_nTotalWidth;
}

template <class T>
int CListImplEx<T>::GetTopIndex() const {
  if (!this->m_hWnd || m_nItemHeight <= 0) return 0;
  return ::GetScrollPos(this->m_hWnd, SB_VERT) / m_nItemHeight;
}

template <class T>
int CListImplEx<T>::GetCountPerPage(BOOL bPartial) const {
  CRect client;
  if (this->m_hWnd) ::GetClientRect(this->m_hWnd, &client);
  if (m_nItemHeight <= 0) return 1;
  const int height = client.Height() - GetHeaderHeight();
  int count = height / m_nItemHeight;
  if (bPartial && height % m_nItemHeight > 0) ++count;
  return std::max(1, count);
}

template <class T>
BOOL CListImplEx<T>::GetItemRect(int nItem, int nSubItem, CRect& rcItem) const {
  const int top = GetTopIndex();
  if (nItem < top || nItem >= Self()->GetItemCount() || nItem >= top + GetCountPerPage(TRUE))
    return FALSE;
  ::GetClientRect(this->m_hWnd, &rcItem);
  rcItem.top = (nItem - top) * m_nItemHeight + GetHeaderHeight();
  rcItem.bottom = rcItem.top + m_nItemHeight;
  rcItem.right = std::min<int>(rcItem.right, m_nTotalWidth);
  if (nSubItem != -1) {
    CRect column;
    if (!GetColumnRect(nSubItem, column)) return FALSE;
    rcItem.left = column.left;
    rcItem.right = column.right;
  }
  return TRUE;
}

template <class T>
BOOL CListImplEx<T>::GetColumnRect(int nColumn, CRect& rcColumn) const {
  if (nColumn < 0 || nColumn >= GetColumnCount()) return FALSE;
  int left = 0;
  for (int i = 0; i < nColumn; ++i) left += m_aColumns[i].m_nWidth;
  rcColumn.SetRect(left, 0, left + m_aColumns[nColumn].m_nWidth, m_nHeaderHeight);
  if (this->m_hWnd) rcColumn.OffsetRect(-::GetScrollPos(this->m_hWnd, SB_HORZ), 0);
  return TRUE;
}

template <class T>
int CListImplEx<T>::GetColumnWidth(int nColumn) const {
  const CListColumnEx* column = GetColumn(nColumn);
  return column ? column->m_nWidth : 0;
}

template <class T>
BOOL CListImplEx<T>::IsItemVisible(int nItem, int nSubItem, BOOL bPartial) const {
  const int top = GetTopIndex();
  if (nItem < top || nItem >= top + GetCountPerPage(bPartial)) return FALSE;
  if (!m_bFocusSubItem || nSubItem == -1) return TRUE;
  CRect client, column;
  ::GetClientRect(this->m_hWnd, &client);
  return GetColumnRect(nSubItem, column) && column.left >= client.left &&
         column.right <= client.right;
}

template <class T>
CRect CListImplEx<T>::GetCheckRect(const CRect& rcCell, UINT nFlags, CRect& rcText) const {
  const SIZE size = ImageSize(m_ilListItems);
  CRect box(0, 0, size.cx, size.cy);
  // Centred when asked; any other alignment puts the box where the text starts.
  if (nFlags & ITEM_FLAGS_CENTRE) {
    box.MoveToXY(rcCell.left + (rcCell.Width() - size.cx) / 2, 0);
  } else {
    box.MoveToXY(rcText.left, 0);
    rcText.left += size.cx + 4;
  }
  box.OffsetRect(0, rcCell.top + (rcCell.Height() - size.cy) / 2);
  return box;
}

template <class T>
void CListImplEx<T>::ResetScrollBars(int nBar, int nPosition, BOOL bRecalculate) {
  if (bRecalculate) GetTotalWidth(TRUE);
  if (!this->m_hWnd || m_bRedrawOff) return;
  // A bar that comes or goes changes the client area the other bar's page is measured
  // on: both are set again until the area holds still.
  for (int round = 0; round < 3; ++round, nBar = SB_BOTH) {
    CRect before, client;
    ::GetClientRect(this->m_hWnd, &before);
    client = before;
    // An empty range when there is nothing to scroll; the position only when one is given.
    auto setBar = [&](int bar, int max, int page) {
      SCROLLINFO si{sizeof si, SIF_PAGE | SIF_RANGE, 0, max, static_cast<UINT>(page), nPosition, 0};
      if (nPosition >= 0) si.fMask |= SIF_POS;
      ::SetScrollInfo(this->m_hWnd, bar, &si, FALSE);
      ::GetClientRect(this->m_hWnd, &client);
      return max > 0;
    };
    if ((nBar == SB_VERT || nBar == SB_BOTH) && m_bEnableVScroll) {
      const int rows = Self()->GetItemCount() * m_nItemHeight;
      const int page = client.Height() - GetHeaderHeight();
      // A page of whole rows: at the end of the range the last row ends the page, whole.
      const bool scrolls = rows > page && m_nItemHeight > 0;
      m_bShowVScroll = setBar(SB_VERT, scrolls ? rows - 1 : 0,
                              scrolls ? std::max(1, page / m_nItemHeight) * m_nItemHeight : 0);
    }
    if ((nBar == SB_HORZ || nBar == SB_BOTH) && m_bEnableHScroll) {
      const bool scrolls = client.Width() < m_nTotalWidth;
      m_bShowHScroll = setBar(SB_HORZ, scrolls ? m_nTotalWidth : 0, scrolls ? client.Width() : 0);
    }
    if (client == before) break;
  }
  // The bars are drawn with the next paint, not once per change.
  Redraw();
}

// ---------------------------------------------------------------- cell values

template <class T>
int CListImplEx<T>::GetItemImage(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = Self()->GetCell(nItem, nSubItem);
  return cell ? cell->m_nImage : -1;
}

template <class T>
HFONT CListImplEx<T>::GetItemFont(int nItem, int nSubItem) const {
  const CListSubItemEx* cell = Self()->GetCell(nItem, nSubItem);
  if (!cell) return nullptr;
  return cell->m_hFont ? cell->m_hFont : m_fntListFont.Get();
}

template <class T>
BOOL CListImplEx<T>::GetItemColours(int nItem, int nSubItem, COLORREF& rgbBackground,
                                    COLORREF& rgbText) const {
  const CListSubItemEx* cell = Self()->GetCell(nItem, nSubItem);
  if (!cell) return FALSE;
  rgbBackground = cell->m_rgbBackground;
  rgbText = cell->m_rgbText;
  return TRUE;
}

template <class T>
BOOL CListImplEx<T>::GetItemDate(int nItem, int nSubItem, SYSTEMTIME& stDate) const {
  stDate = SYSTEMTIME{};
  const CListSubItemEx* cell = Self()->GetCell(nItem, nSubItem);
  if (!cell) return FALSE;
  const std::wstring& text = cell->m_strText;
  // Only a whole "YYYYMMDDhhmmss" is a date; anything shorter reads as none.
  if (text.size() < 14) return FALSE;
  for (int i = 0; i < 14; ++i)
    if (!std::iswdigit(text[i])) return FALSE;
  auto field = [&text](int at, int length) {
    WORD value = 0;
    for (int i = at; i < at + length; ++i) value = static_cast<WORD>(value * 10 + (text[i] - L'0'));
    return value;
  };
  stDate.wYear = field(0, 4);
  stDate.wMonth = field(4, 2);
  stDate.wDay = field(6, 2);
  stDate.wHour = field(8, 2);
  stDate.wMinute = field(10, 2);
  stDate.wSecond = field(12, 2);
  return TRUE;
}

template <class T>
std::wstring CListImplEx<T>::FormatDate(const SYSTEMTIME& stDate) {
  wchar_t text[32] = L"";
  if (!stDate.wYear ||
      !::GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &stDate, nullptr, text, 32))
    return std::wstring();
  return text;
}

template <class T>
std::wstring CListImplEx<T>::FormatTime(const SYSTEMTIME& stDate) {
  SYSTEMTIME time = stDate;
  time.wYear = time.wMonth = time.wDay = 0;
  wchar_t text[32] = L"";
  if (!::GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &time, nullptr, text, 32)) return std::wstring();
  return text;
}

template <class T>
std::wstring CListImplEx<T>::GetItemDateText(int nItem, int nSubItem) const {
  SYSTEMTIME date;
  if (!GetItemDate(nItem, nSubItem, date)) return std::wstring();
  const UINT flags = GetItemFlags(nItem, nSubItem);
  if (flags & ITEM_FLAGS_DATE_ONLY) return FormatDate(date);
  if (flags & ITEM_FLAGS_TIME_ONLY) return FormatTime(date);
  return FormatDate(date) + L" " + FormatTime(date);
}

template <class T>
int CListImplEx<T>::GetGroupChildCount(int nItem) const {
  if (nItem < 0) {
    int count = 0;
    for (int i = 0; i < Self()->GetItemCount(); ++i)
      if (GetItemFlags(i, 0) == ITEM_FLAGS_HIDDEN) ++count;
    return count;
  }
  const CListSubItemEx* cell = Self()->GetCell(nItem, 0);
  return cell ? static_cast<int>(cell->m_aTags.size()) : 0;
}

template <class T>
BOOL CListImplEx<T>::IsGroupCollapsed(int nItem) const {
  const CListSubItemEx* cell = Self()->GetCell(nItem, 0);
  if (!cell || cell->m_aTags.empty()) return FALSE;
  return GetItemFlags(static_cast<int>(cell->m_aTags[0]), 0) == ITEM_FLAGS_HIDDEN;
}

// ---------------------------------------------------------------- messages

template <class T>
LRESULT CListImplEx<T>::OnCreate(UINT, WPARAM, LPARAM, BOOL&) {
  HINSTANCE instance = g_module.GetResourceInstance();
  if (!instance) instance = ::GetModuleHandleW(nullptr);
  m_ilListItems.Attach(::ImageList_LoadImageW(instance, MAKEINTRESOURCEW(kImageStripId), 16, 0,
                                              kImageStripMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
  if (!m_ilListItems.m_hImageList) return -1;
  m_curDivider = ::LoadCursorW(nullptr, IDC_SIZEWE);
  m_curArrow = ::LoadCursorW(nullptr, IDC_ARROW);
  m_curHyperLink = ::LoadCursorW(nullptr, IDC_HAND);
  if (!m_curDivider || !m_curArrow || !m_curHyperLink || !LoadSettings()) return -1;
  if (!m_wndToolTip.Create(this->m_hWnd)) return -1;
  m_wndToolTip.SetMaxTipWidth(32767);
  if (!SkinWndScroll(this->m_hWnd, m_hSkinBitmap, m_nScrollId)) return -1;
  ResetScrollBars();
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  // An open edit keeps its value, but the page, going too, hears nothing more.
  m_hWndNotify = nullptr;
  EndEdit();
  const std::initializer_list<CWindow*> members = {&m_wndDropArrows, &m_wndTitleTip, &m_wndItemEdit,
                                                   &m_wndItemCombo, &m_wndItemDate};
  for (CWindow* member : members)
    if (member->IsWindow()) member->DestroyWindow();
  if (m_wndToolTip.IsWindow()) m_wndToolTip.DestroyWindow();
  m_wndToolTip.m_hWnd = nullptr;
  CloseThemes();
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  m_bRedrawPending = FALSE;
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnFocusChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  Redraw();
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  StopSmoothScroll();
  EndEdit();
  ResetScrollBars(SB_BOTH, -1, FALSE);
  bHandled = FALSE;
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnSetRedraw(UINT, WPARAM wParam, LPARAM, BOOL&) {
  m_bRedrawOff = !wParam;
  if (wParam) ResetScrollBars();
  return 0;
}

template <class T>
LRESULT CListImplEx<T>::OnSettingsChange(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  LoadSettings();
  ResetScrollBars();
  bHandled = FALSE;
  return 0;
}

template class CListImplEx<CListCtrlDataEx<unsigned long>>;
