#pragma once
// Makes a report folder: the template folder copied into it, then its data files
// (ReportDataWriter) written from the monitoring database: the audit entries of the
// strategy's version, then its HIPS entries since the report of the version before,
// up to the report's own time. Rows go to the files as they are fetched. It runs on
// the UI thread and blocks it, looking at the thread's queue now and then so that
// Windows does not take the console for hung.
#include <string>

class ReportGenerator {
 public:
  enum Result { kGenerated, kCopyFailed, kConnectFailed, kQueryFailed, kWriteFailed };

  struct Report {
    std::wstring name;
    std::wstring author;
    std::wstring strategyName;
    int version;
  };

  // The folder "ReportTemplate" beside the executable, else in the current directory;
  // empty when there is none.
  static std::wstring FindTemplate();
  static std::wstring IndexPath(const std::wstring& reportFolder);
  static std::wstring XmlPath(const std::wstring& reportFolder);
  static std::wstring JsPath(const std::wstring& reportFolder);

  Result Generate(const std::wstring& templateFolder, const std::wstring& reportFolder, const Report& report);

  // The database's diagnosis after kQueryFailed.
  const std::wstring& ErrorText() const { return m_errorText; }
  // Entries written by the last Generate.
  long long Entries() const { return m_entries; }

 private:
  std::wstring m_errorText;
  long long m_entries = 0;
};
