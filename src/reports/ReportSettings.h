#pragma once
// The defaults of the next report ("简报"), kept in memory from start-up to exit and
// never stored anywhere: the settings page saves them, the output-settings dialog of
// a generation is filled from them (once a name is set) and writes them back.
#include <string>

extern std::wstring g_reportBriefName;     // also the name of the report's folder
extern std::wstring g_reportBriefAuthor;
extern std::wstring g_reportOutputFolder;  // ends in "\" when it comes from the picker
extern int g_reportFormatIndex;            // entry of the format combo, -1 none
