#include "sysmgmt/CSMUpdateManagementUIHandler.h"

#include "console/SysServerPortConfig.h"
#include "console/SystemErrorText.h"
#include "platform/WideFormat.h"
#include "sysmgmt/CAutoUpdater.h"
#include "sysmgmt/CSMUPMUpdateDlg.h"
#include "sysmgmt/CSMUpdateDataPathDlg.h"
#include "uiwin/CUiDialogHost.h"
#include "uiwin/UiMessageBox.h"

namespace {

const wchar_t kRestartNotice[] = L"程序将在下次启动时自动更新";

// Which file or folder, and the system's reason, as the other writers tell them.
std::wstring DownloadFailureText(const CAutoUpdater& updater) {
  const CAutoUpdater::Failure& failure = updater.LastFailure();
  switch (failure.cause) {
    case CAutoUpdater::kIncomplete: {
      std::wstring why;
      if (failure.error)
        why = SystemErrorLine(failure.error);
      else if (failure.expected != CAutoUpdater::kLengthUnknown)
        why = qv::FormatW(L"只收到 %lu 字节，应为 %lu 字节", static_cast<unsigned long>(failure.received),
                          static_cast<unsigned long>(failure.expected));
      else
        why = qv::FormatW(L"只收到 %lu 字节，文件不完整", static_cast<unsigned long>(failure.received));
      return qv::FormatW(L"新版本未能完整下载。从升级服务器下载“%ls”时连接中断：%ls", updater.RequestedFile(), why);
    }
    case CAutoUpdater::kNotExecutable:
      return qv::FormatW(L"从升级服务器下载的“%ls”（%lu 字节）不是程序文件", updater.RequestedFile(),
                         static_cast<unsigned long>(failure.received));
    case CAutoUpdater::kPartsMissing:
      return qv::FormatW(L"升级服务器上的“%ls”不是完整的程序文件：已收到服务器公布的全部 %lu 字节，"
                         L"但其中缺少程序文件头所述的部分",
                         updater.RequestedFile(), static_cast<unsigned long>(failure.received));
    case CAutoUpdater::kReadBackFailed:
      return qv::FormatW(L"无法读取下载的新版本（临时文件“%ls”）：%ls", failure.path, SystemErrorLine(failure.error));
    case CAutoUpdater::kWriteFailed:
      return L"新版本未能写入临时文件。" + WriteFailureText(failure.path, failure.error);
    case CAutoUpdater::kTemporaryFile:
      return qv::FormatW(L"无法在临时文件夹“%ls”中建立文件：%ls", failure.path, SystemErrorLine(failure.error));
    default:
      return qv::FormatW(L"新版本“%ls”超过 %lu MB，未下载", updater.RequestedFile(),
                         static_cast<unsigned long>(CAutoUpdater::kMaxExecutableBytes >> 20));
  }
}

std::wstring SwapFailureText(const CAutoUpdater::Failure& failure) {
  const std::wstring why = SystemErrorLine(failure.error);
  switch (failure.cause) {
    case CAutoUpdater::kCopyFailed:
      return WriteFailureText(failure.path, failure.error);
    case CAutoUpdater::kBackupFailed:
      return qv::FormatW(L"无法删除旧的备份文件“%ls”：%ls", failure.path, why);
    default:
      return qv::FormatW(L"无法将“%ls”改名为“%ls”：%ls", failure.path, failure.to, why);
  }
}

// The code stays in the text, for whoever is asked for help; the words say what failed.
std::wstring FailureText(int result, const CAutoUpdater& updater) {
  const std::wstring& file = updater.RequestedFile();
  std::wstring what;
  switch (result) {
    case CAutoUpdater::kOffline:
      what = L"本机无法使用网络功能";
      break;
    case CAutoUpdater::kOpenFailed:
      if (updater.FailureCause() != CAutoUpdater::kHttpError)
        what = L"无法连接升级服务器";
      else if (updater.HttpStatus() == 404 || updater.HttpStatus() == 410)
        what = qv::FormatW(L"升级服务器上找不到文件 %ls（HTTP %lu）", file, updater.HttpStatus());
      else
        what = qv::FormatW(L"升级服务器未能提供文件 %ls（HTTP %lu）", file, updater.HttpStatus());
      break;
    case CAutoUpdater::kNothingRead:
      what = L"未能从升级服务器读到版本号（update.txt 为空或读取中断）";
      break;
    case CAutoUpdater::kDownloadFailed:
      if (updater.FailureCause() == CAutoUpdater::kWrongVersion)
        what = qv::FormatW(L"下载的程序版本（%ls）与升级服务器公布的版本不符",
                           updater.DownloadedVersion().empty() ? L"无版本信息" : updater.DownloadedVersion());
      else
        what = DownloadFailureText(updater);
      break;
    case CAutoUpdater::kNoLocalVersion:
      what = L"无法读取本程序的版本号";
      break;
    case CAutoUpdater::kDeclinedOrSwapFailed:
      what = L"无法用新版本替换本程序文件。" + SwapFailureText(updater.LastFailure());
      break;
    default:
      break;
  }
  return what.empty() ? qv::FormatW(L"自动更新失败（%d）", result)
                      : qv::FormatW(L"自动更新失败（%d）：%ls", result, what);
}

}  // namespace

