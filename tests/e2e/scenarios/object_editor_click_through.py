"""A click on the object editor never acts on the page below it: 策略对象 → MAC地址 →
tick the row → 修改 → 取消 in the editor, whose button lies over the page's 删除 (which
deletes without asking); then 修改 → 确定, which lies over the page's 修改 (which would
open the editor again). As a user does, a click that seems ignored (the editor still
there 0.3 s later) is made again, until the editor goes. Several times each: the MAC
object stays in MacAddressTable, no editor comes back, and the page asks nothing.

The same with a double click (20 to 300 ms between the clicks) on 取消, on 确定 and on
✕, which lies over the main window's ✕: the first click ends the editor and the
second press goes nowhere. So also on the 确定 of the host picker (自定义应用策略 →
添加 → 选择服务器), which lies over the editor's list, where a click clears the host
just chosen. A new click made after the double-click time is the user's own: on 删除
it deletes the object, on the list it clears the host.

Also a burst of four quick clicks (80 to 150 ms apart) on 取消 and on ✕: every click after
the first belongs to the editor that the first ended, and none reaches the page."""

import time

CANCEL_ROUNDS = 5
OK_ROUNDS = 3
GAPS_MS = (20, 80, 150, 300)  # between the two clicks of a double click
BURSTS_MS = ((80, 150, 120), (150, 80, 100), (120, 120, 150))  # between four quick clicks
LATE_S = 1.0  # a click this long after the one before it is past the double-click time (0.5 s)
NAME = "办公网关"
HOST = ("10.0.0.7", "web-07")
# When the last press of a click on the editor went: 修改 lies under its 确定, and a
# press there within the double-click time would still be that burst's.
last_press = [0.0]


def pressed():
    last_press[0] = time.monotonic()


def open_mac_page(s, main):
    s.click_element(main, 103, 106)  # 完整性监测
    area = main.layout(103, {111: 1})
    s.click(main, area.head_centre(364, 2))  # 策略对象
    page = main.layout(103, {111: 1, 364: 2})
    s.click(main, page.head_centre(1000, 1))  # MAC地址
    return main.layout(103, {111: 1, 364: 2, 1000: 1})


def open_editor(s, main, page, why):
    time.sleep(max(0.0, last_press[0] + LATE_S - time.monotonic()))  # the user rests first
    s.click(main, page.centre(1524))  # 修改
    try:
        return s.wait_window("策略对象")
    except s.Failure:
        s.fail("%s: 修改 opened no editor (%s)" % (why, s.window_titles()))


def click_until_gone(s, editor, point):
    """Clicks; when the editor is still there 0.3 s later, clicks again and again while
    it stays (a user who thinks the click was ignored), for up to 3 s; then it must go."""
    at = editor.to_screen(point)
    s.click_screen(at)
    time.sleep(0.3)
    deadline = time.monotonic() + 3
    while editor.shown() and time.monotonic() < deadline:
        s.click_screen(at)
    pressed()
    s.wait_gone(editor)


def double_click(s, editor, point, gap):
    """A double click, the second press `gap` ms after the first click: the first ends
    the editor."""
    s.double_click_screen(editor.to_screen(point), gap)
    pressed()
    s.wait_gone(editor)


def click_then_later(s, window, at):
    """A click at `at` that ends `window`, then a new one at the same place once the
    double-click time is past."""
    s.click_screen(at)
    first = time.monotonic()
    s.wait_gone(window)
    time.sleep(max(0.0, first + LATE_S - time.monotonic()))
    s.click_screen(at)


def pick_host(s, editor, why):
    """选择服务器 in the editor's application panel, the host ticked in the picker; the
    picker and the place of its 确定 on the screen."""
    s.click(editor, editor.layout(540).centre(1227))
    try:
        picker = s.wait_window("自定义应用策略")
    except s.Failure:
        s.fail("%s: 选择服务器 opened no picker (%s)" % (why, s.window_titles()))
    lay = picker.layout(532)
    boxes = s.wait_until(lambda: s.check_boxes(picker, lay.element(102)[0], 40), what="the host's box in the picker")
    s.click(picker, boxes[0])
    return picker, picker.to_screen(lay.centre(100))


def host_shown(s, editor):
    """Whether the editor's host field (the application panel's) shows text."""
    r = editor.layout(540).element(1319)[0]
    return any(sum(p) < 250 for row in s.pixels(editor, (r[0] + 3, r[1] + 3, r[2] - 3, r[3] - 3)) for p in row)


