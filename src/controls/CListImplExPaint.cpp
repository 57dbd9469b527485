// Painting of the grid view. Everything draws into the device context it is given
// (the back buffer while painting, an off-screen picture while scrolling) and only
// what meets its clip box.
#include "controls/CListImplEx.h"

#include <vsstyle.h>

#include <algorithm>
#include <cwchar>

#include "controls/CBrushSelector.h"
#include "controls/CGradient.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CPenSelector.h"
#include "controls/DrawHelpers.h"
#include "platform/CBitmapDC.h"
#include "platform/CDCStateSaver.h"
#include "uiwin/UiWinThemeFunc.h"

namespace {

// Images of the grid's own strip.
enum {
  IMG_SORT_UP = 0,
  IMG_SORT_DOWN = 1,
  IMG_BOX = 2,
  IMG_BOX_BLUE_TICK = 3,
  IMG_BOX_GREEN_TICK = 4,
  IMG_BOX_RED_CROSS = 5,
  IMG_GROUP_COLLAPSED = 10,
  IMG_GROUP_EXPANDED = 11,
};

// Single line, vertically centred, no prefixes, ellipsis at the end.
UINT TextFormat(UINT nFlags) {
  const UINT base = DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER;
  if (nFlags & ITEM_FLAGS_CENTRE) return base | DT_CENTER;
  return (nFlags & ITEM_FLAGS_RIGHT) ? base | DT_RIGHT : base;
}

void DrawString(CDCHandle dc, const std::wstring& text, CRect rc, UINT nFlags) {
  dc.DrawText(text.c_str(), static_cast<int>(text.size()), &rc, TextFormat(nFlags));
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}

// True when the window's bar stands at the end of its range (or has no range).
bool AtScrollEnd(HWND wnd, int bar) {
  SCROLLINFO si{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
  if (!::GetScrollInfo(wnd, bar, &si) || si.nMax <= si.nMin) return true;
  return si.nPos >= si.nMax - static_cast<int>(si.nPage) + 1;
}

}  // namespace

template <class T>
void CListImplEx<T>::DoPaint(CDCHandle dc) {
  CDCStateSaver state(dc);
  DrawBackground(dc);
  if (!DrawSmoothScroll(dc)) {
    DrawRows(dc);
    DrawSelectRect(dc);
  }
  DrawHeader(dc);
}

template <class T>
void CListImplEx<T>::DrawBackground(CDCHandle dc) {
  CRect clip;
  if (::GetClipBox(dc, &clip) == ERROR) return;
  dc.FillSolidRect(clip, Colour(CLR_BACKGROUND));
  const int header = GetHeaderHeight();
  BITMAP bm{};
  if (!m_hBackground || clip.bottom <= header || !::GetObjectW(m_hBackground, sizeof bm, &bm) ||
      bm.bmWidth <= 0 || bm.bmHeight <= 0)
    return;
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  CBitmapDC picture(m_hBackground, dc);
  if (m_bTileBackground) {
    // From the client origin; only the copies that meet the clip box.
    for (int y = clip.top - clip.top % bm.bmHeight; y < std::min(clip.bottom, client.bottom); y += bm.bmHeight)
      for (int x = clip.left - clip.left % bm.bmWidth; x < std::min(clip.right, client.right); x += bm.bmWidth)
        dc.BitBlt(x, y, bm.bmWidth, bm.bmHeight, picture, 0, 0, SRCCOPY);
    return;
  }
  int x = client.left, y = header;
  const int below = client.Height() - header;
  if (bm.bmWidth < client.Width()) x = client.Width() / 2 - bm.bmWidth / 2;
  if (bm.bmHeight + 16 < below) y = below / 2 - (bm.bmHeight + 16) / 2;
  dc.BitBlt(x, y, bm.bmWidth, bm.bmHeight, picture, 0, 0, SRCCOPY);
}

template <class T>
void CListImplEx<T>::DrawRows(CDCHandle dc) {
  CRect clip;
  if (::GetClipBox(dc, &clip) == ERROR || m_nItemHeight <= 0) return;
  const int scrollX = ::GetScrollPos(this->m_hWnd, SB_HORZ);
  CRect row(-scrollX, GetHeaderHeight(), m_nTotalWidth - scrollX,
            GetHeaderHeight() + m_nItemHeight);
  const int count = Self()->GetItemCount();
  for (int i = GetTopIndex(); i < count; ++i, row.OffsetRect(0, m_nItemHeight)) {
    if (row.top >= clip.bottom || row.left >= clip.right) break;
    if (row.bottom < clip.top || row.right < clip.left) continue;
    DrawItem(dc, i, row);
  }
}

template <class T>
void CListImplEx<T>::DrawItem(CDCHandle dc, int nItem, const CRect& rcItem) {
  if (GetItemFlags(nItem, 0) & ITEM_FLAGS_HIDDEN) return;
  CRect clip, client;
  if (::GetClipBox(dc, &clip) == ERROR) return;
  ::GetClientRect(this->m_hWnd, &client);
  CDCStateSaver state(dc);
  const BOOL focused = HasFocus();
  CPenSelector gridPen(dc, Colour(CLR_GRID));

  if (IsItemSelected(nItem)) {
    if (!IsThemed()) {
      Line(dc, rcItem.left, rcItem.top, rcItem.right, rcItem.top);
      // Group and owner-drawn rows paint their own band.
      if (!(GetItemFormat(nItem, 0) & 0x8))
        dc.FillSolidRect(CRect(rcItem.left, rcItem.top + 1, client.right, rcItem.bottom),
                         Colour(CLR_SELECTED));
    } else {
      DrawRoundFrame(dc, rcItem, Colour(focused ? CLR_SEL_OUTER : CLR_SEL_OUTER_NOFOCUS),
                     Colour(focused ? CLR_SEL_INNER : CLR_SEL_INNER_NOFOCUS));
      CRect inner = rcItem;
      inner.DeflateRect(2, 2);
      DrawGradient(dc, inner, Colour(focused ? CLR_SEL_TOP : CLR_SEL_TOP_NOFOCUS),
                   Colour(focused ? CLR_SEL_BOTTOM : CLR_SEL_BOTTOM_NOFOCUS));
    }
  }
  Line(dc, rcItem.left, rcItem.bottom, client.right, rcItem.bottom);

  ::SetBkMode(dc, TRANSPARENT);
  const int last = GetColumnCount() - 1;
  int left = rcItem.left;
  for (int column = 0; column <= last; ++column) {
    const CRect cell(left, rcItem.top, left + m_aColumns[column].m_nWidth - 1, rcItem.bottom);
    left = cell.right + 1;
    if (cell.left >= clip.right) break;
    if (cell.right < clip.left || cell.right <= cell.left) continue;
    if (column != last) Line(dc, cell.right, rcItem.top, cell.right, rcItem.bottom);
    const UINT format = GetItemFormat(nItem, m_aColumns[column].m_nIndex);
    if (format == ITEM_FORMAT_CUSTOM) return;
    const BOOL focusCell = m_bFocusSubItem && nItem == m_nFocusItem && column == m_nFocusSubItem;
    if (DrawCell(dc, nItem, column, rcItem, cell, format, focusCell)) return;
  }
}

template <class T>
BOOL CListImplEx<T>::DrawCell(CDCHandle dc, int nItem, int nColumn, const CRect& rcItem,
                              const CRect& rcCell, UINT nFormat, BOOL bFocusCell) {
  const int index = m_aColumns[nColumn].m_nIndex;
  const CListSubItemEx* data = Self()->GetCell(nItem, index);
  static const std::wstring kNoText;
  const std::wstring& text = data ? data->m_strText : kNoText;
  const UINT flags = GetItemFlags(nItem, index);
  const BOOL themed = IsThemed();
  COLORREF background = Colour(CLR_BACKGROUND), textColour = Colour(CLR_CELL_TEXT);

  if (!bFocusCell) {
    GetItemColours(nItem, index, background, textColour);
    if (background != Colour(CLR_BACKGROUND)) {
      CPenSelector pen(dc, background);
      CBrushSelector brush(dc, background);
      ::RoundRect(dc, rcCell.left, rcCell.top, rcCell.right, rcCell.bottom, 3, 3);
    }
  } else if (!themed) {
    dc.FillSolidRect(rcCell, Colour(m_bEditing ? CLR_BACKGROUND : CLR_FOCUS_FILL));
    if (m_bEditing) DrawFrame(dc, rcCell, Colour(CLR_FOCUS_FILL));
  } else if (HasFocus()) {
    DrawRoundFrame(dc, rcCell, Colour(CLR_SEL_OUTER), Colour(CLR_SEL_INNER));
    CRect inner = rcCell;
    inner.DeflateRect(2, 2);
    if (m_bEditing)
      dc.FillSolidRect(inner, Colour(CLR_BACKGROUND));
    else
      DrawGradient(dc, inner, Colour(CLR_FOCUS_TOP), Colour(CLR_FOCUS_BOTTOM));
  }

  CRect rcText = TextArea(nColumn, rcCell);
  const int image = data ? data->m_nImage : -1;
  if (m_hCellImages && image != -1 && !(bFocusCell && m_bEditing)) {
    const SIZE size = ImageSize(m_hCellImages);
    const int x = text.empty() ? rcText.left + (rcText.Width() - size.cx) / 2 - (themed ? 1 : 0)
                               : rcText.left;
    DrawImage(dc, m_hCellImages, image, x, rcCell.top + (rcCell.Height() - size.cy) / 2, rcCell);
    rcText.left += size.cx + 4;
  }
  if (rcText.IsRectEmpty()) return FALSE;

  ::SelectObject(dc, GetItemFont(nItem, index));
  dc.SetTextColor(textColour);
  switch (nFormat) {
    case ITEM_FORMAT_DATETIME: {
      const std::wstring shown = GetItemDateText(nItem, index);
      if (!shown.empty()) DrawString(dc, shown, rcText, flags);
      break;
    }
    case ITEM_FORMAT_CHECKBOX:
    case ITEM_FORMAT_CHECKBOX_3STATE: {
      const CRect box = GetCheckRect(rcCell, flags, rcText);
      const int check = data ? data->m_nCheck : 0;
      int picture = IMG_BOX;
      if (check > 0)
        picture = nFormat == ITEM_FORMAT_CHECKBOX ? IMG_BOX_BLUE_TICK : IMG_BOX_GREEN_TICK;
      else if (check < 0 && nFormat == ITEM_FORMAT_CHECKBOX_3STATE)
        picture = IMG_BOX_RED_CROSS;
      DrawImage(dc, m_ilListItems, picture, box.left, box.top, rcCell);
      if (!text.empty()) DrawString(dc, text, rcText, flags);
      break;
    }
    case ITEM_FORMAT_HYPERLINK:
      if (text.empty()) break;
      ::SelectObject(dc, m_fntUnderlineFont);
      dc.SetTextColor(Colour(CLR_HYPERLINK));
      DrawString(dc, text, rcText, flags);
      break;
    case ITEM_FORMAT_PROGRESS:
      DrawProgress(dc, rcCell, flags, std::wcstol(text.c_str(), nullptr, 10));
      break;
    case ITEM_FORMAT_GROUP: {
      dc.FillSolidRect(CRect(rcItem.left, rcItem.top + 1, rcItem.right, rcItem.bottom), background);
      Line(dc, rcItem.left, rcItem.top, rcItem.right, rcItem.top);
      if (GetGroupChildCount(nItem) > 0) {
        const SIZE size = ImageSize(m_ilListItems);
        DrawImage(dc, m_ilListItems,
                  IsGroupCollapsed(nItem) ? IMG_GROUP_COLLAPSED : IMG_GROUP_EXPANDED,
                  rcText.left - 2, rcItem.top + (rcItem.Height() - size.cy) / 2, rcItem);
      }
      DrawString(dc, text, CRect(rcItem.left + 28, rcItem.top, rcItem.right, rcItem.bottom), flags);
      return TRUE;
    }
    default:
      if (!text.empty()) DrawString(dc, text, rcText, flags);
      break;
  }
  return FALSE;
}

template <class T>
void CListImplEx<T>::DrawProgress(CDCHandle dc, const CRect& rcCell, UINT nFlags, long nValue) {
  const int percent = static_cast<int>(std::min(100L, std::max(0L, nValue)));
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  if (!m_hThemeProgress || !themes.pfnDrawThemeBackground || (nFlags & ITEM_FLAGS_PROGRESS_SOLID)) {
    CRect bar = rcCell;
    bar.DeflateRect(6, 5, 6, 5);
    bar.right = bar.left + bar.Width() * percent / 100;
    DrawGradient(dc, bar, Colour(CLR_PROGRESS_TOP), Colour(CLR_PROGRESS_BOTTOM));
    return;
  }
  CRect bar = rcCell;
  bar.DeflateRect(3, 2, 3, 2);
  themes.pfnDrawThemeBackground(m_hThemeProgress, dc, PP_BAR, 0, &bar, nullptr);
  CRect chunk = bar;
  chunk.DeflateRect(3, 3, 2, 3);
  chunk.right = chunk.left + chunk.Width() * percent / 100;
  if (!chunk.IsRectEmpty())
    themes.pfnDrawThemeBackground(m_hThemeProgress, dc, PP_CHUNK, 0, &chunk, nullptr);
}

template <class T>
void CListImplEx<T>::DrawSelectRect(CDCHandle dc) {
  if (!m_bSelecting) return;
  CRect client;
  ::GetClientRect(this->m_hWnd, &client);
  const int scrollX = ::GetScrollPos(this->m_hWnd, SB_HORZ);
  const int scrollY = ::GetScrollPos(this->m_hWnd, SB_VERT);
  CRect band = m_rcSelect;
  band.OffsetRect(-scrollX, -scrollY);
  // Cut only where the view cannot scroll further, so the band shows it goes on.
  if (AtScrollEnd(this->m_hWnd, SB_HORZ)) band.right = std::min(band.right, client.right);
  if (scrollX == 0) band.left = std::max(band.left, client.left);
  if (AtScrollEnd(this->m_hWnd, SB_VERT)) band.bottom = std::min(band.bottom, client.bottom);
  if (scrollY == 0) band.top = std::max<LONG>(band.top, GetHeaderHeight());
  // Tinted only where it is seen: a band over thousands of rows needs no picture as tall.
  CRect clip, shown;
  if (band.IsRectEmpty() || ::GetClipBox(dc, &clip) == ERROR || !shown.IntersectRect(band, clip))
    return;

  const COLORREF fill = Colour(IsThemed() ? CLR_SELECTED : CLR_FOCUS_FILL);
  CDC tint;
  CBitmap picture(::CreateCompatibleBitmap(dc, shown.Width(), shown.Height()));
  if (!tint.CreateCompatibleDC(dc) || picture.IsNull()) return;
  HGDIOBJ old = ::SelectObject(tint, picture);
  FillSolid(tint, CRect(0, 0, shown.Width(), shown.Height()), fill);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, 0xB4, 0};
  ::AlphaBlend(dc, shown.left, shown.top, shown.Width(), shown.Height(), tint, 0, 0, shown.Width(),
               shown.Height(), blend);
  ::SelectObject(tint, old);
  DrawFrame(dc, band, Colour(IsThemed() ? CLR_SELECTED : CLR_CELL_TEXT));
}

