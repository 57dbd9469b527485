#pragma once
// The "系统日志" page of the log center (layout 543): the system entries of one host for
// a range of days, optionally with a keyword in their content. A log page with the ids,
// columns, statement and texts of its own.
#include <windows.h>

#include "logcenter/CLCLogPage.h"
#include "platform/MessageMap.h"

class CUiDialogHost;

class CLCSystemLogUIHandler {
 public:
  enum : UINT {
    kStartEdit = 1118,
    kEndEdit = 1119,
    kHostEdit = 1256,
    kKeywordEdit = 1120,
    kGrid = 1121,
    kItemPickStart = 1255,
    kItemPickEnd = 1240,
    kItemPickHost = 1254,
    kItemSearch = 1241,
  };

  explicit CLCSystemLogUIHandler(CUiDialogHost* owner);
  ~CLCSystemLogUIHandler();
  CLCSystemLogUIHandler(const CLCSystemLogUIHandler&) = delete;
  CLCSystemLogUIHandler& operator=(const CLCSystemLogUIHandler&) = delete;

  int Init() { return m_page.Init(); }
  int UnInit() { return m_page.UnInit(); }

  BEGIN_MSG_MAP_EX(CLCSystemLogUIHandler)
    CHAIN_MSG_MAP_MEMBER(m_page)
  END_MSG_MAP()

  CLCLogPage& Page() { return m_page; }

 private:
  CLCLogPage m_page;
};
