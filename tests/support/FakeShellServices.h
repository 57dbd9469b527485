#pragma once
// Stands in for the shell while it lives: records every request, and answers the
// choosers from a queue in order. A chooser the test did not queue (or of another kind
// than the next answer) is a test failure and counts as cancelled.
#include <deque>
#include <string>
#include <vector>

#include "console/ShellServices.h"

class FakeShellServices : public ShellServices {
 public:
  FakeShellServices() : scope_(*this) {}
  ~FakeShellServices() override;

  // The next chooser is of this kind; it is confirmed with path, or cancelled.
  FakeShellServices& Choose(Kind kind, const std::wstring& path, bool confirm = true);
  const std::vector<Request>& Calls() const { return calls_; }

 protected:
  BOOL Perform(Request& request) override;

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
