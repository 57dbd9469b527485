#include "logcenter/CLogCenterUIHandler.h"

CLogCenterUIHandler::CLogCenterUIHandler(CMainDlg* owner) : m_owner(owner) {}

CLogCenterUIHandler::~CLogCenterUIHandler() = default;

int CLogCenterUIHandler::Init() { return 1; }

int CLogCenterUIHandler::UnInit() { return 1; }

