"""Quick clicks on the online update's answer never start the check again: tray →
升级... → 联网升级 → 开始升级; the check finds nothing (no update endpoint answers) and
says "暂无更新" in a box whose 确定 lies over the page's 开始升级. A burst of four quick
clicks (80 to 150 ms apart) on 确定: the first ends the box, the others belong to it, and
no second box comes. So with a double click whose second press lands 3 px off the
first, still on 确定. A click made after the double-click time is the user's own and
starts the check again."""

import time

import qve2e

BURSTS_MS = ((80, 150, 120), (150, 80, 100))  # between four quick clicks
OFF_PX = ((3, 0), (-3, 2))  # where the second press of a double click lands, from the first
LATE_S = 1.0  # a click this long after the one before it is past the double-click time (0.5 s)
CHECK_S = 2 * qve2e.LIMIT  # the check may wait for the network before it gives up


def start_check(s, main, page, why):
    s.click(main, page.centre(218))  # 开始升级
    try:
        return s.wait_window("自动更新", CHECK_S)
    except s.Failure:
        s.fail("%s: 开始升级 gave no answer (%s)" % (why, s.window_titles()))


def double_click_off(s, at, off, gap_ms=100):
    """Two clicks, the second `off` from the first and pressed `gap_ms` after it."""
    s.x(["xdotool", "mousemove", str(at[0]), str(at[1]), "click", "1", "sleep", "%.3f" % (gap_ms / 1000.0),
         "mousemove", str(at[0] + off[0]), str(at[1] + off[1]), "click", "1"])


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.tray_command(0, 2)  # "升级...", "关于..."
    page = main.layout(103, {111: 0, 129: 3})
    # 联网升级: the radio's place is its box's corner in the layout (its size is the skin's);
    # the page's origin from 开始升级 (300,214 in the layout).
    r = page.element(218)[0]
    s.click(main, (r[0] - 300 + 40 + 6, r[1] - 214 + 104 + 7))
    box = start_check(s, main, page, "the first check")
    ok = s.box_buttons(box, 1)[0]
    start = main.to_screen(page.centre(218))
    at = box.to_screen(ok)
    r = page.element(218)[0]
    s.check(main.to_screen((r[0], r[1]))[0] <= at[0] <= main.to_screen((r[2], r[3]))[0] and
            main.to_screen((r[0], r[1]))[1] <= at[1] <= main.to_screen((r[2], r[3]))[1],
            "the box's 确定 at %s does not lie over 开始升级 at %s" % (at, start))
    s.click(box, ok)
    s.wait_gone(box)
    time.sleep(LATE_S)

    for gaps in BURSTS_MS:
        why = "four clicks on 确定, %s ms apart" % "/".join(str(g) for g in gaps)
        box = start_check(s, main, page, why)
        s.burst_screen(box.to_screen(s.box_buttons(box, 1)[0]), gaps)
        s.wait_gone(box)
        # Once the page has taken the input after the clicks, no check ran again.
        s.settle(main, page.element(218)[0], ("自动更新",))
        s.check(not s.windows("自动更新"), "%s: the check ran again" % why)
        time.sleep(LATE_S)

    for off in OFF_PX:
        why = "确定 double clicked, the second press (%d,%d) px off" % off
        box = start_check(s, main, page, why)
        double_click_off(s, box.to_screen(s.box_buttons(box, 1)[0]), off)
        s.wait_gone(box)
        # Once the page has taken the input after the clicks, no check ran again.
        s.settle(main, page.element(218)[0], ("自动更新",))
        s.check(not s.windows("自动更新"), "%s: the check ran again" % why)
        time.sleep(LATE_S)

    # Past the double-click time a click on the same place is a new one: the check runs.
    box = start_check(s, main, page, "a late click")
    at = box.to_screen(s.box_buttons(box, 1)[0])
    s.click_screen(at)
    first = time.monotonic()
    s.wait_gone(box)
    time.sleep(max(0.0, first + LATE_S - time.monotonic()))
    s.click_screen(at)
    s.wait_window("自动更新", CHECK_S)