template <class T>
void CListImplEx<T>::DrawHeader(CDCHandle dc) {
  if (!m_bShowHeader) return;
  CRect clip, header;
  if (::GetClipBox(dc, &clip) == ERROR) return;
  ::GetClientRect(this->m_hWnd, &header);
  const int height = m_nHeaderHeight;
  header.bottom = height;
  if (height < clip.top) return;
  CDCStateSaver state(dc);
  const BOOL themed = IsThemed();
  const UiWinThemeFunc& themes = UiWinThemeFunc::Get();
  const int clientRight = header.right;

  if (!themed && !header.IsRectEmpty()) {
    CGradient gradient(header.Size());
    gradient.Draw(dc, RGB(255, 255, 255), Colour(CLR_HEADER_BOTTOM));
    gradient.Blit(dc, header.left, header.top, 0, 0, header.Width(), header.Height(), SRCCOPY);
  }
  header.OffsetRect(-::GetScrollPos(this->m_hWnd, SB_HORZ), 0);

  CPenSelector separator(dc, Colour(CLR_GRID));
  ::SelectObject(dc, m_fntListFont);
  ::SetBkMode(dc, TRANSPARENT);
  dc.SetTextColor(Colour(CLR_HEADER_TEXT));
  const SIZE imageSize = ImageSize(m_ilListItems);
  const int last = GetColumnCount() - 1;
  int left = header.left;
  for (int i = 0; i <= last; ++i) {
    const CListColumnEx& column = m_aColumns[i];
    const CRect rc(left, header.top, left + column.m_nWidth, header.bottom);
    left = rc.right;
    if (rc.right <= clip.left) continue;
    if (rc.left >= clip.right) break;
    if (!themed) {
      if (i == m_nPressedColumn) dc.FillSolidRect(rc, Colour(CLR_HEADER_PRESSED));
      if (i != last) Line(dc, rc.right - 1, rc.top, rc.right - 1, height);
    } else if (themes.pfnDrawThemeBackground) {
      const int stateId = i == m_nPressedColumn ? 3 : i == m_nHotSubItem ? 2 : 1;
      themes.pfnDrawThemeBackground(m_hThemeHeader, dc, HP_HEADERITEM, stateId, &rc, nullptr);
    }
    CRect text = rc;
    text.left += i == 0 ? 4 : 3;
    const bool arrow = m_bSortEnabled && column.m_nWidth >= 16 && !column.m_bFixed &&
                       column.m_nIndex == m_nSortColumn;
    if (arrow) text.right -= 15;
    text.DeflateRect(4, 0, 5, 0);
    if (column.m_nImage != -1) {
      const int x = column.m_strText.empty()
                        ? text.left + (text.Width() - imageSize.cx) / 2 - (themed ? 1 : 0)
                        : text.left;
      DrawImage(dc, m_ilListItems, column.m_nImage, x, rc.top + (rc.Height() - imageSize.cy) / 2,
                CRect(rc.left, rc.top, rc.right - 2, rc.bottom));
      text.left += imageSize.cx + 4;
    }
    if (!text.IsRectEmpty() && !column.m_strText.empty())
      DrawString(dc, column.m_strText, text, column.m_nFlags);
    if (arrow)
      DrawImage(dc, m_ilListItems, m_bSortAscending ? IMG_SORT_DOWN : IMG_SORT_UP, text.right + 4,
                height / 2 - 3, CRect(rc.left, rc.top, rc.right, height));
  }
  if (themed && themes.pfnDrawThemeBackground) {
    const CRect rest(header.left + m_nTotalWidth + 1, header.top, clientRight + 2, height);
    if (rest.left < clientRight)
      themes.pfnDrawThemeBackground(m_hThemeHeader, dc, HP_HEADERITEM, 1, &rest, nullptr);
  } else if (!m_aColumns.empty()) {
    CPenSelector line(dc, Colour(CLR_HEADER_LINE));
    Line(dc, 0, height, clientRight, height);
  }
}

