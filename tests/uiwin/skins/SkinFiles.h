#pragma once
// Files the pools read from a resource directory: bitmaps, PNG images, XML.
#include <windows.h>

#include <cstdio>
#include <string>

#include "uiwin/UiResUtil.h"

// Points the resource directory at a folder while it lives.
class ResourceDirectory {
 public:
  explicit ResourceDirectory(const std::wstring& dir) {
    UiResUtil::SetResourceDirectory(dir.c_str());
  }
  ~ResourceDirectory() { UiResUtil::SetResourceDirectory(L""); }
  ResourceDirectory(const ResourceDirectory&) = delete;
  ResourceDirectory& operator=(const ResourceDirectory&) = delete;
};

inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (!f) return false;
  size_t n = fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
  return n == bytes.size();
}

// A 24-bit bottom-up BMP file; pixel(x, y) gives 0x00RRGGBB.
template <typename F>
bool WriteBmp(const std::wstring& path, int cx, int cy, F pixel) {
  const int stride = (cx * 3 + 3) & ~3;
  BITMAPFILEHEADER fh = {};
  BITMAPINFOHEADER ih = {};
  ih.biSize = sizeof ih;
  ih.biWidth = cx;
  ih.biHeight = cy;
  ih.biPlanes = 1;
  ih.biBitCount = 24;
  ih.biSizeImage = stride * cy;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + ih.biSizeImage;
  std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
  bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
  for (int y = cy - 1; y >= 0; --y) {
    std::string row(stride, '\0');
    for (int x = 0; x < cx; ++x) {
      unsigned long c = pixel(x, y);
      row[x * 3] = static_cast<char>(c & 0xFF);
      row[x * 3 + 1] = static_cast<char>((c >> 8) & 0xFF);
      row[x * 3 + 2] = static_cast<char>((c >> 16) & 0xFF);
    }
    bytes += row;
  }
  return WriteBytes(path, bytes);
}

// UTF-8 with a byte-order mark, as the console's XML resources are stored.
inline bool WriteXml(const std::wstring& path, const std::string& text) {
  return WriteBytes(path, "\xEF\xBB\xBF" + text);
}
