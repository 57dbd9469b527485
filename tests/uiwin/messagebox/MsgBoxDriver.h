#pragma once
// Drives the message boxes that a test opens: a thread timer finds the box on the
// test thread, runs the test's steps on it one per tick and ends with a click. A box
// still open after the time limit is ended with kFailSafeResult, so a test fails
// instead of hanging.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "uiwin/CUiMsgBox.h"

class MsgBoxDriver {
 public:
  // A step runs once per timer tick until it answers true.
  using Step = std::function<bool(CUiMsgBox& box)>;
  static constexpr int kFailSafeResult = 7777;

  explicit MsgBoxDriver(std::vector<Step> steps, DWORD limitMs = 5000);
  ~MsgBoxDriver();
  MsgBoxDriver(const MsgBoxDriver&) = delete;
  MsgBoxDriver& operator=(const MsgBoxDriver&) = delete;

  bool SawBox() const { return sawBox_; }
  bool UsedFailSafe() const { return failSafe_; }
  size_t StepsDone() const { return next_; }

  // The open message box of this thread, or null.
  static CUiMsgBox* FindBox();
  // Posts a mouse move, press and release at the centre of the element to the view.
  static bool ClickItem(CUiMsgBox& box, UINT id);
  // A step that clicks an element.
  static Step Click(UINT id);

 private:
  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD);
  void Tick();

  std::vector<Step> steps_;
  size_t next_ = 0;
  DWORD start_;
  DWORD limitMs_;
  UINT_PTR timer_;
  bool sawBox_ = false;
  bool failSafe_ = false;
};
