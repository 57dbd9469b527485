// The trust relations list and its editor inside a real main window, on a real database,
// with the agents' messages caught by a loopback peer.
#include <gtest/gtest.h>

#include "console/SQLStatement.h"
#include "integrity/CQvHIPSTRNewTrustDlg.h"
#include "integrity/CQvHIPSTrustDlg.h"
#include "support/ConnectionWatch.h"
#include "support/IntegrityPageHost.h"

namespace {

using Editor = CQvHIPSTRNewTrustDlg;

class HipsTrust : public IntegrityPageHost {
 protected:
  // With a service that does not listen yet, the body starts with the link down.
  void List(const std::function<void(CQvHIPSTrustDlg&)>& body, testenv::LoopbackPeer* service = nullptr) {
    agent = service ? service : &peer;
    Run([&] {
      if (service) {
        ASSERT_TRUE(testenv::PumpUntil([] { return !g_agentLinkManager.Link()->IsConnecting(); }, 5000));
      } else {
        ASSERT_TRUE(peer.Accept(5000) && LinkConnected());
      }
      CQvHIPSTrustDlg dlg;
      script.ExpectDialog([&](UiDialogDriver& d) {
        list = &d;
        body(dlg);
      });
      dlg.DoModal(main->m_hWnd);
    }, service ? service->Port() : 0);
  }
  static void Fill(Editor& e, int type, const wchar_t* host, const std::wstring& content) {
    e.TypeCombo().SetCurSel(type);
    e.OnTypeSelChange();
    e.HostEdit().SetWindowText(host);
    e.ContentEdit().SetWindowText(content.c_str());
  }
  // The editor's next run: answered with these values and OK.
  void Answer(int type, const wchar_t* host, const std::wstring& content) {
    script.ExpectDialog([=](UiDialogDriver& d) {
      Fill(*d.As<Editor>(), type, host, content);
      EXPECT_TRUE(d.Click(Editor::kItemOk));
    });
  }
  // The editor's next run: these values, and OK refused with box while the editor stays
  // open with them; then it is cancelled.
  void Refused(int type, const wchar_t* host, const std::wstring& content, const wchar_t* box,
               int answer = UiModalScript::kFirstButton) {
    script.ExpectDialog([=](UiDialogDriver& d) {
      Editor* e = d.As<Editor>();
      Fill(*e, type, host, content);
      script.ExpectBox(box, answer);
      EXPECT_TRUE(d.Click(Editor::kItemOk));
      EXPECT_EQ(0u, script.Remaining()) << "refused while the editor is open";
      EXPECT_TRUE(d.IsOpenAndShown() && e->HostEdit().GetWindowText() == host &&
                  e->ContentEdit().GetWindowText() == content);
      EXPECT_TRUE(d.Click(Editor::kItemCancel));
    });
  }
  // A click on the row's box where it is painted, unless it is ticked already.
  void Check(CQvHIPSTrustDlg& dlg, int row) {
    if (dlg.Grid().GetItemCheck(row, 0) <= 0) EXPECT_TRUE(qvtest::ClickGridCell(dlg.Grid(), row, 0));
    EXPECT_EQ(1, dlg.Grid().GetItemCheck(row, 0));
  }
  // The next frame: id, length, type, the content and the host it went to.
  std::wstring Next() {
    testenv::PeerFrame f;
    if (!agent->ReceiveFrame(&f, 5000) || f.payload.size() < 6) return L"none";
    return std::to_wstring(f.messageId) + L" " + std::to_wstring(f.payload.size()) + L" " +
           std::to_wstring(f.payload[0]) + L" " + reinterpret_cast<const wchar_t*>(f.payload.data() + 4) + L" " +
           std::to_wstring(f.wParam & 0xFF000000u ? f.wParam >> 24 : 0);
  }
  void Put(int id, int type, const wchar_t* ip, const wchar_t* content) {
    ASSERT_TRUE(qvtest::Exec(link, L"insert into Trust (id, type, ClientIP, Content) values (?, ?, ?, ?)",
                             {id, type, ip, content}));
  }

