#include "uiwin/UiResUtil.h"

#include "platform/DebugReport.h"
#include "platform/FileHandle.h"
#include "platform/TextConv.h"

namespace {

struct ResourceSettings {
  std::wstring directory;
  HMODULE module = NULL;
};

ResourceSettings& Settings() {
  // Lives until the process ends, like every pool of the framework.
  static ResourceSettings* s = new ResourceSettings;
  return *s;
}

}  // namespace

void UiResUtil::SetResourceDirectory(LPCWSTR dir) { Settings().directory = qv::OrEmpty(dir); }
std::wstring UiResUtil::GetResourceDirectory() { return Settings().directory; }
void UiResUtil::SetResourceModule(HMODULE module) { Settings().module = module; }
HMODULE UiResUtil::GetResourceModule() { return Settings().module; }

BOOL UiResUtil::LoadFileResource(const std::wstring& path, std::string& bytes) {
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, NULL));
  if (file.h == INVALID_HANDLE_VALUE) return FALSE;

  LARGE_INTEGER size;
  if (!::GetFileSizeEx(file.h, &size) || size.QuadPart <= 0 || size.QuadPart > kMaxFileSize)
    return FALSE;

  const DWORD want = static_cast<DWORD>(size.QuadPart);
  bytes.assign(want, '\0');
  DWORD got = 0;
  if (::ReadFile(file.h, &bytes[0], want, &got, NULL) && got == want) return TRUE;
  bytes.clear();
  return FALSE;
}

BOOL UiResUtil::LoadUiResource(UINT id, std::string& bytes, LPCWSTR type) {
  const std::wstring& dir = Settings().directory;
  if (!dir.empty() && type) {
    std::wstring path = dir;
    path += L'\\';
    path += std::to_wstring(id);
    path += L'.';
    path += type;
    if (LoadFileResource(path, bytes)) return TRUE;
  }
  if (LoadPeResource(id, bytes, type)) return TRUE;
  qv::DebugReport("Failed loading " + qv::WideToUtf8(qv::OrEmpty(type)) + " " + std::to_string(id),
                  "uiresutil", __LINE__);
  return FALSE;
}

BOOL UiResUtil::LoadPeResource(UINT id, std::string& bytes, LPCWSTR type) {
  HMODULE self = ::GetModuleHandleW(NULL);
  HRSRC res = ::FindResourceW(self, MAKEINTRESOURCEW(id & 0xFFFF), type);
  if (!res) return FALSE;
  const DWORD size = ::SizeofResource(self, res);
  if (size == 0) return FALSE;
  HGLOBAL mem = ::LoadResource(self, res);
  if (!mem) return FALSE;
  const void* data = ::LockResource(mem);
  if (!data) return FALSE;
  bytes.assign(static_cast<const char*>(data), size);
  return TRUE;
}
