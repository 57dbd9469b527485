#pragma once
// Stands in for the shell while it lives: records every chooser and shell call, and
// answers the choosers from a queue in order. A chooser the test did not queue (or of
// another kind than the next answer) is a test failure and counts as cancelled.
#include <deque>
#include <string>
#include <vector>

#include "console/ShellServices.h"

class FakeShellServices : public ShellServices {
 public:
  enum Kind { kOpenFile, kSaveFile, kFolder, kOpenPath, kStartProgram };
  struct Call {
    Kind kind;
    FileRequest request;  // open and save dialogs
    std::wstring title;   // folder browser
    std::wstring program; // StartProgram
    std::wstring path;    // chosen (empty when cancelled), opened or given to the program
  };

  FakeShellServices();
  ~FakeShellServices() override;

  // The next chooser is of this kind and confirmed with path, or cancelled.
  FakeShellServices& Choose(Kind kind, const std::wstring& path);
  FakeShellServices& Cancel(Kind kind);
  const std::vector<Call>& Calls() const { return calls_; }

  BOOL ChooseOpenFile(const FileRequest& request, std::wstring& path) override;
  BOOL ChooseSaveFile(const FileRequest& request, std::wstring& path) override;
  BOOL ChooseFolder(LPCWSTR title, std::wstring& path) override;
  BOOL OpenPath(const std::wstring& path) override;
  BOOL StartProgram(const std::wstring& program, const std::wstring& file) override;

 private:
  struct Answer {
    Kind kind;
    bool confirm;
    std::wstring path;
  };
  BOOL Take(Call call, std::wstring& path);

  std::deque<Answer> answers_;
  std::vector<Call> calls_;
  Scope scope_;  // last: installed once the rest is built
};