  // Trust as stored.
  std::wstring Stored() {
    std::wstring text;
    for (SQLStatement* s = qvtest::Prepare(link, L"select ClientIP, Content, id, type from Trust order by id");
         s && s->Fetch();)
      text += std::to_wstring(s->GetInt(2)) + L":" + std::to_wstring(s->GetInt(3)) + L":" +
              qvtest::Str(s->GetString(0)) + L":" + qvtest::Str(s->GetString(1)) + L" ";
    return text;
  }
  // Nothing went to the agent before a frame of the test's own.
  bool NothingSent() {
    g_agentLinkManager.SendOnChannel1(0, 9999, nullptr, 0);
    testenv::PeerFrame f;
    return agent->ReceiveFrame(&f, 5000) && f.messageId == 9999;
  }

  UiDialogDriver* list = nullptr;
  testenv::LoopbackPeer* agent = &peer;  // where the link goes
};

TEST_F(HipsTrust, NewRelationsTakeTheFirstFreeIdAndDuplicatesOrOverlongContentAreRefused) {
  List([&](CQvHIPSTrustDlg& dlg) {
    struct Case {
      std::vector<int> ids;
      int expected;
    } cases[] = {{{}, 0}, {{0, 1, 2, 5}, 3}, {{1, 2}, 0}};
    for (const Case& c : cases) {
      SCOPED_TRACE(c.expected);
      ASSERT_TRUE(qvtest::Exec(link, L"delete from Trust"));
      for (int id : c.ids) Put(id, 0, L"127.0.0.9", (L"x" + std::to_wstring(id)).c_str());
      Answer(0, L"127.0.0.1", L"C:\\Tools\\a.exe");
      dlg.OnNewTrust();
      EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Trust where id = ? and Content = 'C:\\Tools\\a.exe'",
                               {c.expected}));
      EXPECT_EQ(L"1543 524 0 C:\\Tools\\a.exe 1", Next());
    }
    Refused(0, L"127.0.0.1", L"c:\\tools\\A.EXE", L"该信任关系已经存在");  // the same relation
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
    Refused(1, L"127.0.0.1", std::wstring(260, L'键'), L"路径太长，最多259个字符");
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
    Answer(1, L"127.0.0.1", std::wstring(259, L'键'));
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Trust where length(Content) = 259"));
    EXPECT_EQ(L"1543 524 1 " + std::wstring(259, L'键') + L" 1", Next());
  });
}

TEST_F(HipsTrust, AModifyToAnotherHostTakesItBackFromTheOldAndDeletesAreToldOnlyOnceDone) {
  Put(0, 0, L"127.0.0.1", L"C:\\a.exe");
  Put(1, 1, L"127.0.0.1", L"HKLM\\Run");
  Put(2, 2, L"127.0.0.1", L"unlisted");
  Put(3, 0, L"127.0.0.3", L"C:\\c.exe");
  List([&](CQvHIPSTrustDlg& dlg) {
    ASSERT_EQ(3, dlg.Grid().GetItemCount());
    Check(dlg, 0);
    EXPECT_EQ(1, dlg.CheckedCount());
    Answer(0, L"127.0.0.2", L"C:\\b.exe");
    script.ExpectBox(L"修改信任关系成功");
    dlg.OnModifyTrust();
    EXPECT_EQ(L"1541 524 0 C:\\a.exe 1", Next());
    EXPECT_EQ(L"1544 524 0 C:\\b.exe 2", Next());
    EXPECT_EQ(L"127.0.0.2", dlg.Grid().GetItemText(0, 2));

    ASSERT_TRUE(qvtest::Exec(link, L"create trigger keep before delete on Trust when old.id = 3 "
                                   L"begin select raise(abort, 'kept'); end"));
    Check(dlg, 1);
    Check(dlg, 2);
    script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(L"kept");
    dlg.OnDeleteTrust();
    EXPECT_EQ(L"1541 524 0 C:\\b.exe 2", Next());
    EXPECT_EQ(L"1541 524 1 HKLM\\Run 1", Next());
    EXPECT_EQ(1, dlg.Grid().GetItemCount());  // the failed one stays, nothing sent for it
    EXPECT_TRUE(list->IsOpenAndShown());
    EXPECT_EQ(2, qvtest::Int(link, L"select count(*) from Trust"));
    EXPECT_EQ(1, dlg.CheckedCount());
  });
}

