#pragma once
// Resource bytes by numeric id: a file "<dir>\<id>.<type>" in the resource
// directory when one is set, otherwise the executable's embedded resources.

#include <windows.h>

#include <string>

class UiResUtil {
 public:
  // Loads resource `id` of `type` ("xml", "png", ...) into `bytes`
  // unchanged. TRUE when found; a missing resource raises a debug report.
  static BOOL LoadUiResource(UINT id, std::string& bytes, LPCWSTR type);

  // The embedded half of LoadUiResource: the id as a 16-bit integer name.
  static BOOL LoadPeResource(UINT id, std::string& bytes, LPCWSTR type);

  // Process-wide settings. The console never sets them; tests and tools do.
  static void SetResourceDirectory(LPCWSTR dir);
  static std::wstring GetResourceDirectory();
  static void SetResourceModule(HMODULE module);
  static HMODULE GetResourceModule();

  // Largest resource file read from the directory; bigger files count as
  // not found (their size could not be buffered safely).
  static const DWORD kMaxFileSize = 64u * 1024u * 1024u;

 private:
  static BOOL LoadFileResource(const std::wstring& path, std::string& bytes);
};
