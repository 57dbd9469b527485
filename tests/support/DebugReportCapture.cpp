#include "support/DebugReportCapture.h"

#include <mutex>

namespace {
std::mutex g_captureLock;  // reports may come from a test's second thread
}

DebugReportCapture::DebugReportCapture() {
  previous_ = qv::SetDebugReportHook(&Hook, this, &previousContext_);
}

DebugReportCapture::~DebugReportCapture() { qv::SetDebugReportHook(previous_, previousContext_); }

void DebugReportCapture::Hook(const qv::DebugReportInfo& info, void* context) {
  std::lock_guard<std::mutex> lock(g_captureLock);
  static_cast<DebugReportCapture*>(context)->reports_.push_back(info);
}

bool DebugReportCapture::Contains(const std::string& text) const {
  std::lock_guard<std::mutex> lock(g_captureLock);
  for (const auto& r : reports_)
    if (r.text.find(text) != std::string::npos) return true;
  return false;
}
