// The report generation's dialogs, for looking at them with scripts/screenshot, and a
// report generated without them, for looking at it in a browser:
//   reportdialogs.exe output     the output settings, filled as after a saved setting
//   reportdialogs.exe progress [failed]   the progress dialog, ended well or failed
//   reportdialogs.exe generate CONFIG FOLDER STRATEGY VERSION
//                                the report of a strategy's version from the data source
//                                of CONFIG (a SysServerPort.xml, see scripts/gen-db) into
//                                FOLDER; the template is found as the console finds it
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cwchar>

#include "../ToolStartup.h"
#include "console/SysServerPortConfig.h"
#include "controls/CUIResource.h"
#include "platform/TextConv.h"
#include "reports/CRCReportGenerateState.h"
#include "reports/CRCReportManageOutPutSetDlg.h"
#include "reports/ReportGenerator.h"
#include "reports/ReportSettings.h"
#include "uiwin/UiStyle.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  ToolStartup startup(instance);
  UiStyle::LoadStyles(101);
  CUIResource::Init();
  int argc = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  if (argc > 5 && !std::wcscmp(argv[1], L"generate")) {
    LoadSysServerPortConfig(qv::WideToAnsi(argv[2]).c_str(), nullptr);
    ReportGenerator generator;
    const auto result = generator.Generate(ReportGenerator::FindTemplate(), argv[3],
                                           {L"六月简报", L"王五", argv[4], static_cast<int>(std::wcstol(argv[5], nullptr, 10))});
    std::printf("result %d, %lld entries\n", static_cast<int>(result), generator.Entries());
  } else if (argc > 1 && !std::wcscmp(argv[1], L"progress")) {
    CRCReportGenerateState dialog(L"六月简报", argc > 2);
    dialog.DoModal(nullptr);
  } else {
    g_reportBriefName = L"六月简报", g_reportBriefAuthor = L"王五", g_reportOutputFolder = L"C:\\报告\\";
    g_reportFormatIndex = 0;
    CRCReportManageOutPutSetDlg dialog(3, L"核心服务器策略");
    dialog.DoModal(nullptr);
  }
  ::LocalFree(argv);
  CUIResource::Uninit();
  return 0;
}
