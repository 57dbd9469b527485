#include "reports/ReportGenerator.h"

#include <windows.h>

#include <algorithm>

#include "console/ConnectOrTell.h"
#include "console/LocalClock.h"
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "platform/TextConv.h"
#include "reports/ReportDataWriter.h"
#include "reports/ReportFolders.h"

namespace {

const wchar_t kTemplateName[] = L"ReportTemplate";
const int kRowsBetweenLooks = 4096;

SQLStatement* QueryListed(SQLServerLink& link, const std::wstring& reportName);
SQLStatement* QueryPreviousReport(SQLServerLink& link, int version, const std::wstring& strategyName);
SQLStatement* QueryAuditEntries(SQLServerLink& link, int version, const std::wstring& strategyName);
SQLStatement* QueryHipsEntries(SQLServerLink& link, const std::wstring& strategyName, const std::wstring& from,
                               const std::wstring& to);

std::wstring Folder(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring ExecutableFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (!n) return std::wstring();
    if (n < path.size()) return Folder(path.substr(0, n));
    path.resize(path.size() * 2);
  }
}

std::wstring CurrentFolder() {
  const DWORD n = ::GetCurrentDirectoryW(0, nullptr);
  std::wstring path(n, L'\0');
  path.resize(n ? ::GetCurrentDirectoryW(n, &path[0]) : 0);
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

// The folder a report is made in, beside its place; removed with what it holds unless
// it took that place.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::wstring& beside) : m_path(MakeFolderBeside(beside)) {}
  ~ScratchFolder() {
    if (!m_path.empty()) RemoveFolder(m_path.c_str());
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::wstring& Path() const { return m_path; }
  bool PutInPlace(const std::wstring& target, FolderReplacement& outcome) {
    if (!ReplaceFolder(m_path.c_str(), target.c_str(), &outcome)) return false;
    m_path.clear();
    return true;
  }

 private:
  std::wstring m_path;
};

// Looking at the queue (without taking or dispatching anything) tells Windows that the
// thread still answers.
void StayResponsive(long long rows) {
  if (rows % kRowsBetweenLooks) return;
  MSG msg;
  ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

}  // namespace

std::wstring ReportGenerator::FindTemplate() {
  for (const std::wstring& folder : {ExecutableFolder(), CurrentFolder()}) {
    const std::wstring path = folder + L"\\" + kTemplateName;
    if (!folder.empty() && FolderExists(path.c_str())) return path;
  }
  return std::wstring();
}

std::wstring ReportGenerator::IndexPath(const std::wstring& reportFolder) { return reportFolder + L"\\index.html"; }
std::wstring ReportGenerator::XmlPath(const std::wstring& reportFolder) {
  return reportFolder + L"\\data\\Report.xml";
}
std::wstring ReportGenerator::JsPath(const std::wstring& reportFolder) { return reportFolder + L"\\data\\Report.js"; }

size_t ReportGenerator::LongestPath(const std::wstring& templateFolder, const std::wstring& reportFolder) {
  // The report is written whole in a folder beside its place, and an earlier report
  // of the name steps aside under such a name while what the user keeps in it moves.
  const size_t folder = std::max(BesideLength(reportFolder), reportFolder.size());
  const size_t below = std::max({XmlPath(L"").size(), JsPath(L"").size(), LongestEntry(templateFolder),
                                 LongestEntry(reportFolder)});
  return folder + below;
}

int ReportGenerator::Listed(SQLServerLink& link, const std::wstring& reportName) {
  SQLStatement* st = QueryListed(link, reportName);
  if (!st) return -1;
  const int listed = st->Fetch() ? 1 : st->Failed() ? -1 : 0;
  link.ReleaseStatement(st);
  return listed;
}

ReportGenerator::Result ReportGenerator::Generate(const std::wstring& templateFolder,
                                                  const std::wstring& reportFolder, const Report& report) {
  m_errorText.clear();
  m_entries = 0;
  m_error = 0;
  m_failedPath = reportFolder;
  m_replacement = FolderReplacement();
  SQLServerLink link;
  if (!Connect(link)) return kConnectFailed;
  auto failed = [&] {
    m_errorText = qv::OrEmpty(link.GetLastErrorText());
    return kQueryFailed;
  };
  // Another console may have deleted the report meanwhile: then nothing is written.
  if (!report.listedName.empty()) {
    const int listed = Listed(link, report.listedName);
    if (listed < 0) return failed();
    if (listed == 0) return kRecordGone;
  }
  // Made whole beside its place before it takes it: a failure leaves an earlier report
  // of the name as it was, and nothing half made.
  ScratchFolder made(reportFolder);
  if (made.Path().empty() || !CopyFolder(templateFolder.c_str(), made.Path().c_str())) {
    m_error = ::GetLastError();
    return kCopyFailed;
  }

  // HIPS entries count from the report of the version before; without one, from the start.
  std::wstring from;
  if (report.version > 0) {
    SQLStatement* previous = QueryPreviousReport(link, report.version - 1, report.strategyName);
    if (!previous) return failed();
    if (previous->Fetch()) {
      from = qv::OrEmpty(previous->GetString(0));
    } else if (previous->Failed()) {
      return failed();
    }
    link.ReleaseStatement(previous);
  }
  const std::wstring now = LocalClock::TimeText();

  ReportDataWriter writer;
  auto writeFailed = [&] {
    m_error = writer.Error();
    const std::wstring& path = writer.FailedPath();
    // Named where the report is to be, not where it was being made.
    m_failedPath = path.compare(0, made.Path().size(), made.Path()) == 0 ? reportFolder + path.substr(made.Path().size())
                                                                         : path;
    return kWriteFailed;
  };
  if (!writer.Open(XmlPath(made.Path()), JsPath(made.Path()), report.name.c_str(), report.author.c_str(), now.c_str(),
                   report.strategyName.c_str()))
    return writeFailed();
  SQLStatement* audit = QueryAuditEntries(link, report.version, report.strategyName);
  if (!audit) return failed();
  while (audit->Fetch()) {
    writer.AddAuditEntry(audit->GetString(0), audit->GetString(1), audit->GetString(2), audit->GetString(5),
                         audit->GetString(3), audit->GetString(4));
    StayResponsive(writer.Entries());
  }
  if (audit->Failed()) return failed();
  link.ReleaseStatement(audit);

  SQLStatement* hips = QueryHipsEntries(link, report.strategyName, from, now);
  if (!hips) return failed();
  while (hips->Fetch()) {
    writer.AddEntry(hips->GetString(0), hips->GetString(1), hips->GetString(2), hips->GetString(3),
                    hips->GetString(4));
    StayResponsive(writer.Entries());
  }
  if (hips->Failed()) return failed();
  link.ReleaseStatement(hips);
  link.Disconnect();
  m_entries = writer.Entries();
  if (!writer.Finish()) return writeFailed();
  if (!made.PutInPlace(reportFolder, m_replacement)) {
    m_error = ::GetLastError();
    return kReplaceFailed;
  }
  return kGenerated;
}

namespace {

SQLStatement* QueryListed(SQLServerLink& link, const std::wstring& reportName) {
  SQLStatement* st = link.CreateStatement(L"select 1 from ReportCenterTable where ReportName = ?");
  return st && st->SetMaxRows(1) && st->BindString(0, reportName.c_str()) ? st : nullptr;
}

SQLStatement* QueryPreviousReport(SQLServerLink& link, int version, const std::wstring& strategyName) {
  SQLStatement* st = link.CreateStatement(
      L"select ProduceTime from ReportCenterTable where StrategyVersion = ? and StrategyName = ?");
  return st && st->SetMaxRows(1) && st->BindInt(0, version) && st->BindString(1, strategyName.c_str()) ? st
                                                                                                      : nullptr;
}

SQLStatement* QueryAuditEntries(SQLServerLink& link, int version, const std::wstring& strategyName) {
  SQLStatement* st = link.CreateStatement(
      L"select b.Name, b.IP, a.LogStyle, a.LogContent, a.LogTime, a.LogDetail "
      L"from AuditLog as a, Client as b "
      L"where a.LogHostIp = b.IP and a.StrategyVersion = ? "
      L"and a.Strategyid in (select id from StrategyTable where StrategyName = ?)");
  return st && st->BindInt(0, version) && st->BindString(1, strategyName.c_str()) ? st : nullptr;
}

// One entry per log row: the strategy rows of the host are asked for existence only.
SQLStatement* QueryHipsEntries(SQLServerLink& link, const std::wstring& strategyName, const std::wstring& from,
                               const std::wstring& to) {
  SQLStatement* st = link.CreateStatement(
      L"select b.Name, b.IP, a.LogStyle, a.LogContent, a.LogTime "
      L"from HIPSLog as a, Client as b "
      L"where a.LogHostIp = b.IP and a.StrategyName = ? "
      L"and exists (select 1 from StrategyTable as c where c.StrategyType = 0 and c.Ip = a.LogHostIp) "
      L"and a.LogTime >= ? and a.LogTime <= ?");
  return st && st->BindString(0, strategyName.c_str()) && st->BindString(1, from.c_str()) &&
                 st->BindString(2, to.c_str())
             ? st
             : nullptr;
}

}  // namespace
