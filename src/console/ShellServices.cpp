#include "console/ShellServices.h"

#include <shellapi.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "platform/DebugReport.h"

namespace {

ShellServices* g_installed = nullptr;

// The current directory, put back when it goes out of scope: the common dialogs move
// it to the chosen folder, and the report template is found through it.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() {
    DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    m_dir.resize(size);
    if (!size || !::GetCurrentDirectoryW(size, &m_dir[0])) m_dir.clear();
  }
  ~CurrentDirectoryKeeper() {
    if (!m_dir.empty()) ::SetCurrentDirectoryW(m_dir.data());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  std::vector<wchar_t> m_dir;
};

struct ItemIdListFree {
  void operator()(ITEMIDLIST* p) const { ::CoTaskMemFree(p); }
};

BOOL ShellOpen(LPCWSTR file, LPCWSTR parameters) {
  HINSTANCE result = ::ShellExecuteW(nullptr, L"open", file, parameters, nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace

ShellServices::Scope::Scope(ShellServices& services)
    : m_pServices(&services), m_pPrevious(g_installed) {
  g_installed = &services;
}

ShellServices::Scope::~Scope() {
  QV_ASSERT(g_installed == m_pServices);
  g_installed = m_pPrevious;
}

ShellServices& ShellServices::Current() {
  static ShellServices real;
  return g_installed ? *g_installed : real;
}

BOOL ShellServices::ChooseOpenFile(const FileRequest& request, std::wstring& path) {
  return RunFileDialog(request, path, FALSE);
}

BOOL ShellServices::ChooseSaveFile(const FileRequest& request, std::wstring& path) {
  return RunFileDialog(request, path, TRUE);
}

BOOL ShellServices::RunFileDialog(const FileRequest& request, std::wstring& path, BOOL save) {
  // Name and pattern, each ended by a null, and a final null.
  std::wstring filter = request.filterName + L'\0' + request.filterPattern + L'\0' + L'\0';
  std::vector<wchar_t> file(32768, L'\0');
  request.defaultName.copy(file.data(), file.size() - 1);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = ::GetActiveWindow();
  ofn.lpstrFilter = request.filterName.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrDefExt = request.defaultExt.empty() ? nullptr : request.defaultExt.c_str();
  ofn.Flags = request.flags;
  CurrentDirectoryKeeper keep;
  BOOL ok = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
  if (!ok) return FALSE;
  path = file.data();
  return TRUE;
}

BOOL ShellServices::ChooseFolder(LPCWSTR title, std::wstring& path) {
  BROWSEINFOW bi{};
  bi.hwndOwner = ::GetActiveWindow();
  bi.lpszTitle = title;
  bi.ulFlags = BIF_RETURNONLYFSDIRS;
  CurrentDirectoryKeeper keep;
  std::unique_ptr<ITEMIDLIST, ItemIdListFree> list(::SHBrowseForFolderW(&bi));
  if (!list) return FALSE;
  wchar_t buffer[MAX_PATH] = L"";
  path = ::SHGetPathFromIDListW(list.get(), buffer) ? buffer : L"";
  return TRUE;
}

BOOL ShellServices::OpenPath(const std::wstring& path) { return ShellOpen(path.c_str(), nullptr); }

BOOL ShellServices::StartProgram(const std::wstring& program, const std::wstring& file) {
  std::wstring argument = L"\"" + file + L"\"";
  return ShellOpen(program.c_str(), argument.c_str());
}