def check_page_alone(s, main, page, why):
    """After the editor closed, once the page has taken the input after the clicks: no
    editor again and no box, and the object is kept."""
    s.settle(main, page.element(1523)[0], ("策略对象", "提示", "确定"))  # 添加, away from the clicks
    s.check(not s.windows("策略对象"), "%s: the editor opened again" % why)
    s.check(not s.windows("提示") and not s.windows("确定"),
            "%s: the page answered the click (%s)" % (why, s.window_titles()))
    rows = s.db_value("select count(*) from MacAddressTable where MacStrategyName=?", (NAME,))
    s.check(rows == 1, "%s: the MAC object was deleted from MacAddressTable" % why)


def scenario(s):
    s.db_exec("insert into MacAddressTable(MacNo,MacCreaterName,MacCreateTime,MacModifyTime,"
              "MacStrategyName,MacStrategyContent,MacStrategyExplain) values(?,?,?,?,?,?,?)",
              (1, "tamuk", "2024-01-01 00:00:00", "2024-01-01 00:00:00", NAME, "00-11-22-33-44-55", "e2e"))
    s.db_exec("insert into Client(IP,Name,MAC,Status,Type) values(?,?,?,?,?)", HOST + ("001122334455", 1, 0))
    s.start_service()
    main = s.start_console()
    page = open_mac_page(s, main)
    grid = page.element(1347)[0]
    boxes = s.wait_until(lambda: s.check_boxes(main, grid), what="the MAC object's row in the list")
    s.click(main, boxes[0])  # tick it

    for i in range(CANCEL_ROUNDS):
        why = "取消, round %d" % (i + 1)
        editor = open_editor(s, main, page, why)
        click_until_gone(s, editor, editor.layout(540).centre(1212))  # 取消, over the page's 删除
        check_page_alone(s, main, page, why)

    for i in range(OK_ROUNDS):
        why = "确定, round %d" % (i + 1)
        editor = open_editor(s, main, page, why)
        click_until_gone(s, editor, editor.layout(540).centre(1211))  # 确定, over the page's 修改
        check_page_alone(s, main, page, why)
    s.check(s.db_value("select MacModifyTime from MacAddressTable") != "2024-01-01 00:00:00",
            "确定 did not write the object")

    for gap in GAPS_MS:
        # Over the page's 删除 and 修改, and over the main window's ✕.
        for button, name in ((1212, "取消"), (1211, "确定"), (1207, "✕")):
            why = "%s double clicked, %d ms between the clicks" % (name, gap)
            editor = open_editor(s, main, page, why)
            double_click(s, editor, editor.layout(540).centre(button), gap)
            check_page_alone(s, main, page, why)

    for gaps in BURSTS_MS:
        for button, name in ((1212, "取消"), (1207, "✕")):
            why = "four clicks on %s, %s ms apart" % (name, "/".join(str(g) for g in gaps))
            editor = open_editor(s, main, page, why)
            s.burst_screen(editor.to_screen(editor.layout(540).centre(button)), gaps)
            pressed()
            s.wait_gone(editor)
            check_page_alone(s, main, page, why)

    # Past the double-click time a click on the same place is a new one, and 删除 acts.
    editor = open_editor(s, main, page, "a late click")
    click_then_later(s, editor, editor.to_screen(editor.layout(540).centre(1212)))
    s.wait_until(lambda: s.db_value("select count(*) from MacAddressTable") == 0,
                 what="删除 to act on a click %.1f s after the one that closed the editor" % LATE_S)

    s.click(main, page.head_centre(1000, 2))  # 自定义应用策略
    s.click(main, main.layout(103, {111: 1, 364: 2, 1000: 2}).centre(1529))  # 添加
    editor = s.wait_window("策略对象")
    for gap in GAPS_MS:
        why = "the host picker's 确定 double clicked, %d ms between the clicks" % gap
        picker, ok = pick_host(s, editor, why)
        s.double_click_screen(ok, gap)
        s.wait_gone(picker)
        # Once the editor has taken the input after the clicks (取消 lights up, away from them):
        s.settle(editor, editor.layout(540).element(1212)[0], ("自定义应用策略",))
        s.check(not s.windows("自定义应用策略"), "%s: the picker opened again" % why)
        s.check(host_shown(s, editor), "%s: the host chosen is gone from the editor" % why)
    picker, ok = pick_host(s, editor, "a late click")
    click_then_later(s, picker, ok)
    s.wait_until(lambda: not host_shown(s, editor),
                 what="the editor's list to take a click %.1f s after the picker's 确定" % LATE_S)
