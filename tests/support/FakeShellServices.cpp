#include "support/FakeShellServices.h"

#include <gtest/gtest.h>

#include <utility>

FakeShellServices::FakeShellServices() : scope_(*this) {}

FakeShellServices::~FakeShellServices() {
  for (const Answer& a : answers_) ADD_FAILURE() << "queued chooser of kind " << a.kind << " never ran";
}

FakeShellServices& FakeShellServices::Choose(Kind kind, const std::wstring& path) {
  answers_.push_back(Answer{kind, true, path});
  return *this;
}

FakeShellServices& FakeShellServices::Cancel(Kind kind) {
  answers_.push_back(Answer{kind, false, L""});
  return *this;
}

BOOL FakeShellServices::Take(Call call, std::wstring& path) {
  bool queued = !answers_.empty() && answers_.front().kind == call.kind;
  if (!queued) ADD_FAILURE() << "chooser of kind " << call.kind << " not queued";
  bool confirm = queued && answers_.front().confirm;
  if (confirm) path = call.path = answers_.front().path;
  if (queued) answers_.pop_front();
  calls_.push_back(std::move(call));
  return confirm;
}

BOOL FakeShellServices::ChooseOpenFile(const FileRequest& request, std::wstring& path) {
  return Take(Call{kOpenFile, request, L"", L"", L""}, path);
}

BOOL FakeShellServices::ChooseSaveFile(const FileRequest& request, std::wstring& path) {
  return Take(Call{kSaveFile, request, L"", L"", L""}, path);
}

BOOL FakeShellServices::ChooseFolder(LPCWSTR title, std::wstring& path) {
  return Take(Call{kFolder, FileRequest{}, title ? title : L"", L"", L""}, path);
}

BOOL FakeShellServices::OpenPath(const std::wstring& path) {
  calls_.push_back(Call{kOpenPath, FileRequest{}, L"", L"", path});
  return TRUE;
}

BOOL FakeShellServices::StartProgram(const std::wstring& program, const std::wstring& file) {
  calls_.push_back(Call{kStartProgram, FileRequest{}, L"", program, file});
  return TRUE;
}