// Another console deletes a relation the list shows: a modify whose editor was open
// (even one that moves it to another host) tells neither host and writes nothing; one
// opened after it, and a delete, say so too; the list is read again.
TEST_F(HipsTrust, ARelationAnotherConsoleDeletedIsToldToNoHostAndSaidGone) {
  enum Step { kModifyOpen, kModify, kDelete };
  for (Step step : {kModifyOpen, kModify, kDelete}) {
    for (bool counted : {true, false}) {
      SCOPED_TRACE(testing::Message() << (step) << (counted ? " counted" : " uncounted"));
      SQLStatement::DriverStandIn uncounting;
      uncounting.countsWithheld = !counted;
      DatabaseTest::SetUp();
      Put(0, 0, L"127.0.0.1", L"C:\\a.exe");
      Put(1, 0, L"127.0.0.3", L"C:\\c.exe");
      List([&](CQvHIPSTrustDlg& dlg) {
        Check(dlg, 0);
        auto drop = [&] { ASSERT_TRUE(qvtest::Exec(link, L"delete from Trust where id = 0")); };
        if (step == kModifyOpen) {
          script.ExpectDialog([&](UiDialogDriver& d) {
            Fill(*d.As<Editor>(), 0, L"127.0.0.2", L"C:\\b.exe");
            drop();
            EXPECT_TRUE(d.Click(Editor::kItemOk));
          });
        } else {
          drop();
        }
        if (step == kDelete) script.ExpectBox(L"您确认删除么？", IDYES);
        script.ExpectBox(L"该记录已被删除，列表将重新读取。");
        if (step == kDelete)
          dlg.OnDeleteTrust();
        else
          dlg.OnModifyTrust();
        EXPECT_EQ(0u, script.Remaining());
        EXPECT_TRUE(NothingSent());
        EXPECT_EQ(L"1:0:127.0.0.3:C:\\c.exe ", Stored());
        ASSERT_EQ(1, dlg.Grid().GetItemCount());
        EXPECT_EQ(L"127.0.0.3", dlg.Grid().GetItemText(0, 2));
        EXPECT_TRUE(list->IsOpenAndShown());
      });
    }
  }
}

TEST_F(HipsTrust, TheEditorRefusesInOrderAndTheRegistryTypeIsTyped) {
  Run([&] {
    int type = -1;
    std::wstring host, content;
    Editor e(0, &type, &host, &content);
    script.ExpectDialog([&](UiDialogDriver& d) {
      struct Step {
        int type;
        const wchar_t* host;
        const wchar_t* content;
        const wchar_t* box;
      } steps[] = {{-1, L"127.0.0.1", L"x", L"请选择类型"}, {0, L"", L"x", L"请选择客户端"},
                   {0, L"127.0.0.1", L"", L"请选择信任内容"}};
      for (const Step& s : steps) {
        SCOPED_TRACE(s.box);
        e.TypeCombo().SetCurSel(s.type);
        e.HostEdit().SetWindowText(s.host);
        e.ContentEdit().SetWindowText(s.content);
        script.ExpectBox(s.box);
        e.OnOK();
        EXPECT_EQ(-1, type);
        EXPECT_TRUE(d.IsOpenAndShown());
      }
      script.ExpectBox(L"清先选择客户端");
      e.OnBrowseContent();
      EXPECT_TRUE(d.IsOpenAndShown());
      for (int t : {1, 0}) {
        e.TypeCombo().SetCurSel(t);
        e.OnTypeSelChange();
        EXPECT_EQ(t == 0, (e.ContentEdit().GetStyle() & ES_READONLY) != 0);
      }
      script.ExpectBox(L"路径太长，最多259个字符");
      EXPECT_FALSE(e.TakePickedPath(std::wstring(260, L'p')));
      EXPECT_TRUE(d.IsOpenAndShown());
    });
    e.DoModal(main->m_hWnd);
  });
}

// A content longer than the record (stored before or by hand) is the agent's by its first
// 259 characters: the relation can be moved unchanged and deleted, and the agent hears
// of both; a changed content that is still too long is refused in the editor.
TEST_F(HipsTrust, ALongStoredContentIsModifiedUnchangedAndDeletedWithItsFirst259Characters) {
  const std::wstring content(300, L'长'), sent = content.substr(0, 259);
  Put(0, 1, L"127.0.0.1", content.c_str());
  List([&](CQvHIPSTrustDlg& dlg) {
    Check(dlg, 0);
    script.ExpectDialog([&](UiDialogDriver& d) {
      EXPECT_EQ(content, d.As<Editor>()->ContentEdit().GetWindowText());
      d.As<Editor>()->HostEdit().SetWindowText(L"127.0.0.2");
      EXPECT_TRUE(d.Click(Editor::kItemOk));
    });
    script.ExpectBox(L"修改信任关系成功");
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    EXPECT_EQ(L"1541 524 1 " + sent + L" 1", Next());
    EXPECT_EQ(L"1544 524 1 " + sent + L" 2", Next());
    Refused(1, L"127.0.0.2", content.substr(1), L"路径太长，最多259个字符");
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    EXPECT_EQ(1, qvtest::Int(link, L"select count(*) from Trust where ClientIP = '127.0.0.2' and Content = ?",
                             {content.c_str()}));
    script.ExpectBox(L"您确认删除么？", IDYES);
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
    EXPECT_EQ(L"1541 524 1 " + sent + L" 2", Next());
    EXPECT_EQ(0, dlg.Grid().GetItemCount());
  });
}

