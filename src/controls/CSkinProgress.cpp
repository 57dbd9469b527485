#include "controls/CSkinProgress.h"

#include <algorithm>

#include "platform/CAppModule.h"
#include "platform/CMemoryDC.h"
#include "platform/CWindowDCs.h"
#include "platform/WideFormat.h"

namespace {

enum { kLeftEnd, kDone, kEdge, kToDo, kRightEnd, kStartMark, kBackground, kCellCount };
const COLORREF kTransparent = 0xFFFF00;
const UINT kRefreshMs = 500;
const long long kDay = 864000000000LL;  // file-time units
const long long kSecond = 10000000LL;

long long ToFileTime(const SYSTEMTIME& time) {
  FILETIME file{};
  if (!::SystemTimeToFileTime(&time, &file)) return 0;
  return static_cast<long long>((static_cast<unsigned long long>(file.dwHighDateTime) << 32) |
                                file.dwLowDateTime);
}

SYSTEMTIME ToSystemTime(long long time) {
  const unsigned long long value = static_cast<unsigned long long>(time);
  FILETIME file{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
  SYSTEMTIME system{};
  ::FileTimeToSystemTime(&file, &system);
  return system;
}

bool SameDay(const SYSTEMTIME& a, const SYSTEMTIME& b) {
  return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay;
}

std::wstring DateText(const SYSTEMTIME& t) {
  return qv::FormatW(L"%04d/%02d/%02d/%02d ", t.wYear, t.wMonth, t.wDay, t.wDayOfWeek + 1);
}

std::wstring ClockText(const SYSTEMTIME& t) {
  return qv::FormatW(L"%02d:%02d:%02d", t.wHour, t.wMinute, t.wSecond);
}

// "[d:]hh:mm:ss" of a span of time.
std::wstring SpanText(long long span) {
  const long long days = span / kDay, seconds = span % kDay / kSecond;
  std::wstring text = days ? qv::FormatW(L"%d:", static_cast<int>(days)) : std::wstring();
  return text + qv::FormatW(L"%02d:%02d:%02d", static_cast<int>(seconds / 3600),
                            static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
}

}  // namespace

CSkinProgress::CSkinProgress(Clock clock) : m_clock(std::move(clock)) {
  if (!m_clock) m_clock = [] {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
  };
}

CSkinProgress::~CSkinProgress() {
  if (IsWindow()) {
    KillTimer(TimerId());
    UnsubclassWindow();
  }
  if (m_hCells) ::ImageList_Destroy(m_hCells);
}

BOOL CSkinProgress::Create(HWND hWnd, UINT nBitmapId) {
  HINSTANCE instance = g_module.GetResourceInstance();
  HBITMAP bitmap = static_cast<HBITMAP>(::LoadImageW(instance ? instance : ::GetModuleHandleW(nullptr),
                                                     MAKEINTRESOURCEW(nBitmapId), IMAGE_BITMAP, 0, 0,
                                                     LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!bitmap || !::GetObjectW(bitmap, sizeof info, &info) || info.bmWidth < kCellCount) {
    if (bitmap) ::DeleteObject(bitmap);
    return FALSE;
  }
  if (m_hCells) ::ImageList_Destroy(m_hCells);
  m_cell = SIZE{info.bmWidth / kCellCount, info.bmHeight};
  m_hCells = ::ImageList_Create(m_cell.cx, m_cell.cy, ILC_COLOR24 | ILC_MASK, kCellCount, 0);
  const bool cut = m_hCells && ::ImageList_AddMasked(m_hCells, bitmap, kTransparent) >= 0;
  ::DeleteObject(bitmap);
  if (!cut || !SubclassWindow(hWnd)) return FALSE;
  m_nLower = m_nPos = m_nStart = 0;
  m_nUpper = 100;
  m_nStartTime = Now();
  SetTimer(TimerId(), kRefreshMs);
  Refresh();
  return TRUE;
}

long long CSkinProgress::Now() const { return ToFileTime(m_clock()); }

int CSkinProgress::Clamp(int nValue) const {
  return std::min(std::max(nValue, std::min(m_nLower, m_nUpper)), std::max(m_nLower, m_nUpper));
}

long long CSkinProgress::Percent256(int nMarker) const {
  if (m_nUpper == m_nLower) return 0;
  return (static_cast<long long>(nMarker) - m_nLower) * 100 * 256 /
         (static_cast<long long>(m_nUpper) - m_nLower);
}

void CSkinProgress::SetRange(int nLower, int nUpper, int nStep, BOOL bResample, BOOL bDisplay) {
  if (bResample) {
    const long long pos = Percent256(m_nPos), start = Percent256(m_nStart);
    auto place = [&](long long percent) {
      return static_cast<int>(nLower + percent * (static_cast<long long>(nUpper) - nLower) / 25600);
    };
    m_nPos = place(pos);
    m_nStart = place(start);
  }
  m_nLower = nLower;
  m_nUpper = nUpper;
  m_nStep = nStep;
  m_nPos = Clamp(m_nPos);
  m_nStart = std::min(Clamp(m_nStart), m_nPos);
  if (bDisplay) Refresh();
}

int CSkinProgress::SetPos(int nPos, BOOL bDisplay) {
  const int previous = m_nPos;
  m_nPos = std::max(Clamp(nPos), m_nStart);
  if (bDisplay) Refresh();
  return previous;
}

int CSkinProgress::OffsetPos(int nOffset, BOOL bDisplay) { return SetPos(m_nPos + nOffset, bDisplay); }

int CSkinProgress::StepIt(BOOL bDisplay) { return SetPos(m_nPos + m_nStep, bDisplay); }

int CSkinProgress::SetStart(int nStart, BOOL bDisplay) {
  const int previous = m_nStart;
  m_nStart = std::min(Clamp(nStart), m_nPos);
  if (bDisplay) Refresh();
  return previous;
}

int CSkinProgress::GetPos(BOOL bPercent) const {
  return bPercent ? static_cast<int>(Percent256(m_nPos) / 256) : m_nPos;
}

int CSkinProgress::GetUpper(BOOL bPercent) const {
  return bPercent ? static_cast<int>(Percent256(m_nUpper) / 256) : m_nUpper;
}

int CSkinProgress::GetStart(BOOL bPercent) const {
  return bPercent ? static_cast<int>(Percent256(m_nStart) / 256) : m_nStart;
}

std::wstring CSkinProgress::GetStatusText(BOOL bBracket) const {
  const long long now = Now(), elapsed = std::max(0LL, now - m_nStartTime);
  const long long done = std::max(0LL, Percent256(m_nPos)), toDo = 25600 - done;
  // What remains at the pace so far; split so that long runs do not overflow.
  const long long remaining = done > 0 ? elapsed / done * toDo + elapsed % done * toDo / done : 0;
  const SYSTEMTIME today = ToSystemTime(now), start = ToSystemTime(m_nStartTime),
                   end = ToSystemTime(now + remaining);
  std::wstring text = bBracket ? L" (" : L" ";
  if (!SameDay(start, today)) text += DateText(start);
  text += ClockText(start) + L" - " + SpanText(elapsed) + L" - ";
  const int percent = static_cast<int>(done / 256);
  text += qv::FormatW(L"%d%% / %d%% - ", percent, 100 - percent);
  text += SpanText(remaining) + L" - ";
  if (!SameDay(end, today)) text += DateText(end);
  text += ClockText(end);
  if (bBracket) text += L")";
  return text;
}

int CSkinProgress::MarkerX(int nMarker, int nWidth) const {
  const int track = std::max(0, nWidth - 2 * static_cast<int>(m_cell.cx));
  const int x = static_cast<int>(Percent256(nMarker) * track / 25600) + m_cell.cx;
  return m_nLower > m_nUpper ? nWidth - x : x;  // a reversed range runs from the right
}

void CSkinProgress::Refresh() {
  if (!IsWindow()) return;
  CClientDC dc(m_hWnd);
  Paint(dc);
}

void CSkinProgress::Paint(HDC hDC) {
  CRect client;
  GetClientRect(&client);
  CMemoryDC image(hDC, client);
  if (!image.IsValid() || !m_hCells || m_cell.cx <= 0) return;
  const int width = client.Width();
  const int top = (client.Height() - m_cell.cy) / 2;
  auto draw = [&](int cell, int x) { ::ImageList_Draw(m_hCells, cell, image, x, top, ILD_NORMAL); };
  // From..to, both in pixels, tiled with one cell.
  auto tile = [&](int cell, int from, int to) {
    for (int x = from; x < to; x += m_cell.cx) draw(cell, x);
  };
  const bool reversed = m_nLower > m_nUpper;
  const int pos = MarkerX(m_nPos, width), start = MarkerX(m_nStart, width);
  tile(kBackground, 0, width);
  const int doneFrom = reversed ? pos : m_cell.cx, doneTo = reversed ? width - m_cell.cx : pos;
  tile(kToDo, m_cell.cx, width - m_cell.cx);
  tile(kDone, doneFrom, doneTo);
  draw(kEdge, reversed ? pos : pos - m_cell.cx);
  draw(kLeftEnd, 0);
  draw(kRightEnd, width - m_cell.cx);
  if (m_nStart != m_nLower) draw(kStartMark, start - m_cell.cx / 2);
  const std::wstring percent = qv::FormatW(L"%d%%", GetPos(TRUE));
  CRect text = client;
  HGDIOBJ old = image.SelectObject(GetFont() ? GetFont() : ::GetStockObject(DEFAULT_GUI_FONT));
  image.SetBkMode(TRANSPARENT);
  image.DrawText(percent.c_str(), static_cast<int>(percent.size()), &text,
                 DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
  image.SelectObject(old);
}

LRESULT CSkinProgress::OnEraseBkgnd(UINT, WPARAM, LPARAM, BOOL&) {
  Refresh();
  return 1;
}

LRESULT CSkinProgress::OnPaint(UINT, WPARAM, LPARAM, BOOL&) {
  CPaintDC dc(m_hWnd);
  Paint(dc);
  return 0;
}

LRESULT CSkinProgress::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (wParam == TimerId())
    Refresh();
  else
    bHandled = FALSE;
  return 0;
}
