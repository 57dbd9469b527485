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

const UINT kStillOpen = 77;  // what a picker still running after OK ends with

class HipsPickers : public testing::Test {
 protected:
  void SetUp() override {
    elemload::LoadShippedLook();
    CUIResource::Init();
  }
  void TearDown() override { CUIResource::Uninit(); }

  // Runs the picker, toggles the items named and presses OK; its code and result.
  template <class Dlg>
  std::pair<UINT, std::wstring> Pick(const std::vector<std::wstring>& toggles, const wchar_t* box = nullptr) {
    std::wstring result = L"unchanged";
    script.ExpectDialog([&](UiDialogDriver& d) {
      for (const std::wstring& item : toggles) qvtest::ToggleItem(d.As<Dlg>()->Tree().tree, item);
      d.Click(Dlg::kItemOK);
    }, kStillOpen);
    if (box) script.ExpectBox(box);
    Dlg dlg(&result);
    return {dlg.DoModal(), result};
  }

  ModalScript script;
};

TEST_F(HipsPickers, TargetPickersTakeTheFirstCheckedGroupOrRefuseAndStayOpen) {
  const struct {
    std::vector<std::wstring> toggles;
    UINT code;
    const wchar_t* result;
  } rows[] = {
      {{L"OA数据库服务器"}, IDOK, L"OA数据库服务器"},
      {{L"网络管理服务器", L"文件服务器"}, IDOK, L"文件服务器"},
      {{L"文件服务器", L"文件服务器"}, kStillOpen, L"unchanged"},
      {{}, kStillOpen, L"unchanged"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.result) + " " + std::to_string(row.toggles.size()));
    const bool refused = row.code == kStillOpen;
    EXPECT_EQ(std::make_pair(row.code, std::wstring(row.result)),
              Pick<CQvHIPSNRRuleTargetDlg>(row.toggles, refused ? L"请选择策略目标" : nullptr));
    EXPECT_EQ(std::make_pair(row.code, std::wstring(row.result)),
              Pick<CQvHIPSTRNRTargetDlg>(row.toggles, refused ? L"请选择对象内容" : nullptr));
  }
  ASSERT_FALSE(script.Boxes().empty());
  EXPECT_EQ(L"警告", script.Boxes().back().caption);
  EXPECT_EQ(UINT(MB_ICONHAND), script.Boxes().back().style);
}

TEST_F(HipsPickers, DetailPickerDescendsThroughPartlyCheckedFolders) {
  const struct {
    std::vector<std::wstring> toggles;
    UINT code;
    const wchar_t* result;
  } rows[] = {
      {{L"Main"}, IDOK, L"D:\\WebSite\\Main"},  // D and WebSite partly checked
      {{L"本地磁盘(D:)"}, IDOK, L"D:"},
      {{L"本地磁盘(E:)", L"Upload"}, IDOK, L"D:\\WebSite\\Upload"},
      {{L"Main", L"Upload", L"Data"}, IDOK, L"D:"},  // WebSite, D's only folder, checked whole
      {{L"Main", L"Main"}, kStillOpen, L"unchanged"},
      {{}, kStillOpen, L"unchanged"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(qv::WideToUtf8(row.result));
    EXPECT_EQ(std::make_pair(row.code, std::wstring(row.result)), Pick<CQvHIPSTRNRDetailTDlg>(row.toggles));
  }
}

}  // namespace