// With the link down new, modify and delete store nothing: the user is told, the editor
// stays open as entered and the list as it was; once the link is back each goes through.
TEST_F(HipsTrust, WithTheLinkDownNewModifyAndDeleteChangeNothingAndTheEditorKeepsWhatWasEntered) {
  Put(0, 0, L"127.0.0.1", L"C:\\a.exe");
  const std::wstring before = Stored();
  const wchar_t down[] = L"与监测服务的连接已断开，命令未发送！";
  testenv::LoopbackPeer service(0, false);
  List([&](CQvHIPSTrustDlg& dlg) {
    Refused(1, L"127.0.0.2", L"HKLM\\Soft", down);
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
    EXPECT_EQ(1, dlg.Grid().GetItemCount());
    Check(dlg, 0);
    script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(down);
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(before, Stored());
    EXPECT_TRUE(list->IsOpenAndShown() && dlg.Grid().GetItemCount() == 1);

    // The modify editor keeps its connection: refused with the link down, its changes are
    // rolled back, and the same editor's OK goes through once the link is back.
    script.ExpectDialog([&](UiDialogDriver& d) {
      Editor* e = d.As<Editor>();
      Fill(*e, 0, L"127.0.0.1", L"C:\\b.exe");
      script.ExpectBox(down);
      EXPECT_TRUE(d.Click(Editor::kItemOk));
      EXPECT_EQ(0u, script.Remaining());
      EXPECT_TRUE(d.IsOpenAndShown() && e->ContentEdit().GetWindowText() == L"C:\\b.exe");
      EXPECT_EQ(before, Stored());
      ASSERT_TRUE(service.Listen() && service.Accept(20000) && LinkConnected());
      script.ExpectBox(L"修改信任关系成功");
      EXPECT_TRUE(d.Click(Editor::kItemOk));
    });
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"1544 524 0 C:\\b.exe 1", Next());
    EXPECT_EQ(L"C:\\b.exe", dlg.Grid().GetItemText(0, 3));

    Answer(1, L"127.0.0.2", L"HKLM\\Soft");
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
    EXPECT_EQ(L"1543 524 1 HKLM\\Soft 2", Next());
    script.ExpectBox(L"您确认删除么？", IDYES);
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
    EXPECT_EQ(L"1541 524 0 C:\\b.exe 1", Next());
    EXPECT_EQ(L"1:1:127.0.0.2:HKLM\\Soft ", Stored());
  }, &service);
}

