#include "sysmgmt/CAutoUpdater.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/FileReplacement.h"
#include "platform/TextConv.h"
#include "platform/WideFormat.h"
#include "sysmgmt/ExecutableLayout.h"
#include "sysmgmt/UpdateVersion.h"
#include "uiwin/UiMessageBox.h"

namespace {

struct InternetCloser {
  void operator()(HINTERNET h) const { ::InternetCloseHandle(h); }
};
using InternetHandle = std::unique_ptr<void, InternetCloser>;

const DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK |
                         INTERNET_FLAG_NEED_FILE;

bool QueryNumber(HINTERNET handle, DWORD what, DWORD* value) {
  DWORD size = sizeof *value;
  return ::HttpQueryInfoW(handle, what | HTTP_QUERY_FLAG_NUMBER, value, &size, nullptr) != FALSE;
}

// A download cut short may still hold the headers and the version resource; whether all
// the parts they describe came is told by the file's length. *error is the system's code
// when the file could not be read back.
ExecutableLayout::Verdict CheckExecutable(const std::wstring& path, DWORD* error) {
  *error = 0;
  FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (file.h == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file.h, &size)) {
    *error = ::GetLastError();
    return ExecutableLayout::kUnreadable;
  }
  auto read = [&file, error](uint64_t offset, void* out, size_t length) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    DWORD got = 0;
    if (length <= 0xFFFFFFFFu && ::SetFilePointerEx(file.h, at, nullptr, FILE_BEGIN) &&
        ::ReadFile(file.h, out, static_cast<DWORD>(length), &got, nullptr) && got == length)
      return true;
    *error = ::GetLastError();
    return false;
  };
  const ExecutableLayout::Verdict verdict = ExecutableLayout::Check(read, static_cast<uint64_t>(size.QuadPart));
  if (verdict == ExecutableLayout::kUnreadable && *error == 0) *error = ERROR_HANDLE_EOF;  // the file shrank
  return verdict;
}

}  // namespace

