"""A quick click never leaves a box unable to end: tray → 关于..., 确定 clicked 0.15 s
after the box appears, again and again; then a second 关于... from the tray while one
stands, and both close, the top one first. Each box must close on its click; a box
left standing is tried with ✕ (and Alt+F4, which the about box leaves
alone by design) before the scenario fails."""

import time

ROUNDS = 25
LATE_S = 1.0  # a click this long after the one before it is past the double-click time (0.5 s)


def gone(s, box, timeout):
    try:
        s.wait_gone(box, timeout)
        return True
    except s.Failure:
        return False


def close_about(s, box, why):
    """Clicks 确定 0.15 s after the box appeared; the box must go."""
    time.sleep(0.15)
    s.click(box, box.layout(557).centre(101, tag="button"))
    # A locked box never goes; a busy machine may take long over one that does. The
    # tries after it only say more of a box that stayed.
    if gone(s, box, s.LIMIT):
        return
    tried = []
    s.click(box, box.layout(557).centre(101, tag="imgbtn"))
    tried.append("✕ %s" % ("closed it" if gone(s, box, 3) else "did nothing"))
    if box.shown():
        s.key("alt+F4")
        tried.append("Alt+F4 %s" % ("closed it" if gone(s, box, 3) else "did nothing"))
    s.fail("%s: the about box stayed after a click on 确定 (%s); %s" % (why, ", ".join(tried), s.where(box)))


def scenario(s):
    s.start_service()
    main = s.start_console()
    for i in range(ROUNDS):
        s.tray_command(1, 2)  # "升级...", "关于..."
        close_about(s, s.wait_window("关于..."), "round %d" % (i + 1))

    # A second about box from the tray while the first stands.
    s.tray_command(1, 2)
    first = s.wait_window("关于...")
    time.sleep(0.3)
    s.tray_command(1, 2)
    both = s.wait_until(lambda: len(s.windows("关于...")) == 2 and s.windows("关于..."),
                        what="a second about box")
    second = [w for w in both if w.xid != first.xid][0]
    close_about(s, second, "the second box")
    closed = time.monotonic()
    # Once the console has taken the input after the click (the first box's 确定 lights
    # up under the mouse), the first box still stands.
    s.settle(first, first.layout(557).element(101, "button")[0])
    s.check(first.shown(), "the first box went with the second")
    # 确定 of the first box stands where the second's did: a click there within the
    # double-click time would be the second half of a double click, which goes nowhere.
    time.sleep(max(0.0, closed + LATE_S - time.monotonic()))
    close_about(s, first, "the first box, after the second")

    # The main window answers again: its close button asks.
    s.click(main, main.layout(103).centre(101))
    ask = s.wait_window("确定")
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    s.wait_gone(ask)
    s.check(s.console_alive(), "the console ended")