// Registry keys and Windows paths know no letter case: a relation the host has already in
// other letters (or with its wildcard repeated) is refused, the editor stays open, and
// nothing is stored or sent. It may be one another console stored since the list was
// read: the list is read again and shows it, and a modify refused so goes on with the
// relation it edits, wherever the list now shows it, still checked.
TEST_F(HipsTrust, ARelationTheHostHasInOtherLetterCaseIsRefused) {
  Put(0, 1, L"127.0.0.1", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Antivirus");
  Put(1, 1, L"127.0.0.1", L"HKLM\\SOFTWARE\\Ärzte");
  Put(2, 0, L"127.0.0.1", L"C:\\Tools\\*");
  List([&](CQvHIPSTrustDlg& dlg) {
    const struct {
      int type;
      const wchar_t* content;
      const wchar_t* other;  // stored by another console just before, as id 3
      int listed;
    } cases[] = {{1, L"hkey_local_machine\\software\\antivirus", nullptr, 3},
                 {1, L"hklm\\software\\ärzte", nullptr, 3},
                 {0, L"c:\\TOOLS\\*\\*", nullptr, 3},
                 {0, L"d:\\new\\B.EXE", L"D:\\New\\b.exe", 4}};
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(c.content)));
      if (c.other) Put(3, 0, L"127.0.0.1", c.other);
      const std::wstring before = Stored();
      Refused(c.type, L"127.0.0.1", c.content, L"该信任关系已经存在");
      EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
      EXPECT_EQ(c.listed, dlg.Grid().GetItemCount());
      EXPECT_EQ(before, Stored());
    }
    EXPECT_TRUE(NothingSent());

    ASSERT_TRUE(qvtest::Exec(link, L"delete from Trust where id = 0"));  // by another console
    Check(dlg, 1);
    script.ExpectDialog([&](UiDialogDriver& d) {
      Editor* e = d.As<Editor>();
      Fill(*e, 0, L"127.0.0.1", L"C:\\TOOLS\\*");
      script.ExpectBox(L"该信任关系已经存在");
      EXPECT_TRUE(d.Click(Editor::kItemOk));
      EXPECT_TRUE(d.IsOpenAndShown());
      EXPECT_EQ(3, dlg.Grid().GetItemCount());
      EXPECT_EQ(L"HKLM\\SOFTWARE\\Ärzte", dlg.Grid().GetItemText(0, CQvHIPSTrustDlg::kColContent));
      EXPECT_EQ(1, dlg.Grid().GetItemCheck(0, 0));
      EXPECT_EQ(1, dlg.CheckedCount());
      Fill(*e, 1, L"127.0.0.1", L"HKLM\\SOFTWARE\\Bauer");
      script.ExpectBox(L"修改信任关系成功");
      EXPECT_TRUE(d.Click(Editor::kItemOk));
    });
    dlg.OnModifyTrust();
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"1544 524 1 HKLM\\SOFTWARE\\Bauer 1", Next());
    std::wstring shown;
    for (int row = 0; row < dlg.Grid().GetItemCount(); ++row)
      shown += dlg.Grid().GetItemText(row, CQvHIPSTrustDlg::kColContent) + L" ";
    EXPECT_EQ(L"HKLM\\SOFTWARE\\Bauer C:\\Tools\\* D:\\New\\b.exe ", shown);
  });
}

// A relation whose host could not hear of its removal stays unless the user chooses
// otherwise: its host has an address the service cannot take (the host may still enforce
// what it was once sent), also when it is moved to another host, and the user is asked;
// or its row cannot be read, here while another connection holds the database
// exclusively, and the user is told why.
TEST_F(HipsTrust, ARemovalNoHostWouldHearOfIsLeftToTheUserOrRefused) {
  const wchar_t* const unusable[] = {L"", L"主机甲", L"127.1", L"255.255.255.255"};
  Put(0, 0, L"127.0.0.1", L"C:\\a.exe");
  for (int id = 1; id <= 4; ++id) Put(id, 0, unusable[id - 1], (L"C:\\" + std::to_wstring(id) + L".exe").c_str());
  const std::wstring before = Stored();
  const wchar_t untold[] = L"客户端IP地址无效，无法通知该主机，是否继续？";
  List([&](CQvHIPSTrustDlg& dlg) {
    ASSERT_EQ(5, dlg.Grid().GetItemCount());
    auto only = [&](int row) {
      for (int r = 0; r < dlg.Grid().GetItemCount(); ++r)
        if (dlg.Grid().GetItemCheck(r, 0) > 0 && r != row) EXPECT_TRUE(qvtest::ClickGridCell(dlg.Grid(), r, 0));
      Check(dlg, row);
    };
    for (int row = 1; row <= 4; ++row) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(unusable[row - 1])));
      only(row);
      script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(untold, IDNO);
      EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
      EXPECT_EQ(L"注意", script.Boxes().back().caption);
      Refused(0, L"127.0.0.2", L"C:\\moved.exe", untold, IDNO);
      EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    }
    only(0);
    ASSERT_TRUE(qvtest::Exec(link, L"begin exclusive"));
    script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(L"读取信任关系失败：");
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
    script.ExpectBox(L"读取信任关系失败：");  // before the editor opens
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    ASSERT_TRUE(qvtest::Exec(link, L"rollback"));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"错误", script.Boxes().back().caption);
    EXPECT_GT(script.Boxes().back().text.size(), wcslen(L"读取信任关系失败："));  // with the driver's text
    EXPECT_EQ(before, Stored());
    EXPECT_EQ(5, dlg.Grid().GetItemCount());
    EXPECT_TRUE(list->IsOpenAndShown());
    EXPECT_TRUE(NothingSent());

    // Chosen: a move off such a host tells only the new one; a deletion tells nobody.
    only(1);
    script.ExpectDialog([&](UiDialogDriver& d) {
      Fill(*d.As<Editor>(), 0, L"127.0.0.2", L"C:\\moved.exe");
      script.ExpectBox(untold, IDYES).ExpectBox(L"修改信任关系成功");
      EXPECT_TRUE(d.Click(Editor::kItemOk));
    });
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
    EXPECT_EQ(L"1544 524 0 C:\\moved.exe 2", Next());
    for (int row = 2; row <= 4; ++row) Check(dlg, row);
    EXPECT_TRUE(qvtest::ClickGridCell(dlg.Grid(), 1, 0));
    script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(untold, IDYES).ExpectBox(untold, IDYES).ExpectBox(untold, IDYES);
    EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemDelete));
    EXPECT_EQ(0u, script.Remaining());
    EXPECT_EQ(L"0:0:127.0.0.1:C:\\a.exe 1:0:127.0.0.2:C:\\moved.exe ", Stored());
    EXPECT_EQ(2, dlg.Grid().GetItemCount());
    EXPECT_TRUE(NothingSent());
  });
}

