#pragma once
// The database connections the console holds while a box or dialog waits on the user:
// none beyond those open when the watch began (the test's own, a page's kept one). It
// looks through the script's atBox and atDialog, and wherever a test calls Look (a
// chooser's stand-in); each look counts, so that a row can tell it met its box.
#include <gtest/gtest.h>

#include "console/ODBCDatabase.h"
#include "platform/TextConv.h"
#include "support/ModalScript.h"

namespace qvtest {

class ConnectionWatch {
 public:
  explicit ConnectionWatch(ModalScript& script) : m_script(script), m_idle(g_odbcConnectionCount) {
    script.atBox = [this](const UiModalHook::Box& box) {
      SCOPED_TRACE(qv::WideToUtf8(box.text));
      Look();
    };
    script.atDialog = [this](HWND) { Look(); };
  }
  ~ConnectionWatch() {
    m_script.atBox = nullptr;
    m_script.atDialog = nullptr;
  }
  ConnectionWatch(const ConnectionWatch&) = delete;
  ConnectionWatch& operator=(const ConnectionWatch&) = delete;

  void Look() {
    ++m_looks;
    EXPECT_EQ(m_idle, g_odbcConnectionCount) << "a database connection is held while the user is asked";
  }
  int Looks() const { return m_looks; }

  // Runs each row's act (rows of `what` and `act`): every box it scripted came, and it
  // met at least one of them with nothing held.
  template <class Rows>
  void RunRows(const Rows& rows) {
    for (const auto& row : rows) {
      SCOPED_TRACE(row.what);
      const int looks = m_looks;
      row.act();
      EXPECT_EQ(0u, m_script.Remaining());
      EXPECT_LT(looks, m_looks);
    }
  }

 private:
  ModalScript& m_script;
  const LONG m_idle;
  int m_looks = 0;
};

}  // namespace qvtest
