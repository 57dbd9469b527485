#pragma once
// A 32-bit DIB section selected into a memory device context, for drawing an
// element into and reading pixels back; and small file writers for test
// resources (solid bitmaps, text files) in a resource directory.
#include <windows.h>

#include <cstdint>
#include <string>
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
  void Fill(COLORREF c) {
    ::GdiFlush();
    for (int i = 0; i < width_ * height_; ++i)
      bits_[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
  }
  // The pixel as a COLORREF (0x00BBGGRR).
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    const uint32_t p = bits_[y * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
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

namespace testfiles {

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = ::WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  ::CloseHandle(f);
  return ok && written == bytes.size();
}

// A 24-bit bottom-up BMP file of bands, each `band` pixels wide, coloured in turn.
inline bool WriteBandedBmp(const std::wstring& path, int band, int height,
                           const std::vector<COLORREF>& colours) {
  const int width = band * static_cast<int>(colours.size());
  const int stride = (width * 3 + 3) & ~3;
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  ih.biSize = sizeof(ih);
  ih.biWidth = width;
  ih.biHeight = height;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biCompression = BI_RGB;
  ih.biSizeImage = static_cast<DWORD>(stride * height);
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(ih);
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&fh), sizeof(fh));
  bytes.append(reinterpret_cast<const char*>(&ih), sizeof(ih));
  std::string row(static_cast<size_t>(stride), '\0');
  for (int x = 0; x < width; ++x) {
    const COLORREF c = colours[static_cast<size_t>(x / band)];
    row[x * 3] = static_cast<char>(GetBValue(c));
    row[x * 3 + 1] = static_cast<char>(GetGValue(c));
    row[x * 3 + 2] = static_cast<char>(GetRValue(c));
  }
  for (int y = 0; y < height; ++y) bytes += row;
  return WriteBytes(path, bytes);
}

// A 24-bit BMP file of one colour.
inline bool WriteSolidBmp(const std::wstring& path, int width, int height, COLORREF c) {
  return WriteBandedBmp(path, width, height, {c});
}

}  // namespace testfiles