CSMUpdateManagementUIHandler::CSMUpdateManagementUIHandler(CUiDialogHost* owner) : m_owner(owner) {}

CSMUpdateManagementUIHandler::~CSMUpdateManagementUIHandler() = default;

int CSMUpdateManagementUIHandler::Init() {
  m_packagePath.Create(m_owner->GetViewHWnd(), nullptr, nullptr,
                       WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, 0, kPackagePath);
  m_packagePath.SetInputType(CEditEx::kDigits);
  m_owner->SetItemCheck(kOffline, TRUE);
  // The running file's own version, so that the page is right after an update.
  std::wstring label = VersionLabel(CAutoUpdater::GetFileVersion(CAutoUpdater::GetExecutablePath()));
  m_owner->SetItemText(kVersionText, label.empty() ? L"v1.1.1087" : label.c_str());
  return 0;
}

int CSMUpdateManagementUIHandler::UnInit() { return 0; }

LRESULT CSMUpdateManagementUIHandler::OnUiCommand(int, LPNMHDR pnmh, BOOL& bHandled) {
  switch (reinterpret_cast<UINMCOMMAND*>(pnmh)->uItemID) {
    case kBrowse:
      OnBrowse();
      break;
    case kStart:
      OnStartUpdate();
      break;
    default:
      bHandled = FALSE;
      break;
  }
  return 0;
}

void CSMUpdateManagementUIHandler::OnBrowse() {
  std::wstring path;
  CSMUpdateDataPathDlg dlg(path);
  if (dlg.DoModal(m_owner->GetHWnd()) == 1) m_packagePath.SetWindowText(path.c_str());
}

void CSMUpdateManagementUIHandler::OnStartUpdate() {
  if (!m_owner->GetItemCheck(kOnline)) return;
  // The running program is the backup now: another update would try to replace it.
  if (!m_installed.empty()) {
    const std::wstring text = qv::FormatW(L"已升级到 %ls，无需再次升级。%ls", m_installed, kRestartNotice);
    UiMessageBox(text.c_str(), L"自动更新", MB_ICONINFORMATION);
    return;
  }
  if (!g_updateUrl[0]) {
    UiMessageBox(L"未配置升级地址", L"自动更新", MB_ICONWARNING);
    return;
  }
  m_lastStatus.clear();
  int result;
  bool swapFailed;
  std::wstring failure;
  {
    CSMUPMUpdateDlg status;
    status.Show(m_owner->GetHWnd());
    CAutoUpdater updater;
    updater.SetProgress([&](const wchar_t* line) {
      if (!line) return CSMUPMUpdateDlg::LetPaintThrough();
      m_lastStatus.push_back(line);
      status.AddLine(line);
    });
    result = updater.CheckForUpdate(g_updateUrl);
    swapFailed = updater.SwapFailed();
    if (result == CAutoUpdater::kUpdated) m_installed = VersionLabel(updater.DownloadedVersion());
    failure = FailureText(result, updater);
  }  // the status window goes before the result is told
  if (result == CAutoUpdater::kUpdated) {
    m_owner->SetItemText(kVersionText, qv::FormatW(L"%ls（%ls）", m_installed, kRestartNotice).c_str());
    UiMessageBox(kRestartNotice, L"自动更新", MB_ICONINFORMATION);
  } else if (result == CAutoUpdater::kNotNewer) {
    UiMessageBox(L"暂无更新", L"自动更新", MB_ICONINFORMATION);
  } else if (result != CAutoUpdater::kDeclinedOrSwapFailed || swapFailed) {
    UiMessageBox(failure.c_str(), L"自动更新", MB_ICONHAND);
  }
}

std::wstring CSMUpdateManagementUIHandler::VersionLabel(const std::wstring& version) {
  if (version.empty()) return L"";
  size_t end = 0;
  for (int dots = 0; dots < 3 && end != std::wstring::npos; ++dots) end = version.find(L'.', end ? end + 1 : 0);
  return L"v" + version.substr(0, end);
}
