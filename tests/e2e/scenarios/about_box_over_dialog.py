"""A box opened from the tray holds the dialog that stands: 监测策略 → 新建策略, the first
template chosen; tray → 关于.... While the about box stands, a click on another template,
the keys Down and space, and a click on the wizard's 退出 change nothing: once the
console has taken the input after them (the box's 确定 lights up under the mouse) the
box stands and the templates look as before, and once the wizard has taken input after
the box has gone (its 下一步 lights up) the wizard stays. Under openbox the click does
not raise the wizard over the box: one click on the box's 确定 ends it. Then the wizard
takes clicks again: 退出 ends it."""


def scenario(s):
    s.start_service()
    main = s.start_console()
    wizard = s.open_wizard(main)
    lay = wizard.layout(550)
    tree = lay.element(5040)[0]
    s.click(wizard, (tree[0] + 120, tree[1] + 12))  # the first template
    exit_button = lay.centre(101, tag="button")  # 退出

    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    # The templates beside the box, as the user sees them while it stands.
    b, w = box.geometry(), wizard.geometry()
    strip = (tree[0], tree[1], min(tree[2], b[0] - w[0]), tree[3])
    s.check(strip[2] - strip[0] > 150, "the about box covers the wizard's templates")
    before = s.stable_pixels(wizard, strip, "the wizard's templates to settle")

    s.click(wizard, (tree[0] + 60, tree[1] + 12 + 2 * 18))  # a later template
    s.key("Down", "space")
    s.click(wizard, exit_button)
    ok = box.layout(557).element(101, "button")[0]  # 确定
    went = "the about box went on a click on the wizard"
    took = "the wizard took a click or a key while the about box stood"
    try:
        s.settle(box, ok)
    except s.Failure:  # the box went, or the wizard stands over it
        s.check(box.shown(), went)
        s.check(s.pixels(wizard, strip) == before, took)
        raise
    s.check(box.shown(), went)
    s.check(s.pixels(wizard, strip) == before, took)

    s.click(box, ((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2))
    try:
        s.wait_gone(box)
    except s.Failure:
        s.fail("one click on the about box's 确定 did not end it")
    ended = "the wizard ended on the 退出 clicked while the about box stood"
    try:
        s.settle(wizard, lay.element(10000)[0])  # 下一步, away from 退出
    except s.Failure:
        s.check(wizard.shown(), ended)
        raise
    s.check(wizard.shown(), ended)

    # The wizard is the user's again.
    s.click(wizard, exit_button)
    s.wait_gone(wizard)
    s.check(s.console_alive(), "the console ended")
