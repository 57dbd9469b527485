"""A box opened from the tray holds the dialog that stands: 监测策略 → 新建策略, the first
template chosen; tray → 关于.... While the about box stands, a click on another template,
the keys Down and space, and a click on the wizard's 退出 change nothing: the templates
look as before and the wizard stays after the box has gone. Under openbox the click
does not raise the wizard over the box: one click on the box's 确定 ends it. Then the
wizard takes clicks again: 退出 ends it."""

import time

WATCH = 1.5  # seconds something that must not happen is waited for


def open_wizard(s, main):
    s.click_element(main, 103, 106)  # 完整性监测
    s.click(main, main.layout(103, {111: 1}).head_centre(364, 1))  # 监测策略
    s.click(main, main.layout(103, {111: 1, 364: 1}).centre(112))  # 新建策略
    return s.wait_window("策略向导", 5)


def stable_pixels(s, window, rect):
    """The pixels of `rect` once two looks in a row agree (a repaint has settled)."""
    last = [None]

    def settled():
        now = s.pixels(window, rect)
        same = now == last[0]
        last[0] = now
        return now if same else None
    return s.wait_until(settled, 5, "the wizard's templates to settle")


def scenario(s):
    s.start_service()
    main = s.start_console()
    wizard = open_wizard(s, main)
    lay = wizard.layout(550)
    tree = lay.element(5040)[0]
    s.click(wizard, (tree[0] + 120, tree[1] + 12))  # the first template
    exit_button = lay.centre(101, tag="button")  # 退出

    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...", 5)
    # The templates beside the box, as the user sees them while it stands.
    b, w = box.geometry(), wizard.geometry()
    strip = (tree[0], tree[1], min(tree[2], b[0] - w[0]), tree[3])
    s.check(strip[2] - strip[0] > 150, "the about box covers the wizard's templates")
    before = stable_pixels(s, wizard, strip)

    s.click(wizard, (tree[0] + 60, tree[1] + 12 + 2 * 18))  # a later template
    s.key("Down", "space")
    s.click(wizard, exit_button)
    until = time.monotonic() + WATCH
    while time.monotonic() < until:
        s.check(box.shown(), "the about box went on a click on the wizard")
        s.check(s.pixels(wizard, strip) == before, "the wizard took a click or a key while the about box stood")
        time.sleep(0.1)

    s.click(box, box.layout(557).centre(101, tag="button"))  # 确定
    try:
        s.wait_gone(box, 5)
    except s.Failure:
        s.fail("one click on the about box's 确定 did not end it")
    until = time.monotonic() + WATCH
    while time.monotonic() < until:
        s.check(wizard.shown(), "the wizard ended on the 退出 clicked while the about box stood")
        time.sleep(0.1)

    # The wizard is the user's again.
    s.click(wizard, exit_button)
    s.wait_gone(wizard, 5)
    s.check(s.console_alive(), "the console ended")
