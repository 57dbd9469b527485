#include "reports/ReportFolderPicker.h"

#include "console/ShellServices.h"
#include "uiwin/UiMessageBox.h"

int ReportFolderPicker::Choose(std::wstring& folder) {
  std::wstring path;
  if (!ShellServices::Current().ChooseFolder(nullptr, path)) return 0;
  if (path.empty()) {
    UiMessageBox(L"请选择存储路径", L"提示", MB_OK);
    return 0;
  }
  // A drive root comes back as "C:\" already.
  if (path.back() != L'\\') path += L'\\';
  folder = path;
  return 1;
}
