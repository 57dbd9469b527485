#include "reinforce/CSecurityReinforceUIHandler.h"

CSecurityReinforceUIHandler::CSecurityReinforceUIHandler(CMainDlg* owner) : m_owner(owner) {}

CSecurityReinforceUIHandler::~CSecurityReinforceUIHandler() = default;

int CSecurityReinforceUIHandler::Init() { return 0; }

int CSecurityReinforceUIHandler::UnInit() { return 0; }

