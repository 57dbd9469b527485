#pragma once
// Sub-page "策略对象" of the integrity area (layout 514 inside the area's layout): the
// strategy objects, one list per kind (IP ranges, MAC addresses, services, custom
// applications, devices, registry policies), each with add, modify and delete. Objects
// are found by name; add and modify go through the object editor. It derives from the
// dialog template but is never created as a window: its elements live in the main
// window's view, which also parents its grids; the tab control switches the panels
// itself. Every list keeps at most one row ticked through mouse clicks.
#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "integrity/StrategyObjectRecords.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/UiNotify.h"

class CUiDialogHost;
class SQLServerLink;

class CQvStrategyObjectUIHandler : public CUiDialogImpl<CQvStrategyObjectUIHandler> {
 public:
  using Grid = CListCtrlDataEx<unsigned long>;
  // The lists, in the page's order.
  enum List : int { kIp, kMac, kService, kApp, kDevice, kReg, kListCount };
  enum : UINT {
    kTabCtrl = 1000,
    kIpGrid = 1346,
    kMacGrid = 1347,
    kServiceGrid = 1348,
    kAppGrid = 1349,
    kDeviceGrid = 1350,
    kRegGrid = 13501,
  };
  // The editor's kind for each list (services have none the editor shows).
  static const int kEditorKinds[kListCount];

  explicit CQvStrategyObjectUIHandler(CUiDialogHost* owner);
  ~CQvStrategyObjectUIHandler() override;

  int Init();
  int Uninit() { return 1; }

