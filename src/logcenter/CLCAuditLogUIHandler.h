#pragma once
// The "审计日志" page of the log center (layout 541): the audit entries of one host
// for a range of days, optionally of one type and with a keyword in their content,
// listed once per strategy, type and content; a click on an entry's detail icon opens
// its detail window. Uses the log page's date, host and keyword fields and its grid,
// and adds the type list.
#include <windows.h>

#include <string>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CListNotify.h"
#include "logcenter/CLCLogPage.h"
#include "platform/CImageList.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;

class CLCAuditLogUIHandler {
 public:
  enum : UINT {
    kStartEdit = 1108,
    kEndEdit = 1109,
    kHostEdit = 1110,
    kTypeCombo = 1111,
    kKeywordEdit = 1112,
    kGrid = 1113,
    kItemPickStart = 1229,
    kItemPickEnd = 1230,
    kItemPickHost = 1231,
    kItemSearch = 1232,
    kDetailColumn = 3,
  };

  explicit CLCAuditLogUIHandler(CUiDialogHost* owner);
  ~CLCAuditLogUIHandler();
  CLCAuditLogUIHandler(const CLCAuditLogUIHandler&) = delete;
  CLCAuditLogUIHandler& operator=(const CLCAuditLogUIHandler&) = delete;

  // The fields, the type list with its nine items and nothing chosen, the grid with its
  // columns and the detail icon. Returns 1.
  int Init();
  int UnInit();

  BEGIN_MSG_MAP_EX(CLCAuditLogUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    NOTIFY_HANDLER(kGrid, LIST_NOTIFY_CELLCLICKED, OnDetailClicked)
    CHAIN_MSG_MAP_MEMBER(m_page)
  END_MSG_MAP()

  void OnQuery();
  // The detail window of a listed entry, with the range and host of the query that
  // listed it.
  void OnShowDetail(int row);

  CLCLogPage& Page() { return m_page; }
  CComboBoxCtrlEx& TypeList() { return m_type; }

 private:
  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnDetailClicked(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // The latest detail of the entry (its strategy, type and content), as
  // "time  detail  详情\n"; FALSE after telling the user that the database could not
  // be read.
  BOOL ReadDetail(const std::wstring& strategy, const std::wstring& type, const std::wstring& content,
                  std::wstring& detail);
  std::wstring HostText() const;

  // The query that filled the grid, with its host's name and MAC.
  struct Listed {
    LCLogFilter filter;
    std::wstring name;
    std::wstring mac;
  };

  CUiDialogHost* m_owner;
  CLCLogPage m_page;
  CComboBoxCtrlEx m_type;
  CImageList m_icons;
  Listed m_listed;
};
