#pragma once
// Stands in for the shell while it lives: records every request, and answers the
// choosers from a queue in order. A chooser the test did not queue (or of another kind
// than the next answer) is a test failure and counts as cancelled; so is, at the end,
// an answer never asked for.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "console/ShellServices.h"

class FakeShellServices : public ShellServices {
 public:
  FakeShellServices() : scope_(*this) {}
  ~FakeShellServices() override { EXPECT_TRUE(answers_.empty()) << "a queued chooser never ran"; }

  // The next chooser is of this kind; it is confirmed with path, or cancelled.
  void Choose(Kind kind, const std::wstring& path, bool confirm = true) {
    answers_.push_back(Answer{kind, path, confirm});
  }
  const std::vector<Request>& Calls() const { return calls_; }

 protected:
  BOOL Perform(Request& request) override {
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

 private:
  struct Answer {
    Kind kind;
    std::wstring path;
    bool confirm;
  };
  std::deque<Answer> answers_;
  std::vector<Request> calls_;
  Scope scope_;  // last: installed once the rest is built
};