template <class T>
void CListImplEx<T>::DrawRoundFrame(CDCHandle dc, const CRect& rc, COLORREF rgbOuter,
                                    COLORREF rgbInner) {
  ::DrawRoundFrame(dc, rc, rgbOuter, rgbInner, Colour(CLR_BACKGROUND));
}

template <class T>
void CListImplEx<T>::DrawGradient(CDCHandle dc, const CRect& rc, COLORREF rgbTop,
                                  COLORREF rgbBottom) {
  GradientFillRect(dc, rc, rgbTop, rgbBottom, TRUE);
}

template <class T>
void CListImplEx<T>::DrawImage(CDCHandle dc, HIMAGELIST hList, int nImage, int x, int y,
                               const CRect& rcClip) {
  const SIZE size = ImageSize(hList);
  const int cx = std::min<int>(size.cx, rcClip.right - x);
  const int cy = std::min<int>(size.cy, rcClip.bottom - y);
  if (cx <= 0 || cy <= 0) return;
  ::ImageList_DrawEx(hList, nImage, dc, x, y, cx, cy, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT);
}

// The class itself is instantiated with the rest of its members in CListImplEx.cpp.
using Grid = CListImplEx<CListCtrlDataEx<unsigned long>>;
template void Grid::DoPaint(CDCHandle);
template void Grid::DrawBackground(CDCHandle);
template void Grid::DrawRows(CDCHandle);
template void Grid::DrawItem(CDCHandle, int, const CRect&);
template BOOL Grid::DrawCell(CDCHandle, int, int, const CRect&, const CRect&, UINT, BOOL);
template void Grid::DrawProgress(CDCHandle, const CRect&, UINT, long);
template void Grid::DrawSelectRect(CDCHandle);
template void Grid::DrawHeader(CDCHandle);
template void Grid::DrawRoundFrame(CDCHandle, const CRect&, COLORREF, COLORREF);
template void Grid::DrawGradient(CDCHandle, const CRect&, COLORREF, COLORREF);
template void Grid::DrawImage(CDCHandle, HIMAGELIST, int, int, int, const CRect&);
