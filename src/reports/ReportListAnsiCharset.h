#pragma once
// The report list file's text: the system's ANSI code page unless the file says UTF-8.
#include <string>
#include <string_view>

#include "platform/TextConv.h"
#include "reports/ReportListXml.h"

class ReportListAnsiCharset : public ReportListXml::Charset {
 public:
  bool Encode(std::wstring_view text, std::string& bytes) const override {
    return qv::WideToAnsiExact(text, bytes);
  }
  std::wstring Decode(std::string_view bytes, bool utf8) const override {
    return utf8 ? qv::Utf8ToWide(bytes) : qv::AnsiToWide(bytes);
  }
};
