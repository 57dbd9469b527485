"""A double click on the device login test's 关闭 never acts on the wizard below it:
监测策略 → 新建策略 → a network-device template → 设备登录参数 → 验证登录; the test
(127.0.0.1, where no device answers) says it failed; 关闭 is double clicked, 20 to
300 ms between the clicks. 关闭 lies over the wizard's 验证登录: the first click ends the
test and the second press goes nowhere, so no new test opens. A new click made after
the double-click time is the user's own and opens a new test. So with a burst of four
quick clicks (80 to 150 ms apart) on 关闭: none after the first opens a test."""

import time

GAPS_MS = (20, 80, 150, 300)  # between the two clicks of a double click
BURSTS_MS = ((80, 150, 120), (150, 80, 100))  # between four quick clicks
LATE_S = 1.0  # a click this long after the one before it is past the double-click time (0.5 s)
DEVICE = ("127.0.0.1", "sw-01")


def open_login_panel(s, main):
    """The wizard of a new strategy on its 设备登录参数 panel, filled in."""
    wizard = s.open_wizard(main)
    lay = wizard.layout(550)
    tree = lay.element(5040)[0]
    s.click(wizard, (tree[0] + 120, tree[1] + 12))  # the first template
    # The network-device templates, the first of them ticked.
    s.key("Down", "Down", "Down", "Down", "Down", "Right", "Down", "space")
    s.click(wizard, lay.centre(10000))  # 下一步
    lay = wizard.layout(550)
    for element, text in ((3000, "e2e-device"), (3001, "e2e"), (3005, "admin"), (3006, "pw"), (3007, "pw")):
        s.click(wizard, lay.centre(element))
        s.key("ctrl+a", "BackSpace")
        s.type(text)
    return wizard, lay


def start_test(s, wizard, lay, why, pressed=None):
    """验证登录 clicked; after a burst on 关闭, which lies over it, once the user has rested
    past the double-click time (`pressed`: when the burst's last press went): a click
    sooner would still be the burst's."""
    if pressed is not None:
        time.sleep(max(0.0, pressed + LATE_S - time.monotonic()))
    s.click(wizard, lay.centre(10022))  # 验证登录
    try:
        return s.wait_window("验证登录")
    except s.Failure:
        s.fail("%s: 验证登录 opened no test (%s)" % (why, s.window_titles()))


def wizard_alone(s, wizard, lay, why):
    """Once the wizard has taken the input after the clicks, no new test opened."""
    s.settle(wizard, lay.element(10000)[0], ("验证登录",))  # 下一步, away from the clicks
    s.check(not s.windows("验证登录"), "%s: a new test opened" % why)


def scenario(s):
    s.db_exec("insert into Client(IP,Name,MAC,Status,Type) values(?,?,?,?,?)", DEVICE + ("001122334477", 1, 1))
    s.start_service()
    main = s.start_console()
    wizard, lay = open_login_panel(s, main)
    pressed = None
    for gap in GAPS_MS:
        why = "关闭 double clicked, %d ms between the clicks" % gap
        test = start_test(s, wizard, lay, why, pressed)
        s.double_click_screen(test.to_screen(test.layout(535).centre(101)), gap)
        pressed = time.monotonic()
        s.wait_gone(test)
        wizard_alone(s, wizard, lay, why)

    for gaps in BURSTS_MS:
        why = "four clicks on 关闭, %s ms apart" % "/".join(str(g) for g in gaps)
        test = start_test(s, wizard, lay, why, pressed)
        s.burst_screen(test.to_screen(test.layout(535).centre(101)), gaps)
        pressed = time.monotonic()
        s.wait_gone(test)
        wizard_alone(s, wizard, lay, why)

    # Past the double-click time a click on the same place is a new one: 验证登录 acts.
    test = start_test(s, wizard, lay, "a late click", pressed)
    at = test.to_screen(test.layout(535).centre(101))
    s.click_screen(at)
    first = time.monotonic()
    s.wait_gone(test)
    time.sleep(max(0.0, first + LATE_S - time.monotonic()))
    s.click_screen(at)
    s.wait_window("验证登录")
