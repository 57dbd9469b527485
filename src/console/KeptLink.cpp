#include "console/KeptLink.h"

#include "console/ConnectOrTell.h"
#include "console/ODBCDatabase.h"
#include "console/SQLServerLink.h"
#include "platform/TextConv.h"

KeptLink::KeptLink(int lockWaitMs) : m_lockWaitMs(lockWaitMs) {}

KeptLink::~KeptLink() = default;

KeptLink::Result KeptLink::Run(const std::function<int(SQLServerLink&)>& work) {
  ++m_uses;
  m_lastBegan = ::GetTickCount();
  const Result result = Use(work);
  m_lastEnded = ::GetTickCount();
  return result;
}

KeptLink::Result KeptLink::Use(const std::function<int(SQLServerLink&)>& work) {
  for (;;) {
    const bool kept = m_link != nullptr;
    if (!kept) {
      std::unique_ptr<SQLServerLink> link(new SQLServerLink);
      link->SetLockWait(m_lockWaitMs);
      link->SetLoginTimeout(kLoginTimeoutSeconds);
      if (!Connect(*link)) {
        m_error = qv::OrEmpty(link->GetLastErrorText());
        return kNoConnection;
      }
      ++m_opens;
      m_link = std::move(link);
    }
    if (work(*m_link)) {
      m_link->ReleaseStatements();
      return kDone;
    }
    m_error = qv::OrEmpty(m_link->GetLastErrorText());
    if (m_lockWaitMs > 0 && m_link->LastFailureWasBusy()) {
      // Held by another: a new connection would wait the same; this one stays.
      m_link->ReleaseStatements();
      if (m_link->Database()->InTransaction() && !m_link->Rollback()) m_link.reset();
      return kBusy;
    }
    m_link.reset();  // what the work left open is rolled back
    if (!kept) return kFailed;
  }
}

void KeptLink::Tell(Result result, const wchar_t* caption) const {
  if (result == kNoConnection)
    TellNoConnection();
  else if (result == kFailed)
    TellError(m_error.c_str(), caption, MB_ICONHAND);
}
