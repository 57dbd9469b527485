#pragma once
// Check of the strategy file reader, shared by the libFuzzer target and the replay
// test: the nesting guard holds over the file (XmlGuardCheck.h); a file it reads has 42
// values per row, and writing those rows and reading the
// result gives them back. Returns null when that held, else what failed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "XmlGuardCheck.h"
#include "integrity/StrategyXmlFile.h"

namespace fuzzcheck {

inline const char* CheckStrategyXml(const uint8_t* data, size_t size) {
  if (const char* problem = CheckXmlGuard(std::string_view(reinterpret_cast<const char*>(data), size))) return problem;
  std::vector<StrategyXmlFile::Row> rows;
  if (!StrategyXmlFile::Read(std::string(reinterpret_cast<const char*>(data), size), rows)) {
    return rows.empty() ? nullptr : "refused file left rows";
  }
  for (const StrategyXmlFile::Row& row : rows)
    if (row.size() != StrategyXmlFile::kAttributeCount) return "row without 42 values";
  std::vector<StrategyXmlFile::Row> again;
  if (!StrategyXmlFile::Read(StrategyXmlFile::Write(rows), again)) return "written rows do not read back";
  if (again != rows) return "written rows read back changed";
  return nullptr;
}

}  // namespace fuzzcheck
