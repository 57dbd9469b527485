#pragma once
// Small file writers for test resources (solid and banded bitmaps, raw bytes) in a
// resource directory, and a reader of a file's bytes.
#include <windows.h>

#include <string>
#include <vector>

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

// The file's bytes; empty when it cannot be read.
inline std::string ReadBytes(const std::wstring& path) {
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return std::string();
  std::string bytes(::GetFileSize(f, nullptr), '\0');
  DWORD read = 0;
  const BOOL ok = bytes.empty() || ::ReadFile(f, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
  ::CloseHandle(f);
  return ok && read == bytes.size() ? bytes : std::string();
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
