#include "sysmgmt/CSafetoolUIHandler.h"

CSafetoolUIHandler::CSafetoolUIHandler(CMainDlg* owner) : m_owner(owner) {}

CSafetoolUIHandler::~CSafetoolUIHandler() = default;

int CSafetoolUIHandler::Init() { return 0; }

int CSafetoolUIHandler::UnInit() { return 0; }