  BEGIN_MSG_MAP_EX(CQvStrategyObjectUIHandler)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_TAB_SELCHANGE, OnUiCommand)
    NOTIFY_HANDLER(kIpGrid, LIST_NOTIFY_CLICK, OnIpListClick)
    NOTIFY_HANDLER(kMacGrid, LIST_NOTIFY_CLICK, OnMacListClick)
    NOTIFY_HANDLER(kServiceGrid, LIST_NOTIFY_CLICK, OnServiceListClick)
    NOTIFY_HANDLER(kAppGrid, LIST_NOTIFY_CLICK, OnAppListClick)
    NOTIFY_HANDLER(kDeviceGrid, LIST_NOTIFY_CLICK, OnDeviceListClick)
    NOTIFY_HANDLER(kRegGrid, LIST_NOTIFY_CLICK, OnRegListClick)
  END_MSG_MAP()

  BOOL OnTabChange(int oldTab, int newTab);

  // One list's operations: 1 done, 0 cancelled or failed.
  int LoadIpObjects() { return Load(kIp); }
  int LoadMacObjects() { return Load(kMac); }
  int LoadServiceObjects() { return Load(kService); }
  int LoadAppObjects() { return Load(kApp); }
  int LoadDeviceObjects() { return Load(kDevice); }
  int LoadRegObjects() { return Load(kReg); }
  int AddIpObject() { return Add(kIp); }
  int ModifyIpObject() { return Modify(kIp); }
  int DeleteIpObjects() { return Delete(kIp); }
  int AddMacObject() { return Add(kMac); }
  int ModifyMacObject() { return Modify(kMac); }
  int DeleteMacObjects() { return Delete(kMac); }
  int AddServiceObject() { return Add(kService); }
  int ModifyServiceObject() { return Modify(kService); }
  int DeleteServiceObjects() { return Delete(kService); }
  int AddAppObject() { return Add(kApp); }
  int ModifyAppObject() { return Modify(kApp); }
  int DeleteAppObjects() { return Delete(kApp); }
  int AddDeviceObject() { return Add(kDevice); }
  int ModifyDeviceObject() { return Modify(kDevice); }
  int DeleteDeviceObjects() { return Delete(kDevice); }
  int AddRegObject() { return Add(kReg); }
  int ModifyRegObject() { return Modify(kReg); }
  int DeleteRegObjects() { return Delete(kReg); }

  // A multi-row object's item chain deleted from its head (null allowed); always 1.
  static int FreeAppNodes(ClientObjectNode* head) { FreeObjectChain(head); return 1; }
  static int FreeRegNodes(ClientObjectNode* head) { FreeObjectChain(head); return 1; }
  static int FreeDeviceNodes(DeviceObjectNode* head) { FreeObjectChain(head); return 1; }

  // The service list's content: "TCP ", "UDP ", "ICMP " before each non-empty part.
  static std::wstring ServiceText(const ServiceObjectRecord& record);
  // A device item in the page's lists: query ";" manage, or the one given.
  static std::wstring DevicePart(const std::wstring& query, const std::wstring& manage);

  Grid& GridOf(List list) { return *m_grids[list]; }
  int CurrentTab() const { return m_currentTab; }

 private:
  using Row = std::array<std::wstring, 3>;  // name, content, explanation

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  // A click in a list (check-box clicks keep the list's one-tick rule).
  LRESULT OnIpListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kIp, pnmh); }
  LRESULT OnMacListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kMac, pnmh); }
  LRESULT OnServiceListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kService, pnmh); }
  LRESULT OnAppListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kApp, pnmh); }
  LRESULT OnDeviceListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kDevice, pnmh); }
  LRESULT OnRegListClick(int, LPNMHDR pnmh, BOOL&) { return OnListClick(kReg, pnmh); }
  LRESULT OnListClick(List list, LPNMHDR pnmh);

  // connected, when given, is false after a failed connection (told to the user).
  int Load(List list, bool* connected = nullptr);
  int Add(List list);
  int Modify(List list);
  int Delete(List list);
  static void FreeChain(List list, ClientObjectNode* head) { list == kReg ? FreeRegNodes(head) : FreeAppNodes(head); }
  static void FreeChain(List, DeviceObjectNode* head) { FreeDeviceNodes(head); }

  void SetRow(Grid& grid, int row, const Row& cells);
  int FirstTicked(List list) const;
  int AddSingle(List list);
  int ModifySingle(List list);
  int AddMulti(List list);
  int ModifyMulti(List list);
  template <class Node>
  int AddChain(List list, Row* cells, bool* connected, std::wstring* error);
  // *gone: the object named oldName has no rows left (nothing written).
  bool WriteChain(List list, ClientObjectNode* head, const std::wstring* oldName, bool* connected,
                  std::wstring* error, bool* gone);
  bool WriteChain(List list, DeviceObjectNode* head, const std::wstring* oldName, bool* connected,
                  std::wstring* error, bool* gone);
  // Tells that an object is gone and reads its list again.
  void ObjectGone(List list);
  // The list read again, nothing ticked; with keepTick the ticked object, if still
  // there, stays ticked (the editor goes on with it).
  void ReloadList(List list, bool keepTick = false);
  // The row of the object named so (as the table compares names), or -1.
  int RowOfName(List list, const std::wstring& name) const;
  // The list row of an object: its name, its items' content, its explanation.
  static Row RowOf(List list, const ClientObjectNode* head);
  static Row RowOf(List list, const DeviceObjectNode* head);
  // Runs the editor of the list's kind on the record (a head node for multi-row kinds).
  int RunEditor(List list, int mode, void* record);

  // ---- statements (CQvStrategyObjectUIHandlerQueries.cpp); false with *error, or with
  // *gone when the record to change has no row left
  static bool ReadRows(List list, std::vector<Row>* rows, bool* connected, std::wstring* error);
  static bool ReadMax(SQLServerLink& link, List list, int* max, std::wstring* error);
  static bool DeleteNamed(List list, const std::wstring& name, bool* connected, std::wstring* error, bool* gone);
  static bool InsertSingle(List list, const ObjectRecord& record, const ServiceObjectRecord& service,
                           bool* connected, std::wstring* error);
  static bool ReadSingle(List list, const std::wstring& name, ObjectRecord* record, ServiceObjectRecord* service,
                         bool* found, bool* connected, std::wstring* error);
  static bool UpdateSingle(List list, const ObjectRecord& record, const ServiceObjectRecord& service,
                           bool* connected, std::wstring* error, bool* gone);
  static bool ReadClientChain(List list, const std::wstring& name, ClientObjectNode* head, bool* found,
                              bool* connected, std::wstring* error);
  static bool ReadDeviceChain(const std::wstring& name, DeviceObjectNode* head, bool* found, bool* connected,
                              std::wstring* error);
  // Writes the chain under new numbers in one transaction; oldName's rows go first when given.
  static bool WriteClientChain(List list, ClientObjectNode* head, const std::wstring* oldName,
                               const std::wstring& creator, bool* connected, std::wstring* error, bool* gone);
  static bool WriteDeviceChain(DeviceObjectNode* head, const std::wstring* oldName, const std::wstring& creator,
                               bool* connected, std::wstring* error, bool* gone);

  CUiDialogHost* m_owner;
  int m_previousTab = 0;
  int m_currentTab = 0;
  std::wstring m_creator;
  int m_ticked[kListCount];
  Grid m_ipGrid, m_macGrid, m_serviceGrid, m_appGrid, m_deviceGrid, m_regGrid;
  Grid* const m_grids[kListCount];
};