// A relation no agent could be told of is not stored: a host whose address the service
// cannot take, new or moved to.
TEST_F(HipsTrust, ARelationForAHostTheServiceCannotAddressIsRefused) {
  Put(0, 0, L"127.0.0.1", L"C:\\a.exe");
  const std::wstring before = Stored();
  List([&](CQvHIPSTrustDlg& dlg) {
    for (const wchar_t* host : {L"主机甲", L"127.1", L"255.255.255.255"}) {
      SCOPED_TRACE(testing::PrintToString(std::wstring(host)));
      Refused(0, host, L"C:\\b.exe", L"客户端IP地址无效，命令未发送！");
      EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemNew));
      Check(dlg, 0);
      Refused(0, host, L"C:\\a.exe", L"客户端IP地址无效，命令未发送！");
      EXPECT_TRUE(list->Click(CQvHIPSTrustDlg::kItemModify));
      EXPECT_EQ(1, dlg.Grid().GetItemCount());
      EXPECT_EQ(L"127.0.0.1", dlg.Grid().GetItemText(0, 2));
    }
    EXPECT_EQ(before, Stored());
    EXPECT_TRUE(NothingSent());
  });
}

// Every question, message and editor of the list comes with its database connection
// closed: one held while the user reads would hold the database for as long as that takes.
TEST_F(HipsTrust, NoBoxOrEditorComesUpWhileTheListHoldsADatabaseConnection) {
  Put(0, 0, L"", L"C:\\untold.exe");
  Put(1, 0, L"127.0.0.1", L"C:\\kept.exe");
  Put(2, 0, L"127.0.0.1", L"C:\\edited.exe");
  List([&](CQvHIPSTrustDlg& dlg) {
    qvtest::ConnectionWatch watch(script);
    auto only = [&](const wchar_t* content) {
      for (int row = 0; row < dlg.Grid().GetItemCount(); ++row)
        dlg.Grid().SetItemCheck(row, 0, dlg.Grid().GetItemText(row, 3) == content);
      BOOL handled = TRUE;
      dlg.OnListCheckChanged(CQvHIPSTrustDlg::kGrid, nullptr, handled);
      ASSERT_EQ(1, dlg.CheckedCount());
    };
    const struct {
      const char* what;
      std::function<void()> act;
    } rows[] = {
        {"delete of a relation no host would hear of",
         [&] {
           only(L"C:\\untold.exe");
           script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(L"客户端IP地址无效，无法通知该主机", IDNO);
           dlg.OnDeleteTrust();
         }},
        {"delete that fails",
         [&] {
           only(L"C:\\kept.exe");
           ASSERT_TRUE(qvtest::Exec(link, L"create trigger keep before delete on Trust "
                                          L"begin select raise(abort, 'kept'); end"));
           script.ExpectBox(L"您确认删除么？", IDYES).ExpectBox(L"kept");
           dlg.OnDeleteTrust();
           ASSERT_TRUE(qvtest::Exec(link, L"drop trigger keep"));
         }},
        {"modify, the editor cancelled",
         [&] {
           only(L"C:\\edited.exe");
           script.ExpectDialog([](UiDialogDriver&) {}, IDCANCEL);
           dlg.OnModifyTrust();
         }},
    };
    watch.RunRows(rows);
  });
}

}  // namespace
