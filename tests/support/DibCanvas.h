#pragma once
// A 32-bit top-down DIB section selected into a memory device context, for drawing
// skins and elements into and reading their pixels back.
#include <windows.h>

#include <cstdint>
#include <vector>

class DibCanvas {
 public:
  DibCanvas(int width, int height, COLORREF fill = RGB(255, 255, 255))
      : width_(width), height_(height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    dc_ = ::CreateCompatibleDC(nullptr);
    bitmap_ = ::CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_),
                                 nullptr, 0);
    old_ = ::SelectObject(dc_, bitmap_);
    Fill(fill);
  }
  ~DibCanvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  DibCanvas(const DibCanvas&) = delete;
  DibCanvas& operator=(const DibCanvas&) = delete;

  HDC Dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(COLORREF c) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
      bits_[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  // The pixel as a COLORREF (0x00BBGGRR); CLR_INVALID outside the canvas.
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    const uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // True when every pixel outside rc still has colour c.
  bool UntouchedOutside(const RECT& rc, COLORREF c) const {
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        const bool inside = x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom;
        if (!inside && At(x, y) != c) return false;
      }
    return true;
  }
  std::vector<uint32_t> Pixels() const {
    ::GdiFlush();
    return std::vector<uint32_t>(bits_, bits_ + width_ * height_);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  uint32_t* bits_ = nullptr;
};
