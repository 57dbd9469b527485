// The active-monitoring lists whose reading fails after some rows: the rows read before
// the failure would pass for all of them, so the list is left empty and the box says why.
#include <gtest/gtest.h>

#include "console/CServerDlg.h"
#include "console/SQLStatement.h"
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

// A page of a list read a page at a time whose bind or row limit fails is a failed read,
// not the last page: the host picker and the filter page show none of the list and say
// so, rather than the first page as all of it.
TEST_F(HipsPartRead, APageWhoseBindOrRowLimitFailsShowsNoneOfTheListAndSaysSo) {
  const wchar_t kRows[] = L"with recursive n(i) as (select 1 union all select i + 1 from n where i < 150) ";
  ASSERT_TRUE(qvtest::Exec(link, (std::wstring(L"insert into Client (Name, IP, Status, Type) ") + kRows +
                                  L"select '主机' || i, '10.5.0.' || i, 0, 0 from n").c_str()));
  ASSERT_TRUE(qvtest::Exec(link, (std::wstring(L"insert into Filter (ClientIP, FilterName, RegExp, TypeOfHipsRule, "
                                               L"MatchType, OperatorType, DefaultAction, DefaultLogFilter) ") +
                                  kRows + L"select '10.0.0.1', '过滤' || i, '*.exe', 0, 1, 0, 2, 1 from n").c_str()));
  using StandIn = SQLStatement::DriverStandIn;
  const struct {
    bool picker;           // else the filter page
    const wchar_t* query;  // a part of the page's statement
    const wchar_t* box;
  } lists[] = {{true, L"from Client where type=0 and id>?", L"读取服务器列表失败："},
               {false, L"from Filter f", L"读取主动监测策略失败："}};
  for (const auto& l : lists) {
    for (StandIn::Refused refused : {StandIn::kBinds, StandIn::kRowLimits}) {
      SCOPED_TRACE(testing::Message() << (l.picker ? "host picker" : "filter page")
                                      << (refused == StandIn::kBinds ? ", bind" : ", row limit"));
      StandIn standIn;
      standIn.refused = refused;
      standIn.refusedIn = l.query;
      standIn.passes = 1;  // the first page is read
      if (l.picker) {
        std::wstring result;
        script.ExpectDialog([&](UiDialogDriver& d) {
          ASSERT_TRUE(testenv::PumpUntil([&] { return standIn.Refusals() > 0; }, 60000));
          CServerDlg& picker = *d.As<CServerDlg>();
          EXPECT_EQ(nullptr, picker.Tree().tree.GetChildItem(picker.RootItem()));
        });
        script.ExpectBox(l.box);
        CServerDlg picker(&result);
        picker.DoModal();
      } else {
        Run([&] {
          script.ExpectBox(l.box);  // the next page comes from the window's idle time
          ASSERT_TRUE(testenv::PumpUntil([&] { return standIn.Refusals() > 0; }, 60000));
          EXPECT_EQ(0, Hips().Grid().GetItemCount());
        });
      }
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_TRUE(!script.Boxes().empty() && script.Boxes().back().caption == L"错误");
    }
  }
}

}  // namespace
