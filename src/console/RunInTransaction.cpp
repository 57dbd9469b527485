#include "console/RunInTransaction.h"

#include "console/SQLServerLink.h"
#include "platform/TextConv.h"

namespace {

bool Fail(SQLServerLink& link, std::wstring* error) {
  if (error) {
    *error = qv::OrEmpty(link.GetLastErrorText());
  }
  return false;
}

}  // namespace

bool RunInTransaction(SQLServerLink& link, const std::function<bool()>& write, std::wstring* error) {
  // A link already in a transaction is not ours to end.
  if (!link.BeginTransaction()) return Fail(link, error);
  if (write() && link.Commit()) return true;
  Fail(link, error);
  link.Rollback();
  return false;
}
