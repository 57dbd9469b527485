// The three HIPS object pickers: what OK takes from the check states of their sample
// trees, and that a refused OK leaves the picker open.
#include <gtest/gtest.h>

#include "controls/CUIResource.h"
#include "integrity/CQvHIPSNRRuleTargetDlg.h"
#include "integrity/CQvHIPSTRNRDetailTDlg.h"
#include "integrity/CQvHIPSTRNRTargetDlg.h"
#include "platform/TextConv.h"
#include "support/ElementLoad.h"
#include "support/ModalScript.h"
#include "support/TreeClicks.h"

namespace {

class HipsPickers : public testing::Test {
 protected:
  void SetUp() override { elemload::LoadShippedLook(), CUIResource::Init(); }
  void TearDown() override { CUIResource::Uninit(); }

  // Runs the picker, toggles the items named and presses OK, which shows box when
  // given: "code result".
  template <class Dlg>
  std::wstring Pick(const std::vector<std::wstring>& toggles, const wchar_t* box) {
    std::wstring result = L"unchanged";
    script.ExpectDialog([&](UiDialogDriver& d) {
      for (const std::wstring& item : toggles) qvtest::ToggleItem(d.As<Dlg>()->Tree().tree, item);
      d.Click(Dlg::kItemOK);
      EXPECT_TRUE(!box || d.IsOpenAndShown());
    }, kStillOpen);
    if (box) script.ExpectBox(box);
    Dlg dlg(&result);
    return std::to_wstring(dlg.DoModal()) + L" " + result;
  }

  ModalScript script;
};

TEST_F(HipsPickers, OkTakesTheFirstCheckedChildOrTheCheckedBranch) {
  using Run = std::wstring (HipsPickers::*)(const std::vector<std::wstring>&, const wchar_t*);
  const Run rule = &HipsPickers::Pick<CQvHIPSNRRuleTargetDlg>, target = &HipsPickers::Pick<CQvHIPSTRNRTargetDlg>,
            detail = &HipsPickers::Pick<CQvHIPSTRNRDetailTDlg>;
  // The box is the refusal OK shows.
  const struct { Run run; std::vector<std::wstring> toggles; const wchar_t* box; const wchar_t* result; } rows[] = {
      {rule, {L"OA数据库服务器"}, nullptr, L"1 OA数据库服务器"},
      {target, {L"网络管理服务器", L"文件服务器"}, nullptr, L"1 文件服务器"},
      {rule, {L"文件服务器", L"文件服务器"}, L"请选择策略目标", L"77 unchanged"},
      {target, {}, L"请选择对象内容", L"77 unchanged"},
      {detail, {L"Main"}, nullptr, L"1 D:\\WebSite\\Main"},  // D and WebSite partly checked
      {detail, {L"本地磁盘(D:)"}, nullptr, L"1 D:"},
      {detail, {L"本地磁盘(E:)", L"Upload"}, nullptr, L"1 D:\\WebSite\\Upload"},
      {detail, {L"Main", L"Upload", L"Data"}, nullptr, L"1 D:"},  // D's only folder, whole
      {detail, {}, nullptr, L"77 unchanged"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.result));
    EXPECT_EQ(row.result, (this->*row.run)(row.toggles, row.box));
  }
  for (const auto& box : script.Boxes()) EXPECT_EQ(L"警告 16", box.caption + L" " + std::to_wstring(box.style));
}

}  // namespace
