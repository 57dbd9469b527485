// The active-monitoring lists whose reading fails after some rows: the rows read before
// the failure would pass for all of them, so the list is left empty and the box says why.
#include <gtest/gtest.h>

#include "integrity/CQvHIPSTrustDlg.h"
#include "platform/TextConv.h"
#include "support/IntegrityPageHost.h"
#include "support/RefusedAllocations.h"

namespace {

class HipsPartRead : public IntegrityPageHost {
 protected:
  void Break(const wchar_t* table, const wchar_t* column, const wchar_t* when) {
    std::wstring error;
    ASSERT_TRUE(qvtest::FailRowsWhen(link, table, column, when, &error)) << qv::WideToUtf8(error);
  }
  // The box that told the failure: which list, and the database's own reason.
  void ExpectToldWhy(const wchar_t* list) {
    ASSERT_FALSE(script.Boxes().empty());
    const UiModalScript::Box& box = script.Boxes().front();
    EXPECT_EQ(0u, box.text.find(list)) << qv::WideToUtf8(box.text);
    EXPECT_NE(std::wstring::npos, box.text.find(L"integer overflow")) << qv::WideToUtf8(box.text);
    EXPECT_EQ(L"错误", box.caption);
  }
};

TEST_F(HipsPartRead, FilterPageListsNoFilterWhenTheThirdCannotBeRead) {
  for (const wchar_t* name : {L"甲", L"乙", L"丙", L"丁"}) AddFilter(name, 2, L"", L"10.0.0.1");
  Break(L"Filter", L"FilterName", L"FilterName = '丙'");
  script.ExpectBox(L"integer overflow");  // while the area loads
  Run([&] { EXPECT_EQ(0, Hips().Grid().GetItemCount()); });
  ExpectToldWhy(L"读取主动监测策略失败：");
}

TEST_F(HipsPartRead, TrustListShowsNoRelationWhenTheThirdCannotBeRead) {
  int id = 1;
  for (const wchar_t* content : {L"C:\\a", L"C:\\b", L"C:\\c", L"C:\\d"})
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Trust (id, type, ClientIP, Content) values (?, 0, '10.0.0.1', ?)",
                             {id++, content}));
  Break(L"Trust", L"Content", L"id = 3");
  Run([&] {
    CQvHIPSTrustDlg dlg;
    script.ExpectBox(L"integer overflow");
    script.ExpectDialog([&](UiDialogDriver& d) {
      EXPECT_EQ(0, dlg.Grid().GetItemCount());
      EXPECT_TRUE(d.IsOpenAndShown());
    });
    dlg.DoModal(main->m_hWnd);
  });
  ExpectToldWhy(L"读取信任关系失败：");
}

TEST_F(HipsPartRead, FilterPageListsNoFilterWhenTheGridCannotTakeTheThird) {
  for (const wchar_t* name : {L"甲", L"乙", L"丙", L"丁"}) AddFilter(name, 2, L"", L"10.0.0.1");
  qvtest::RefuseAllocations refuse(qvtest::GridRowBytes(5), 2);  // the page's grid is the only one filled
  script.ExpectBox(L"读取主动监测策略失败：内存不足");  // while the area loads
  Run([&] { EXPECT_EQ(0, Hips().Grid().GetItemCount()); });
  EXPECT_EQ(1, refuse.Refused());
  EXPECT_EQ(L"错误", script.Boxes().back().caption);
}

}  // namespace
