#pragma once
// The online updater: asks an HTTP endpoint for the newest version ("update.txt"
// under a base URL ending in "/"), and when that is newer than the running
// executable's file version and the user agrees, downloads the new executable under
// the running one's file name, checks that it is whole (ExecutableLayout) and that its
// own version is the one offered, and swaps it in for the next start, keeping the old
// one as "OldExecutable.bak". It owns
// the WinINet root handle for its lifetime; every request handle and file it opens is
// closed before the call returns. UI thread only; the requests block it.
#include <windows.h>
#include <wininet.h>

#include <functional>
#include <string>

#include "platform/ProcessSeam.h"

class CAutoUpdater {
 public:
  enum Result {
    kUpdated = 0,
    kOffline = 1,
    kOpenFailed = 2,
    kNothingRead = 3,
    kDownloadFailed = 4,
    kNoLocalVersion = 5,
    kNotNewer = 6,
    kDeclinedOrSwapFailed = 7,
  };
  static const DWORD kMaxVersionBytes = 4096;
  static const DWORD kMaxExecutableBytes = 128u * 1024 * 1024;
  static const DWORD kBlockBytes = 4096;
  static const DWORD kProgressBytes = 64 * 1024;

  // What a test replaces: the executable taken as the running one, and the answer to
  // the consent question (0: the user is asked as usual).
  class Seam {
   public:
    using Scope = qv::ProcessSeam<Seam>::Scope;
    virtual ~Seam() = default;
    virtual std::wstring ExecutablePath() = 0;
    virtual int Ask(const std::wstring& text, const std::wstring& caption) = 0;
  };
  // Told each step of the run as a line for a status log, and null after every block
  // of the download.
  using Progress = std::function<void(const wchar_t* line)>;

  CAutoUpdater();
  virtual ~CAutoUpdater();
  CAutoUpdater(const CAutoUpdater&) = delete;
  CAutoUpdater& operator=(const CAutoUpdater&) = delete;

  void SetProgress(Progress progress) { m_progress = std::move(progress); }
  // One of the results above; base ends in "/".
  int CheckForUpdate(const std::wstring& base);
  // After a 7: the swap failed (rather than the user declining).
  bool SwapFailed() const { return m_swapFailed; }
  // What the last check found wrong, where the result code covers several causes.
  enum Cause {
    kNoCause,
    kUnreachable,
    kHttpError,
    kIncomplete,      // the connection ended before the whole file came
    kNotExecutable,   // what came is not a program file
    kPartsMissing,    // all that was announced came, but the program lacks parts its headers describe
    kReadBackFailed,  // the download could not be read back from path
    kWrongVersion,
    kTooLarge,        // more than kMaxExecutableBytes offered or sent
    kTemporaryFile,   // no file could be made in the temporary folder (path)
    kWriteFailed,     // the download could not be written to path
    kCopyFailed,      // the new executable could not be written beside the running one (path)
    kBackupFailed,    // the earlier backup (path) could not be removed
    kRenameFailed,    // path could not be renamed to `to`
  };
  // The file or folder a failure is about, the system's code for it (0 when the system
  // gave none, as for a connection closed early) and, for a download, the bytes that
  // came and were announced (kLengthUnknown when none were).
  struct Failure {
    Cause cause = kNoCause;
    std::wstring path, to;
    DWORD error = 0;
    DWORD received = 0, expected = 0;
    // Notes what failed, on what; false, for the failing step to return.
    bool Set(Cause what, DWORD code, const std::wstring& about = std::wstring(),
             const std::wstring& into = std::wstring()) {
      cause = what;
      error = code;
      path = about;
      to = into;
      return false;
    }
  };
  Cause FailureCause() const { return m_failure.cause; }
  const Failure& LastFailure() const { return m_failure; }
  // The name of the file last asked for, and the server's status for a kHttpError.
  const std::wstring& RequestedFile() const { return m_requested; }
  DWORD HttpStatus() const { return m_httpStatus; }
  // The version of the download: the one put in place after kUpdated, or the one that
  // was not offered (kWrongVersion).
  const std::wstring& DownloadedVersion() const { return m_downloaded; }

  bool IsConnected() const;
  // A request handle that answered HTTP 200, or null.
  HINTERNET OpenUrl(const std::wstring& url);
  // One read of at most *size bytes into buffer; *size becomes the count read. True when
  // more than 0 bytes came. False with *size 0 is the end of the data; false with *size
  // left non-zero is a failed read.
  static bool ReadData(HINTERNET handle, void* buffer, DWORD* size);
  // The length of an answer that names none (chunked transfer).
  static const DWORD kLengthUnknown = 0xFFFFFFFFu;
  // Writes the answer to path: exactly `expected` bytes, or with kLengthUnknown what
  // comes until the end. False on a failed read or write, another byte count, or more
  // than `limit` bytes.
  bool DownloadToFile(HINTERNET handle, const std::wstring& path, DWORD expected,
                      DWORD limit = kMaxExecutableBytes);

  // "a.b.c.d" of the fixed file version, "a.b" when the low half is 0, else empty.
  static std::wstring GetFileVersion(const std::wstring& path);
  static std::wstring GetExecutablePath();
  static bool IsDigits(const std::wstring& text);
  // 1, 0 or -1 as a is newer, equal or older than b; -21 or -22 when a or b is
  // malformed (no part, an empty or non-digit part, more than four, one over 32 bits).
  static int CompareVersions(const std::wstring& a, const std::wstring& b);
  // Puts downloaded in place of running; the old file stays until the new one is in
  // place and is kept as "OldExecutable.bak" beside it. False leaves running as it was
  // and tells in *failure which step failed.
  static bool SwitchExecutables(const std::wstring& running, const std::wstring& downloaded, bool delayUntilReboot,
                                Failure* failure = nullptr);

 private:
  // Reads the whole version file: false when it is longer than kMaxVersionBytes.
  bool ReadVersionFile(HINTERNET handle, std::string& bytes);
  int Download(const std::wstring& base, const std::wstring& offered, const std::wstring& running);
  void Report(const std::wstring& line) const;

  HINTERNET m_hRoot;
  Progress m_progress;
  bool m_swapFailed = false;
  Failure m_failure;
  std::wstring m_requested;
  DWORD m_httpStatus = 0;
  std::wstring m_downloaded;
};