CAutoUpdater::CAutoUpdater()
    : m_hRoot(::InternetOpenW(L"AutoUpdateAgent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {}

CAutoUpdater::~CAutoUpdater() {
  if (m_hRoot) ::InternetCloseHandle(m_hRoot);
}

int CAutoUpdater::CheckForUpdate(const std::wstring& base) {
  m_swapFailed = false;
  m_failure = Failure();
  // Offline detection is left to the request: a LAN or local endpoint is reachable
  // where the system may still call the machine offline.
  if (!IsConnected()) return kOffline;
  Report(L"正在检查新版本……");
  std::string bytes;
  bool whole;
  {
    InternetHandle version(OpenUrl(base + L"update.txt"));
    if (!version) return kOpenFailed;
    whole = ReadVersionFile(version.get(), bytes);
  }
  if (bytes.empty()) return kNothingRead;
  const std::wstring running = GetExecutablePath();
  const std::wstring local = GetFileVersion(running);
  if (local.empty()) return kNoLocalVersion;
  if (!whole) return kNotNewer;
  const std::wstring offered = qv::AnsiToWide(std::string_view(bytes.data(), bytes.size()));
  if (CompareVersions(offered, local) != 1) return kNotNewer;
  Report(qv::FormatW(L"发现新版本 %ls（当前版本 %ls）", offered.c_str(), local.c_str()));
  return Download(base, offered, running);
}

int CAutoUpdater::Download(const std::wstring& base, const std::wstring& offered, const std::wstring& running) {
  const std::wstring name = running.substr(running.find_last_of(L'\\') + 1);
  wchar_t tempDir[MAX_PATH + 1] = L"";
  const DWORD dirChars = ::GetTempPathW(MAX_PATH, tempDir);
  InternetHandle executable(OpenUrl(base + name));
  if (!executable) return kOpenFailed;

  const std::wstring question = qv::FormatW(L"%ls发现新版本, 是否更新?", name.c_str());
  Seam* seam = qv::ProcessSeam<Seam>::Installed();
  int answer = seam ? seam->Ask(question, L"自动更新") : 0;
  if (!answer) answer = UiSystemMessageBox(question.c_str(), L"自动更新", MB_YESNO | MB_ICONQUESTION);
  if (answer != IDYES) return kDeclinedOrSwapFailed;

  // A chunked answer names no length: the limit is then kept while reading.
  DWORD length = 0;
  if (!QueryNumber(executable.get(), HTTP_QUERY_CONTENT_LENGTH, &length)) length = kLengthUnknown;
  if (length != kLengthUnknown && length > kMaxExecutableBytes) {
    m_failure.cause = kTooLarge;
    m_failure.expected = length;
    return kDownloadFailed;
  }
  DWORD error = 0;
  const bool noFolder = dirChars == 0 || dirChars > MAX_PATH;
  if (noFolder) error = dirChars == 0 ? ::GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  const std::wstring temp = noFolder ? std::wstring() : FileReplacement::CreateUnique(tempDir, L"qvu", &error);
  if (temp.empty()) {
    m_failure.cause = kTemporaryFile;
    m_failure.path = noFolder ? L"%TEMP%" : tempDir;
    m_failure.error = error;
    return kDownloadFailed;
  }
  Report(qv::FormatW(L"正在下载 %ls", name.c_str()));
  bool good = DownloadToFile(executable.get(), temp, length);
  executable.reset();
  if (good) {
    DWORD readError = 0;
    switch (CheckExecutable(temp, &readError)) {
      case ExecutableLayout::kWhole:
        break;
      case ExecutableLayout::kNotExecutable:
        good = m_failure.Set(kNotExecutable, 0);
        break;
      case ExecutableLayout::kCutShort:
        // Without a length only the file's layout tells that the connection ended early;
        // with one, all that was announced came and the server's file lacks the rest.
        good = m_failure.Set(length == kLengthUnknown ? kIncomplete : kPartsMissing, 0);
        break;
      default:
        good = m_failure.Set(kReadBackFailed, readError, temp);
        break;
    }
  }
  // The download must be the version that was offered, or it is not what we asked for.
  if (good) m_downloaded = GetFileVersion(temp);
  if (good && CompareVersions(m_downloaded, offered) != 0) {
    good = false;
    m_failure.cause = kWrongVersion;
  }
  if (!good) {
    ::DeleteFileW(temp.c_str());
    return kDownloadFailed;
  }
  const bool swapped = SwitchExecutables(running, temp, false, &m_failure);
  ::DeleteFileW(temp.c_str());
  if (swapped) return kUpdated;
  m_swapFailed = true;
  return kDeclinedOrSwapFailed;
}

bool CAutoUpdater::IsConnected() const { return m_hRoot != nullptr; }

HINTERNET CAutoUpdater::OpenUrl(const std::wstring& url) {
  m_requested = url.substr(url.find_last_of(L'/') + 1);
  m_failure.cause = kUnreachable;
  wchar_t canonical[1024];
  DWORD chars = 1024;
  if (!::InternetCanonicalizeUrlW(url.c_str(), canonical, &chars, ICU_BROWSER_MODE)) return nullptr;
  InternetHandle handle(::InternetOpenUrlW(m_hRoot, canonical, nullptr, 0, kOpenFlags, 0));
  DWORD status = 0;
  if (!handle || !QueryNumber(handle.get(), HTTP_QUERY_STATUS_CODE, &status)) return nullptr;
  // An error page is a body too: only a 200 is the file.
  m_httpStatus = status;
  m_failure.cause = status == 200 ? kNoCause : kHttpError;
  return status == 200 ? handle.release() : nullptr;
}

bool CAutoUpdater::ReadData(HINTERNET handle, void* buffer, DWORD* size) {
  DWORD got = 0;
  if (!::InternetReadFile(handle, buffer, *size, &got)) return false;
  *size = got;
  return got > 0;
}

bool CAutoUpdater::ReadVersionFile(HINTERNET handle, std::string& bytes) {
  auto read = [handle](char* buffer, uint32_t* size) {
    DWORD got = *size;
    const bool more = ReadData(handle, buffer, &got);
    *size = got;
    return more;
  };
  return UpdateVersion::ReadAnswer(read, kMaxVersionBytes, bytes);
}

bool CAutoUpdater::DownloadToFile(HINTERNET handle, const std::wstring& path, DWORD expected, DWORD limit) {
  const bool known = expected != kLengthUnknown;
  m_failure.expected = expected;
  m_failure.received = 0;
  if (known && expected > limit) return m_failure.Set(kTooLarge, 0);
  FileReplacement file(path);
  if (file.Error()) return m_failure.Set(kWriteFailed, file.Error(), path);
  const DWORD most = known ? expected : limit;
  char block[kBlockBytes];
  DWORD total = 0;
  for (;;) {
    DWORD got = sizeof block;
    if (!ReadData(handle, block, &got)) {
      if (got != 0) return m_failure.Set(kIncomplete, ::GetLastError());  // a broken read
      break;  // the end; a connection closed early ends so too, which the length tells
    }
    if (got > most - total) return m_failure.Set(kTooLarge, 0);
    if (!file.Write(std::string_view(block, got))) return m_failure.Set(kWriteFailed, file.Error(), path);
    m_failure.received = total + got;
    const DWORD before = total;
    total += got;
    if (m_progress) m_progress(nullptr);
    if (total / kProgressBytes != before / kProgressBytes || total == expected)
      Report(known ? qv::FormatW(L"已下载 %lu / %lu KB", static_cast<unsigned long>(total / 1024),
                                 static_cast<unsigned long>(expected / 1024))
                   : qv::FormatW(L"已下载 %lu KB", static_cast<unsigned long>(total / 1024)));
  }
  // Without a length the file's own layout tells a download cut short (Download).
  if (known ? total != expected : total == 0) return m_failure.Set(kIncomplete, 0);
  return file.Commit() || m_failure.Set(kWriteFailed, file.Error(), path);
}

std::wstring CAutoUpdater::GetFileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return L"";
  std::vector<char> data(size);
  VS_FIXEDFILEINFO* info = nullptr;
  UINT infoBytes = 0;
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, data.data()) ||
      !::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &infoBytes) || !info ||
      infoBytes < sizeof *info || info->dwSignature != 0xFEEF04BD)
    return L"";
  if (info->dwFileVersionLS != 0)
    return qv::FormatW(L"%d.%d.%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                       HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS));
  if (info->dwFileVersionMS != 0)
    return qv::FormatW(L"%d.%d", HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS));
  return L"";
}

