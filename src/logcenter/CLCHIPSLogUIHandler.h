#pragma once
// The "注册表监测日志" page of the log center (layout 542): the active-monitoring (HIPS)
// entries of one host for a range of days, optionally with a keyword in their content.
// A log page with the ids, columns, statement and texts of its own.
#include <windows.h>

#include "logcenter/CLCLogPage.h"
#include "platform/MessageMap.h"

class CUiDialogHost;

class CLCHIPSLogUIHandler {
 public:
  enum : UINT {
    kStartEdit = 1114,
    kEndEdit = 1115,
    kHostEdit = 1253,
    kKeywordEdit = 1116,
    kGrid = 1117,
    kItemPickStart = 1235,
    kItemPickEnd = 1236,
    kItemPickHost = 1252,
    kItemSearch = 1237,
  };

  explicit CLCHIPSLogUIHandler(CUiDialogHost* owner);
  ~CLCHIPSLogUIHandler();
  CLCHIPSLogUIHandler(const CLCHIPSLogUIHandler&) = delete;
  CLCHIPSLogUIHandler& operator=(const CLCHIPSLogUIHandler&) = delete;

  int Init() { return m_page.Init(); }
  int UnInit() { return m_page.UnInit(); }

  BEGIN_MSG_MAP_EX(CLCHIPSLogUIHandler)
    CHAIN_MSG_MAP_MEMBER(m_page)
  END_MSG_MAP()

  CLCLogPage& Page() { return m_page; }

 private:
  CLCLogPage m_page;
};
