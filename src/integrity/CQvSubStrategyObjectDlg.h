#pragma once
// "策略对象" (layout 540): the editor in which the strategy-objects page creates or
// modifies one object: an IP range (kind 0), MAC addresses (1), a custom application
// (2), a custom registry policy (3) or a custom device (4). Only the kind's panel shows
// and only its controls exist. OK checks the name (unique in its table) and the content
// and hands the object back: kinds 0 and 1 into the page's ObjectRecord, kinds 2 to 4 as
// a chain that starts at the page's head node, nodes of the editor's own behind it. The
// editor owns its working chains until then and frees them on every other end. The
// service-port operations exist for a panel the layout does not show.
#include <windows.h>

#include <functional>
#include <string>

#include "controls/CComboBoxCtrlEx.h"
#include "controls/CEditEx.h"
#include "controls/CIPAddressCtrlEx.h"
#include "controls/CListCtrlDataEx.h"
#include "controls/CListNotify.h"
#include "integrity/StrategyObjectRecords.h"
#include "uiwin/CUiDialogImpl.h"
#include "uiwin/CWHRoundRectFrameHelper.h"
#include "uiwin/UiNotify.h"

class SQLServerLink;

class CQvSubStrategyObjectDlg : public CUiDialogImpl<CQvSubStrategyObjectDlg>,
                                public CWHRoundRectFrameHelper<CQvSubStrategyObjectDlg> {
 public:
  using Grid = CListCtrlDataEx<unsigned long>;
  enum Kind : int { kIp = 0, kMac = 1, kApp = 2, kReg = 3, kDevice = 4, kKindCount = 5 };
  enum Mode : int { kModify = 0, kAdd = 1 };
  enum : UINT {
    kLayoutId = 540,
    kItemMaxRestore = 1205,
    kItemMinimize = 1206,
    kItemClose = 1207,
    kItemOK = 1211,
    kItemCancel = 1212,
    // IP panel
    kIpName = 1300, kIpAddress = 1301, kIpMask = 1302, kIpStart = 1303, kIpStartMask = 1304,
    kIpEnd = 1305, kIpEndMask = 1306, kIpExplain = 1307, kIpList = 1340,
    kIpAdd = 1208, kIpModify = 1209, kIpDelete = 1210,
    // MAC panel; the fields 1309, 1326 to 1330
    kMacName = 1308, kMacField0 = 1309, kMacField1 = 1326, kMacExplain = 1310, kMacList = 1341,
    kMacAdd = 1213, kMacModify = 1214, kMacDelete = 1215,
    // service-port panel
    kPortName = 1311, kPortType = 1312, kPortFrom = 1313, kPortTo = 1314, kPortExplain = 1315,
    kIcmpType = 1316, kIcmpCode = 1317, kPortList = 1342, kIcmpList = 1343,
    kPortAdd = 1216, kPortModify = 1217, kPortDelete = 1218,
    // application panel
    kAppName = 1318, kAppClient = 1319, kAppPath = 1320, kAppExplain = 1321, kAppList = 1344,
    kAppPickClient = 1227, kAppPickFolder = 1228, kAppAdd = 1219, kAppModify = 1220, kAppDelete = 1221,
    // registry panel
    kRegName = 13181, kRegClient = 13191, kRegPath = 13201, kRegExplain = 13211, kRegList = 13451,
    kRegPickClient = 12277, kRegAdd = 12191, kRegModify = 12201, kRegDelete = 12211,
    // device panel
    kDevName = 1322, kDevManage = 1323, kDevQuery = 1324, kDevExplain = 1325, kDevList = 1345,
    kDevManageCheck = 1225, kDevQueryCheck = 1226, kDevAdd = 1222, kDevModify = 1223, kDevDelete = 1224,
    // The content lists' scroll parts: each takes its id and the two above it.
    kIpScroll = 1640, kMacScroll = 1643, kAppScroll = 1646, kRegScroll = 1649, kDevScroll = 1652,
    kPortScroll = 1655, kIcmpScroll = 1658,
  };
  enum : int { kPortTcp = 0, kPortUdp = 1, kPortIcmp = 2 };
  static const int kMaxPathChars = 259;

  // record: an ObjectRecord for kinds 0 and 1, the page's head ClientObjectNode for 2
  // and 3, its head DeviceObjectNode for 4. It must outlive the dialog. readList: the
  // page's reading of its list, run after a name is refused as another object's (another
  // console may have stored that object since the list was read).
  CQvSubStrategyObjectDlg(int kind, int mode, void* record, std::function<void()> readList = nullptr);
  ~CQvSubStrategyObjectDlg() override;

  BEGIN_MSG_MAP_EX(CQvSubStrategyObjectDlg)
    NOTIFY_HANDLER(IDC_UIVIEW, UINM_COMMAND, OnUiCommand)
    NOTIFY_CODE_HANDLER(CEditEx::kNotifyFull, OnMacFieldFull)
    NOTIFY_CODE_HANDLER(LIST_NOTIFY_CLICK, OnListClick)
    COMMAND_HANDLER(kPortType, CBN_SELCHANGE, OnPortTypeChange)
    CHAIN_MSG_MAP(CUiDialogImpl<CQvSubStrategyObjectDlg>)
    CHAIN_MSG_MAP(CWHRoundRectFrameHelper<CQvSubStrategyObjectDlg>)
    MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
    MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
    REFLECT_NOTIFICATIONS()
  END_MSG_MAP()

  void OnOK();
  void OnCancel();

  // ---- IP and MAC panels
  void OnIpAdd();
  void OnIpModify();
  void OnIpDelete();
  void OnIpListClick(int row, int column);
  void OnMacAdd();
  void OnMacModify();
  void OnMacDelete();
  void OnMacListClick(int row, int column);

  // ---- application (kApp) and registry (kReg) panels
  void OnPickClient(int kind);
  void OnPickFolder(int kind);  // the registry panel has no element for it
  void OnClientAdd(int kind);
  void OnClientModify(int kind);
  void OnClientDelete(int kind);
  void OnClientListClick(int kind, int row, int column);

  // ---- device panel
  void OnDeviceAdd();
  void OnDeviceModify();
  void OnDeviceDelete();
  void OnDeviceListClick(int row, int column);

  // ---- service-port panel, shown by nothing: its controls, load and operations
  void CreatePortControls();
  void LoadPorts(ServiceObjectRecord& record);
  void OnPortAdd();
  void OnPortModify();
  void OnPortDelete();
  void OnPortListClick(int row, int column);
  void OnIcmpListClick(int row, int column);
  void SetPortType(int type);

  // The content list of a kind (the port list for kinds past the device).
  Grid& List(int kind);
  Grid& PortList() { return m_portList; }
  Grid& IcmpList() { return m_icmpList; }

 private:
  // The application and registry panels are twins.
  struct ClientPanel {
    ClientPanel(UINT scroll, const wchar_t* title, const wchar_t* addFailure);
    CEditEx name, client, path, explain;
    Grid list;
    ClientObjectNode* head = nullptr;
    ClientObjectNode* tail = nullptr;
    int selected = -1;
    std::wstring clientIp;
    const wchar_t* title;
    const wchar_t* addFailure;
  };

  LRESULT OnUiCommand(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnMacFieldFull(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnListClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
  LRESULT OnPortTypeChange(WORD, WORD, HWND, BOOL& bHandled);
  LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  bool RunCommand(UINT item);

  void CreateControls();
  void CreateList(Grid& list, UINT id);
  static void CreateEdit(CEditEx& edit, HWND view, UINT id, int limit, DWORD extraStyle = 0);
  static int AddRow(Grid& list, const std::wstring& text);
  static int FindRow(const Grid& list, const std::wstring& text, int except = -1, int column = 1);
  static int FirstChecked(const Grid& list);
  // Deletes every checked row; false when none was.
  static bool DeleteChecked(Grid& list, const std::function<void(int row)>& before = nullptr);
  ClientPanel& Panel(int kind) { return kind == kReg ? m_reg : m_app; }
  void LoadIpMac();
  void LoadClients(int kind);
  void LoadDevices();
  void ClearIpControls();
  void ClearMacFields();
  // The six fields joined; false after a message when one is empty.
  bool ReadMac(std::wstring* mac);
  void ClearDeviceControls();
  void ClearPortControls();
  // The manage and query commands as the device panel's checks and edits give them;
  // false after a message.
  bool ReadDeviceCommands(std::wstring* manage, std::wstring* query);
  void HandBack(const std::wstring& name, const std::wstring& explain);
  void FreeWorkingChains();

  // ---- statements (CQvSubStrategyObjectDlgQueries.cpp)
  // Whether another object of the kind has the name; except the number when >= 0.
  static bool NameTaken(SQLServerLink& link, int kind, const std::wstring& name, int except, bool* taken,
                        std::wstring* error);
  // The display name of the client at ip (empty when none); false when it cannot be
  // read: no connection, or the database's reason in *error.
  static bool ClientName(const std::wstring& ip, std::wstring* name, bool* connected, std::wstring* error);

  int m_kind;
  int m_mode;
  void* m_record;
  std::function<void()> m_readList;
  ObjectRecord* m_object = nullptr;
  ClientObjectNode* m_clientHead = nullptr;
  DeviceObjectNode* m_deviceHead = nullptr;

  CEditEx m_ipName, m_ipMasks[3], m_ipExplain;
  CIPAddressCtrlEx m_ipAddresses[3];
  Grid m_ipList;
  int m_ipSelected = -1;

  CEditEx m_macName, m_macFields[6], m_macExplain;
  Grid m_macList;
  int m_macSelected = -1;

  ClientPanel m_app;
  ClientPanel m_reg;

  CEditEx m_devName, m_devManage, m_devQuery, m_devExplain;
  Grid m_devList;
  DeviceObjectNode* m_devHead = nullptr;
  DeviceObjectNode* m_devTail = nullptr;
  int m_devSelected = -1;

  CEditEx m_portName, m_portFrom, m_portTo, m_portExplain;
  CComboBoxCtrlEx m_portType, m_icmpType, m_icmpCode;
  Grid m_portList;
  Grid m_icmpList;
  int m_portTypeIndex = 0;
  int m_portSelected = -1;
  int m_icmpSelected = -1;
};
