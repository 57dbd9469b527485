#pragma once
// Makes a report folder: the template folder copied into it, then its data files
// (ReportDataWriter) written from the monitoring database: the audit entries of the
// strategy's version, then its HIPS entries since the report of the version before,
// up to the report's own time. Rows go to the files as they are fetched. The folder is
// made beside its place and takes it only when whole: a generation that fails leaves
// an earlier report of the same name as it was and nothing of its own; one that takes
// an earlier report's place moves over what the user kept in it (LeftIn names where
// what could not move stayed). It runs on the UI thread and blocks it, looking at the
// thread's queue now and then so that Windows does not take the console for hung.
#include <windows.h>

#include <string>
#include <vector>

#include "reports/ReportFolders.h"

class SQLServerLink;

class ReportGenerator {
 public:
  enum Result { kGenerated, kCopyFailed, kConnectFailed, kQueryFailed, kWriteFailed, kReplaceFailed, kRecordGone };

  struct Report {
    std::wstring name;
    std::wstring author;
    std::wstring strategyName;
    int version;
    // The report's name in the list; when set, a report no longer listed under it
    // (another console deleted it) is not generated: kRecordGone, nothing written.
    std::wstring listedName = std::wstring();
  };

  // The folder "ReportTemplate" beside the executable, else in the current directory;
  // empty when there is none.
  static std::wstring FindTemplate();
  static std::wstring IndexPath(const std::wstring& reportFolder);
  static std::wstring XmlPath(const std::wstring& reportFolder);
  static std::wstring JsPath(const std::wstring& reportFolder);

  // The length of the longest path a generation of reportFolder from templateFolder
  // writes, its scratch folders' included.
  static size_t LongestPath(const std::wstring& templateFolder, const std::wstring& reportFolder);
  // 1 when the list holds a report of the name, 0 when not, -1 when the lookup failed
  // (the link holds the diagnostic).
  static int Listed(SQLServerLink& link, const std::wstring& reportName);

  Result Generate(const std::wstring& templateFolder, const std::wstring& reportFolder, const Report& report);

  // The database's diagnosis after kQueryFailed.
  const std::wstring& ErrorText() const { return m_errorText; }
  // Entries written by the last Generate.
  long long Entries() const { return m_entries; }
  // After kCopyFailed, kWriteFailed or kReplaceFailed: the system's code, and the file
  // (kWriteFailed) or the report folder it concerns.
  DWORD Error() const { return m_error; }
  const std::wstring& FailedPath() const { return m_failedPath; }
  // After kGenerated: the folder beside the report that holds what of the earlier
  // report's folder stayed; empty when nothing did. Left(): the user's entries that could
  // not move into the new report; Undeleted(): earlier copies of the report's own files
  // that could not be removed; each relative to it, with its reason.
  const std::wstring& LeftIn() const { return m_replacement.leftIn; }
  const std::vector<StayedEntry>& Left() const { return m_replacement.left; }
  const std::vector<StayedEntry>& Undeleted() const { return m_replacement.undeleted; }
  // After kReplaceFailed: the folder the earlier report is in when it could not come
  // back to its place; empty when it is there (or there was none).
  const std::wstring& EarlierIn() const { return m_replacement.earlierIn; }

 private:
  std::wstring m_errorText;
  DWORD m_error = 0;
  std::wstring m_failedPath;
  FolderReplacement m_replacement;
  long long m_entries = 0;
};
