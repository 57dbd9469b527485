#include "reports/ReportSettings.h"

std::wstring g_reportBriefName;
std::wstring g_reportBriefAuthor;
std::wstring g_reportOutputFolder;
int g_reportFormatIndex = -1;