std::wstring CAutoUpdater::GetExecutablePath() {
  if (Seam* seam = qv::ProcessSeam<Seam>::Installed()) return seam->ExecutablePath();
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD chars = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (chars == 0) return L"";
    if (chars < path.size()) return path.substr(0, chars);
    path.resize(path.size() * 2);
  }
}

bool CAutoUpdater::IsDigits(const std::wstring& text) { return UpdateVersion::IsDigits(text); }

int CAutoUpdater::CompareVersions(const std::wstring& a, const std::wstring& b) {
  return UpdateVersion::Compare(a, b);
}

bool CAutoUpdater::SwitchExecutables(const std::wstring& running, const std::wstring& downloaded,
                                     bool delayUntilReboot, Failure* failure) {
  Failure ignored;
  Failure& told = failure ? *failure : ignored;
  auto fail = [&told](Cause cause, DWORD error, const std::wstring& path, const std::wstring& to = std::wstring()) {
    return told.Set(cause, error ? error : ERROR_GEN_FAILURE, path, to);
  };
  const size_t slash = running.find_last_of(L'\\');
  if (slash == std::wstring::npos) return fail(kRenameFailed, ERROR_INVALID_NAME, running);
  const DWORD flags = delayUntilReboot ? MOVEFILE_DELAY_UNTIL_REBOOT : MOVEFILE_COPY_ALLOWED;
  const std::wstring backup = running.substr(0, slash) + L"\\OldExecutable.bak";
  // The copy sits on the executable's volume, so the last step is a plain rename.
  const std::wstring copy = running + L".new";
  DWORD error = 0;
  if (!FileReplacement::CopyWhole(downloaded, copy, &error)) return fail(kCopyFailed, error, copy);
  // A backup that stays would stop the rename below; Windows will not remove one marked
  // read-only, and the console does not either.
  error = 0;
  if (FileReplacement::IsReadOnly(backup))
    error = ERROR_ACCESS_DENIED;
  else if (!::DeleteFileW(backup.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND)
    error = ::GetLastError();
  if (error) {
    ::DeleteFileW(copy.c_str());
    return fail(kBackupFailed, error, backup);
  }
  if (!::MoveFileExW(running.c_str(), backup.c_str(), flags)) {
    error = ::GetLastError();
    ::DeleteFileW(copy.c_str());
    return fail(kRenameFailed, error, running, backup);
  }
  if (::MoveFileExW(copy.c_str(), running.c_str(), flags)) return true;
  error = ::GetLastError();
  ::MoveFileExW(backup.c_str(), running.c_str(), flags);
  ::DeleteFileW(copy.c_str());
  return fail(kRenameFailed, error, copy, running);
}

void CAutoUpdater::Report(const std::wstring& line) const {
  if (m_progress) m_progress(line.c_str());
}
