#pragma once
// Check of the report list file reader, shared by the libFuzzer target and the replay
// test: the nesting guard holds over the file (XmlGuardCheck.h); the rows of a file it
// reads fit the table, and writing them (where the code
// page has every character) and reading the result gives them back. Returns null when
// that held, else what failed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "XmlGuardCheck.h"
#include "platform/TextConv.h"
#include "reports/ReportListAnsiCharset.h"
#include "reports/ReportListXml.h"

namespace fuzzcheck {

inline bool SameRows(const std::vector<ReportListXml::Row>& a, const std::vector<ReportListXml::Row>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].reportName != b[i].reportName || a[i].strategyName != b[i].strategyName ||
        a[i].produceTime != b[i].produceTime || a[i].fourth != b[i].fourth ||
        a[i].fifth != b[i].fifth)
      return false;
  return true;
}

inline const char* CheckReportList(const uint8_t* data, size_t size) {
  if (const char* problem = CheckXmlGuard(std::string_view(reinterpret_cast<const char*>(data), size))) return problem;
  const ReportListAnsiCharset charset;
  std::vector<ReportListXml::Row> rows;
  if (!ReportListXml::Read(std::string_view(reinterpret_cast<const char*>(data), size), charset, rows))
    return rows.empty() ? nullptr : "refused file left rows";
  for (const ReportListXml::Row& row : rows)
    if (row.reportName.size() > ReportListXml::kMaxReportName ||
        row.strategyName.size() > ReportListXml::kMaxStrategyName)
      return "row wider than the table";
  std::string bytes;
  if (!ReportListXml::Write(rows, charset, bytes, nullptr)) return nullptr;  // not in the code page
  std::vector<ReportListXml::Row> again;
  if (!ReportListXml::Read(bytes, charset, again)) return "written rows do not read back";
  if (!SameRows(rows, again)) return "written rows read back changed";
  return nullptr;
}

}  // namespace fuzzcheck
