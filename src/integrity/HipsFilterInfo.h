#pragma once
// A HIPS filter and its behaviour rules as the filter page and the editor hold them in
// memory; copied member by member. The editor owns the HipsRuleInfo of its entries.
#include <cstdint>
#include <memory>
#include <string>

#include "console/LinkRecords.h"

struct HipsFilterInfo {
  std::wstring FilterName;
  std::wstring ClientIP;
  std::wstring RegExp;
  uint32_t TypeOfHipsRule = 0;
  uint8_t MatchType = 0;
  uint8_t OperatorType = 0;  // behaviour mask
  uint16_t DefaultAction = 0;
  uint32_t DefaultLogFilter = 0;
};

struct HipsRuleInfo {
  uint8_t OperatorType = 0;  // behaviour code
  uint8_t CompareType = 0;
  uint8_t MatchActionType = 0;
  uint8_t UnicodeIndex = 0;
  std::wstring UnicodeName;
  std::wstring FilterName;
  uint32_t FilterID = 0;
};

struct HipsRuleEntry {
  int id = -1;  // Rules.id, -1 while not stored
  int stored = 0;
  int modified = 0;
  std::unique_ptr<HipsRuleInfo> rule;
};


inline HipsFilterHeadFields HeadFieldsOf(const HipsFilterInfo& f) {
  return HipsFilterHeadFields{f.FilterName,    f.TypeOfHipsRule, f.MatchType, f.OperatorType,
                              f.DefaultAction, f.DefaultLogFilter, f.RegExp};
}
