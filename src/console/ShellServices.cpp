#include "console/ShellServices.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "console/CurrentDirectoryKeeper.h"
#include "platform/TextConv.h"
#include "uiwin/UiModalRun.h"
#include "uiwin/UiSystemModalRun.h"

namespace {

struct ItemIdListFree {
  void operator()(ITEMIDLIST* p) const { ::CoTaskMemFree(p); }
};

BOOL ShellOpen(LPCWSTR file, LPCWSTR parameters) {
  HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

ShellServices& ShellServices::Current() {
  static ShellServices real;
  ShellServices* installed = qv::ProcessSeam<ShellServices>::Installed();
  return installed ? *installed : real;
}

BOOL ShellServices::Choose(Request request, std::wstring& path) {
  if (!Perform(request)) return FALSE;
  path = request.path;
  return TRUE;
}

BOOL ShellServices::ChooseOpenFile(const FileRequest& file, std::wstring& path) {
  return Choose(Request{kOpenFile, file, L"", L"", L""}, path);
}

BOOL ShellServices::ChooseSaveFile(const FileRequest& file, std::wstring& path) {
  return Choose(Request{kSaveFile, file, L"", L"", L""}, path);
}

BOOL ShellServices::ChooseFolder(LPCWSTR title, std::wstring& path) {
  return Choose(Request{kFolder, FileRequest{}, qv::OrEmpty(title), L"", L""}, path);
}

BOOL ShellServices::OpenPath(const std::wstring& path) {
  Request request{kOpenPath, FileRequest{}, L"", L"", path};
  return Perform(request);
}

BOOL ShellServices::StartProgram(const std::wstring& program, const std::wstring& file) {
  Request request{kStartProgram, FileRequest{}, L"", program, file};
  return Perform(request);
}

BOOL ShellServices::Perform(Request& request) {
  switch (request.kind) {
    case kOpenFile:
    case kSaveFile:
      return RunFileDialog(request);
    case kFolder:
      return RunFolderBrowser(request);
    case kOpenPath:
      return ShellOpen(request.path.c_str(), nullptr);
    case kStartProgram:
      return ShellOpen(request.program.c_str(), (L"\"" + request.path + L"\"").c_str());
  }
  return FALSE;
}

BOOL ShellServices::RunFileDialog(Request& request) {
  const FileRequest& file = request.file;
  // Name and pattern, each ended by a null, and a final null.
  std::wstring filter = file.filterName + L'\0' + file.filterPattern + L'\0' + L'\0';
  std::vector<wchar_t> buffer(32768, L'\0');
  file.defaultName.copy(buffer.data(), buffer.size() - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = UiModalRun::OwnerFor(nullptr);
  ofn.lpstrFilter = file.filterName.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  ofn.lpstrDefExt = file.defaultExt.empty() ? nullptr : file.defaultExt.c_str();
  ofn.Flags = file.flags;
  CurrentDirectoryKeeper keep;
  UiSystemModalRun run(ofn.hwndOwner);
  BOOL ok = request.kind == kSaveFile ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
  if (!ok) return FALSE;
  request.path = buffer.data();
  return TRUE;
}

BOOL ShellServices::RunFolderBrowser(Request& request) {
  BROWSEINFOW bi{};
  bi.hwndOwner = UiModalRun::OwnerFor(nullptr);
  bi.lpszTitle = request.title.empty() ? nullptr : request.title.c_str();
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  CurrentDirectoryKeeper keep;
  UiSystemModalRun run(bi.hwndOwner);
  std::unique_ptr<ITEMIDLIST, ItemIdListFree> list(::SHBrowseForFolderW(&bi));
  if (!list) return FALSE;
  wchar_t path[MAX_PATH] = L"";
  request.path = ::SHGetPathFromIDListW(list.get(), path) ? path : L"";
  return TRUE;
}
