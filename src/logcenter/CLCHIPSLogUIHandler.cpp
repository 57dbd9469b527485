#include "logcenter/CLCHIPSLogUIHandler.h"

#include "console/ListReadFailure.h"

namespace {

using Self = CLCHIPSLogUIHandler;

const LCLogColumn kColumns[] = {
    {L"时间", 150, ITEM_FORMAT_NONE, 0, -1},
    {L"日志类型", 150, ITEM_FORMAT_NONE, 0, -1},
    {L"日志内容", 400, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT, -1},
    {L"操作", 50, ITEM_FORMAT_NONE, 0, -1},
};

const LCLogPageConfig kConfig = {
    Self::kStartEdit, Self::kEndEdit, Self::kHostEdit, Self::kKeywordEdit, Self::kGrid, 11170,
    Self::kItemPickStart, Self::kItemPickEnd, Self::kItemPickHost, Self::kItemSearch,
    L"注册表监测日志", kColumns, 4, 4, &kHipsLogStatement,
    L"请输入开始时间", L"请输入结束时间", L"请选择要查询的主机名", L"暂时没有此主机的主动监测日志", kReadHipsLogFailed};

}  // namespace

CLCHIPSLogUIHandler::CLCHIPSLogUIHandler(CUiDialogHost* owner) : m_page(owner, kConfig) {}

CLCHIPSLogUIHandler::~CLCHIPSLogUIHandler() = default;
