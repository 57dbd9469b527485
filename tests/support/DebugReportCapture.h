#pragma once
// Collects the debug reports raised while it lives (installed on construction).
#include <string>
#include <vector>

#include "platform/DebugReport.h"

class DebugReportCapture {
 public:
  DebugReportCapture();
  ~DebugReportCapture();
  DebugReportCapture(const DebugReportCapture&) = delete;
  DebugReportCapture& operator=(const DebugReportCapture&) = delete;

  const std::vector<qv::DebugReportInfo>& Reports() const { return reports_; }
  bool Contains(const std::string& text) const;
  void Clear() { reports_.clear(); }

 private:
  static void Hook(const qv::DebugReportInfo& info, void* context);
  std::vector<qv::DebugReportInfo> reports_;
  qv::DebugReportHook previous_;
  void* previousContext_ = nullptr;
};
