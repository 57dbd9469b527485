#pragma once
// A long list read a page at a time, each page the rows after the last one read by
// their increasing id, so that no statement stays open between the pages and the first
// rows show before the rest are read.
#include "console/SQLServerLink.h"
#include "console/SQLStatement.h"

// Runs sql, whose one parameter is *lastId, with at most `rows` rows: take(statement)
// keeps each fetched row and returns its id, which becomes *lastId. 1 when the page was
// whole (more may follow), 0 when it was the last, -1 when the statement, its bind or its
// row limit failed (the link's error text says why; the rows taken are only part of the
// list).
template <class Take>
int ReadPageAfter(SQLServerLink& link, const wchar_t* sql, int* lastId, int rows, Take take) {
  SQLStatement* statement = link.CreateStatement(sql);
  int read = 0;
  // A page not read for want of its bind or limit would pass for the last one.
  bool failed = !statement || !statement->BindInt(0, *lastId) || !statement->SetMaxRows(rows);
  if (!failed) {
    for (; statement->Fetch(); ++read) *lastId = take(*statement);
    failed = statement->Failed() != 0;
  }
  link.ReleaseStatement(statement);
  if (failed) return -1;
  return read < rows ? 0 : 1;
}
