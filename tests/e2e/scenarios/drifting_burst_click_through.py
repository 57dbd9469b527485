"""A burst of quick clicks whose hand drifts never acts on the page below: 策略对象 →
IP地址 → tick the row → 修改, then four clicks 110 ms apart on the editor's 取消, which
lies over the page's 删除 (which deletes without asking), each press a pixel or so
from the one before ((0,0) (1,1) (3,1) (3,2) px from the first), or two clicks 6 px
apart: the first ends the editor and the others belong to it, wherever on 取消 they
land. The IP object stays in IpAddressTable, no editor comes back and the page asks
nothing. So on ✕, over the main window's ✕. A press of such a burst that lands beyond
取消 and the double-click slack around it, on 删除, is the user's own: it deletes."""

GAP_MS = 110  # between the clicks of a burst
DRIFTS = (  # ms between the clicks, and each press's place from the first in pixels
    (GAP_MS, ((0, 0), (1, 1), (3, 1), (3, 2))),
    (GAP_MS, ((0, 0), (6, 0))),
    (GAP_MS, ((0, 0), (-2, 2), (-5, 3), (-9, 4))),
    (250, ((0, 0), (1, -1), (3, -1), (4, -2))),  # slower, each half the double-click time after the last
)
SLACK = 2  # half the double-click rectangle (4 by 4 px under Wine)
BEYOND = SLACK + 3  # a press this far from 取消 is beyond its slack, with a pixel to spare
NAME = "办公网段"


def open_ip_page(s, main):
    s.click_element(main, 103, 106)  # 完整性监测
    area = main.layout(103, {111: 1})
    s.click(main, area.head_centre(364, 2))  # 策略对象
    page = main.layout(103, {111: 1, 364: 2})
    s.click(main, page.head_centre(1000, 0))  # IP地址
    return main.layout(103, {111: 1, 364: 2, 1000: 0})


def open_editor(s, main, page, why):
    s.click(main, page.centre(1521))  # 修改
    try:
        return s.wait_window("策略对象")
    except s.Failure:
        s.fail("%s: 修改 opened no editor (%s)" % (why, s.window_titles()))


def drifting_burst(s, points, gap_ms=GAP_MS):
    """Clicks at each screen point in turn, `gap_ms` after the one before."""
    args = ["xdotool"]
    for i, (x, y) in enumerate(points):
        if i:
            args += ["sleep", "%.3f" % (gap_ms / 1000.0)]
        args += ["mousemove", str(x), str(y), "click", "1"]
    s.x(args)


def screen_rect(window, rect):
    x, y = window.to_screen((rect[0], rect[1]))
    return (x, y, x + rect[2] - rect[0], y + rect[3] - rect[1])


def inside(rect, point, margin=0):
    return (rect[0] - margin <= point[0] < rect[2] + margin and
            rect[1] - margin <= point[1] < rect[3] + margin)


def check_page_alone(s, main, page, why):
    """After the editor closed, once the page has taken the input after the clicks: no
    editor again and no box, and the object is kept."""
    s.settle(main, page.element(1520)[0], ("策略对象", "提示", "确定"))  # 添加, away from the clicks
    s.check(not s.windows("策略对象"), "%s: the editor opened again" % why)
    s.check(not s.windows("提示") and not s.windows("确定"),
            "%s: the page answered the click (%s)" % (why, s.window_titles()))
    rows = s.db_value("select count(*) from IpAddressTable where IpStrategyName=?", (NAME,))
    s.check(rows == 1, "%s: the IP object was deleted from IpAddressTable" % why)


def scenario(s):
    s.db_exec("insert into IpAddressTable(IpNo,IpCreaterName,IpCreateTime,IpModifyTime,IpStrategyName,"
              "IpStrategyContent,IpStrategyExplain) values(?,?,?,?,?,?,?)",
              (1, "tamuk", "2024-01-01 00:00:00", "2024-01-01 00:00:00", NAME,
               "192.168.1.1-192.168.1.254", "e2e"))
    s.start_service()
    main = s.start_console()
    page = open_ip_page(s, main)
    boxes = s.wait_until(lambda: s.check_boxes(main, page.element(1346)[0]), what="the IP object's row in the list")
    s.click(main, boxes[0])  # tick it
    delete = screen_rect(main, page.element(1522)[0])

    for button, name in ((1212, "取消"), (1207, "✕")):
        for gap, drift in DRIFTS:
            why = "%s clicked %d times %d ms apart, %s px from the first" % (
                name, len(drift), gap, " ".join("(%d,%d)" % d for d in drift))
            editor = open_editor(s, main, page, why)
            lay = editor.layout(540)
            rect = screen_rect(editor, lay.element(button)[0])
            first = editor.to_screen(lay.centre(button))
            points = [(first[0] + dx, first[1] + dy) for dx, dy in drift]
            s.check(all(inside(rect, p) for p in points), "%s: the drift leaves %s at %s" % (why, name, rect))
            if button == 1212:
                s.check(inside(delete, first), "%s: 取消 at %s does not lie over 删除 at %s" % (why, first, delete))
            drifting_burst(s, points, gap)
            s.wait_gone(editor)
            check_page_alone(s, main, page, why)

    # Beyond 取消 and its slack, on 删除, a press is the user's own even within a burst.
    editor = open_editor(s, main, page, "a press beyond 取消")
    lay = editor.layout(540)
    cancel = screen_rect(editor, lay.element(1212)[0])
    first = editor.to_screen(lay.centre(1212))
    beyond = [p for p in ((cancel[0] - BEYOND, first[1]), (cancel[2] - 1 + BEYOND, first[1]),
                          (first[0], cancel[1] - BEYOND), (first[0], cancel[3] - 1 + BEYOND))
              if inside(delete, p)]
    s.check(beyond, "no place of 删除 at %s lies beyond 取消 at %s" % (delete, cancel))
    drifting_burst(s, [first, (first[0] + 1, first[1] + 1), beyond[0]])
    s.wait_gone(editor)
    s.wait_until(lambda: s.db_value("select count(*) from IpAddressTable") == 0,
                 what="删除 to act on a press beyond 取消 at %s" % (beyond[0],))
