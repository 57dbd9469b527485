// The log center as its user meets it: the main window of a user with the log-center
// permission, run modally over a fresh test database; a test's act runs inside its
// loop with the area's pages at hand. Boxes and dialogs go through the test's script,
// each watched for a connection held.
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
  using Rows = std::vector<std::vector<std::wstring>>;

  void SetUp() override;
  void TearDown() override;
  // A main window for the user, act run inside its modal loop.
  void Run(const std::function<void(UiDialogDriver& main, CLogCenterUIHandler& area)>& act);
  static void SetText(CLCLogPage& page, UINT field, const wchar_t* text) { ::SetWindowTextW(page.Field(field), text); }
  static std::wstring Text(CLCLogPage& page, UINT field);
  // The grid's first columns, rows sorted.
  static Rows Cells(CLCLogPage& page, int columns);
  // Next, the host picker: the host checked when it opens must be `checked` (none when
  // null); the user checks the host labelled `pick` (when not null) and presses OK, or
  // Cancel when `ok` is false.
  void ExpectHostPicker(const wchar_t* pick, const wchar_t* checked, bool ok = true);
  // A row of the table, values in the order of the columns named.
  void Insert(const wchar_t* table, const wchar_t* columns, std::initializer_list<SqlParam> values);

  ModalScript script;
};

}  // namespace qvtest
