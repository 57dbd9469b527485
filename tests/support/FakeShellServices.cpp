#include "support/FakeShellServices.h"

#include <gtest/gtest.h>

FakeShellServices::~FakeShellServices() {
  for (const Answer& a : answers_) ADD_FAILURE() << "queued chooser of kind " << a.kind << " never ran";
}

FakeShellServices& FakeShellServices::Choose(Kind kind, const std::wstring& path, bool confirm) {
  answers_.push_back(Answer{kind, path, confirm});
  return *this;
}

BOOL FakeShellServices::Perform(Request& request) {
  bool chooser = request.kind == kOpenFile || request.kind == kSaveFile || request.kind == kFolder;
  bool queued = chooser && !answers_.empty() && answers_.front().kind == request.kind;
  if (chooser && !queued) ADD_FAILURE() << "chooser of kind " << request.kind << " not queued";
  bool confirm = !chooser || (queued && answers_.front().confirm);
  if (queued) {
    if (confirm) request.path = answers_.front().path;
    answers_.pop_front();
  }
  calls_.push_back(request);
  return confirm;
}
