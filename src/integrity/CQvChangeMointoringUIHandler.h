#pragma once
// Sub-page "变化监控" of the integrity area (layout 523): how many changes the hosts
// have reported, how many strategy rows take part, and the newest active-monitoring
// events. It only reads the database; the list is read again only when an event newer
// than the newest one shown exists, or when it could not be read whole before (said to
// the user, the list then empty), so switching to the tab costs a few counts.
#include <windows.h>

#include <string>

#include "controls/CListCtrlDataEx.h"
#include "platform/CImageList.h"
#include "platform/MessageMap.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;
class SQLServerLink;

class CQvChangeMointoringUIHandler {
 public:
  enum : UINT {
    kItemStrategyRows = 161,
    kItemChanges = 162,
    kItemRefused = 163,
    kItemChangesWide = 164,
    kGrid = 165,
    kGridScrollId = 166,
  };

  explicit CQvChangeMointoringUIHandler(CUiDialogHost* owner);
  CQvChangeMointoringUIHandler(const CQvChangeMointoringUIHandler&) = delete;
  CQvChangeMointoringUIHandler& operator=(const CQvChangeMointoringUIHandler&) = delete;

  int Init();
  int Uninit() { return 0; }
  // The counters, then the list when newer events exist; on each switch to the tab.
  int RefreshCounters();
  // Reloads the list when the newest event is newer than the newest one shown.
  int CheckNewLogs();
  // Fills the list with the topCount newest events, newest first.
  int LoadLatestHipsLogs();

  // The count as item 162 shows it: centred in eight places with blanks.
  static std::wstring CentredCount(int count);

  CListCtrlDataEx<unsigned long>& Grid() { return m_grid; }

  BEGIN_MSG_MAP_EX(CQvChangeMointoringUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_REALWND_RESIZED, OnUiResized)
  END_MSG_MAP()

 private:
  LRESULT OnUiResized(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  void OnListResize(const RECT& rect);

  CUiDialogHost* m_owner;
  std::wstring m_latestLogTime;
  int m_topCount = 10;
  CListCtrlDataEx<unsigned long> m_grid;
  CImageList m_images;
};
