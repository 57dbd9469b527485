#include "logcenter/CLCSystemLogUIHandler.h"

#include "console/ListReadFailure.h"

namespace {

using Self = CLCSystemLogUIHandler;

const LCLogColumn kColumns[] = {
    {L"时间", 150, ITEM_FORMAT_NONE, 0, -1},
    {L"日志类型", 150, ITEM_FORMAT_NONE, 0, -1},
    {L"日志内容", 450, ITEM_FORMAT_NONE, ITEM_FLAGS_LEFT, -1},
};

const LCLogPageConfig kConfig = {
    Self::kStartEdit, Self::kEndEdit, Self::kHostEdit, Self::kKeywordEdit, Self::kGrid, 11210,
    Self::kItemPickStart, Self::kItemPickEnd, Self::kItemPickHost, Self::kItemSearch,
    L"系统日志", kColumns, 3, 3, &kSystemLogStatement,
    L"请输入开始时间", L"请输入结束时间", L"请选择要查询的主机名", L"暂时没有此主机的系统日志", kReadSystemLogFailed};

}  // namespace

CLCSystemLogUIHandler::CLCSystemLogUIHandler(CUiDialogHost* owner) : m_page(owner, kConfig) {}

CLCSystemLogUIHandler::~CLCSystemLogUIHandler() = default;
