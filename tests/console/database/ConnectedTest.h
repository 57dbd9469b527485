#pragma once
// A fresh database with a connected link, and short forms for running a
// statement with bound parameters and reading its first row.
#include <gtest/gtest.h>

#include <initializer_list>

#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"
#include "support/TestDatabase.h"

// One bound parameter: an integer or a text.
struct SqlParam {
  SqlParam(int v) : isInt(true), i(v) {}
  SqlParam(const wchar_t* v) : s(v) {}
  bool isInt = false;
  int i = 0;
  const wchar_t* s = nullptr;
};

// Binds the parameters in order; every bind must succeed.
inline void BindAll(SQLStatement* st, std::initializer_list<SqlParam> params) {
  int index = 0;
  for (const SqlParam& p : params) {
    EXPECT_EQ(1, p.isInt ? st->BindInt(index, p.i) : st->BindString(index, p.s)) << "parameter " << index;
    ++index;
  }
}

// Prepares, binds and executes a statement, then releases it; Execute's result.
inline int Exec(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {}) {
  SQLStatement* st = link.CreateStatement(sql);
  EXPECT_NE(nullptr, st) << link.GetLastErrorText();
  if (!st) return 0;
  BindAll(st, params);
  int result = st->Execute();
  link.ReleaseStatement(st);
  return result;
}

// The statement on its first row; null (and a failure) without one.
inline SQLStatement* Row(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {}) {
  SQLStatement* st = link.CreateStatement(sql);
  EXPECT_NE(nullptr, st) << link.GetLastErrorText();
  if (!st) return nullptr;
  BindAll(st, params);
  if (st->Fetch()) return st;
  ADD_FAILURE() << "no row: " << (st->Failed() ? "failed" : "empty");
  return nullptr;
}

// The first column of the first row as an integer; -1 without a row.
inline int Int(SQLServerLink& link, const wchar_t* sql, std::initializer_list<SqlParam> params = {}) {
  SQLStatement* st = Row(link, sql, params);
  int value = st ? st->GetInt(0) : -1;
  link.ReleaseStatement(st);
  return value;
}

class ConnectedTest : public qvtest::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_EQ(1, link.Connect(qvtest::TestDatabase::Dsn(), L"", L""));
  }
  SQLServerLink link;
};
