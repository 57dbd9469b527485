"""A click on the object editor never acts on the page below it: 策略对象 → MAC地址 →
tick the row → 修改 → 取消 in the editor, whose button lies over the page's 删除 (which
deletes without asking); then 修改 → 确定, which lies over the page's 修改 (which would
open the editor again). As a user does, a click that seems ignored (the editor still
there 0.3 s later) is made again, until the editor goes. Several times each: the MAC object stays in
MacAddressTable, no editor comes back, and the page asks nothing."""

import time

CANCEL_ROUNDS = 5
OK_ROUNDS = 3
NAME = "办公网关"


def open_mac_page(s, main):
    s.click_element(main, 103, 106)  # 完整性监测
    area = main.layout(103, {111: 1})
    s.click(main, area.head_centre(364, 2))  # 策略对象
    page = main.layout(103, {111: 1, 364: 2})
    s.click(main, page.head_centre(1000, 1))  # MAC地址
    return main.layout(103, {111: 1, 364: 2, 1000: 1})


def open_editor(s, main, page, why):
    s.click(main, page.centre(1524))  # 修改
    try:
        return s.wait_window("策略对象", 5)
    except s.Failure:
        s.fail("%s: 修改 opened no editor (%s)" % (why, s.window_titles()))


def click_until_gone(s, editor, point):
    """Clicks; when the editor is still there 0.3 s later, clicks again and again while
    it stays (a user who thinks the click was ignored), for up to 3 s."""
    at = editor.to_screen(point)
    s.click_screen(at)
    time.sleep(0.3)
    deadline = time.monotonic() + 3
    while editor.shown() and time.monotonic() < deadline:
        s.click_screen(at)
    s.wait_gone(editor, 3)


def check_page_alone(s, why):
    """After the editor closed: no editor again and no box, and the object is kept."""
    time.sleep(0.5)  # what a release on the page would do is done by now
    s.check(not s.windows("策略对象"), "%s: the editor opened again" % why)
    s.check(not s.windows("提示"), "%s: the page answered the click (%s)" % (why, s.window_titles()))
    rows = s.db_value("select count(*) from MacAddressTable where MacStrategyName=?", (NAME,))
    s.check(rows == 1, "%s: the MAC object was deleted from MacAddressTable" % why)


def scenario(s):
    s.db_exec("insert into MacAddressTable(MacNo,MacCreaterName,MacCreateTime,MacModifyTime,"
              "MacStrategyName,MacStrategyContent,MacStrategyExplain) values(?,?,?,?,?,?,?)",
              (1, "tamuk", "2024-01-01 00:00:00", "2024-01-01 00:00:00", NAME, "00-11-22-33-44-55", "e2e"))
    s.start_service()
    main = s.start_console()
    page = open_mac_page(s, main)
    grid = page.element(1347)[0]
    boxes = s.wait_until(lambda: s.check_boxes(main, grid), 5, "the MAC object's row in the list")
    s.click(main, boxes[0])  # tick it

    for i in range(CANCEL_ROUNDS):
        why = "取消, round %d" % (i + 1)
        editor = open_editor(s, main, page, why)
        click_until_gone(s, editor, editor.layout(540).centre(1212))  # 取消, over the page's 删除
        check_page_alone(s, why)

    for i in range(OK_ROUNDS):
        why = "确定, round %d" % (i + 1)
        editor = open_editor(s, main, page, why)
        click_until_gone(s, editor, editor.layout(540).centre(1211))  # 确定, over the page's 修改
        check_page_alone(s, why)
    s.check(s.db_value("select MacModifyTime from MacAddressTable") != "2024-01-01 00:00:00",
            "确定 did not write the object")
