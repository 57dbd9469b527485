// The log center as its user meets it: the main window of a user with the log-center
// permission, run modally over a fresh test database; a test's act runs inside its
// loop with the area's pages at hand. Boxes and dialogs go through the test's script.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "logcenter/CLogCenterUIHandler.h"
#include "support/ModalScript.h"
#include "support/TestDatabase.h"

namespace qvtest {

class LogCenterPageHost : public ConnectedDatabaseTest {
 protected:
  using Act = std::function<void(UiDialogDriver& main, CLogCenterUIHandler& area)>;

  void SetUp() override;
  void TearDown() override;

  // A main window for the user, act run inside its modal loop.
  void Run(const Act& act);
  // The view's command for an element, as a click on it sends it.
  static void Command(HWND frame, UINT item);
  // A field's text set as the page's date picker or the user leaves it.
  static void SetField(CLCLogPage& page, UINT id, const wchar_t* text);
  // Every cell of the grid's first columns, row by row.
  static std::vector<std::vector<std::wstring>> Cells(CLCLogPage& page, int columns);
  // Next, the host picker: the host checked when it opens must be `checked` (none when
  // null); the user checks the host labelled `pick` and presses OK, or cancels when null.
  void ExpectHostPicker(const wchar_t* pick, const wchar_t* checked);
  // The text of the rich-edit box inside a dialog's hosted window.
  static std::wstring RichText(HWND holder);

  void AddClient(const wchar_t* ip, const wchar_t* name, const wchar_t* mac);
  void AddStrategy(const wchar_t* name, const wchar_t* id);
  void AddAudit(const wchar_t* host, const wchar_t* type, const wchar_t* content, const wchar_t* time,
                const wchar_t* detail, const wchar_t* strategyId);
  // A row of the HIPS or system log.
  void AddLog(const wchar_t* table, const wchar_t* host, const wchar_t* type, const wchar_t* content,
              const wchar_t* time);

  ModalScript script;
};

}  // namespace qvtest
