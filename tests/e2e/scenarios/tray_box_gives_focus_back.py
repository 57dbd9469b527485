"""Typing after the tray's about box lands in the field that had the focus before the
tray was clicked: 新建策略, the template 自定义文件系统, 下一步, a click in 策略描述 and a
key typed; tray → 关于... → 确定; then more keys: the field shows them. Likewise over
the object editor (策略对象 → 添加): IP名称 clicked, part of the name typed, tray →
关于... → 确定, the rest of the name typed; the object is stored under the whole name.
Under openbox the click on the tray gave the focus to the tray, which the window manager
would give it back to when the box goes. No window of the console that nobody sees (what
hands the focus back) is left once the keys have landed."""

import qve2e

# The template tree's rows, one under the other from its top (from a screenshot): the
# eighth is the category 自定义文件系统, itself a template, its check box at the left.
ROW = 24
CUSTOM_FILES_ROW = 7
CHECK_X = 39


def about_box(s):
    """Tray → 关于..., then one click on its 确定."""
    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    s.click(box, box.layout(557).centre(101, tag="button"))
    try:
        s.wait_gone(box)
    except s.Failure:
        s.fail("the about box stayed after a click on 确定")


def unseen_windows(s):
    """The console's shown windows of a pixel or two."""
    out = s.x(["xdotool", "search", "--onlyvisible", "--class", "quorvane.exe"], check=False)
    found = []
    for xid in (out or "").split():
        g = qve2e.Window(s, int(xid), "").geometry()
        if g and g[2] <= 2 and g[3] <= 2:
            found.append(g)
    return found


def ink(s, window, rect):
    """How many pixels of `rect` are dark: text drawn there."""
    return sum(1 for row in s.pixels(window, rect) for p in row if sum(p) < 300)


def over_the_wizard(s, main):
    wizard = s.new_strategy_wizard(main)
    lay = wizard.layout(550)
    tree = lay.element(5040)[0]
    s.click(wizard, (tree[0] + CHECK_X, tree[1] + ROW // 2 - 1 + CUSTOM_FILES_ROW * ROW))
    s.click(wizard, lay.centre(10000))  # 下一步
    field = lay.element(3031)[0]  # 策略描述
    s.click(wizard, lay.centre(3031))
    s.type("i")
    about_box(s)
    s.type("wwwwwwww")
    # Right of the first key's glyph: the later keys' glyphs, far more ink than a caret.
    rest = (field[0] + 20, field[1] + 3, field[2] - 3, field[3] - 3)
    try:
        s.wait_until(lambda: ink(s, wizard, rest) > 60, what="the keys typed after the about box in 策略描述")
    except s.Failure:
        s.fail("the keys typed after the tray's about box did not reach 策略描述 in the wizard")
    s.wait_until(lambda: not unseen_windows(s), what="the console's unseen windows to go")
    s.click(wizard, lay.centre(101, tag="button"))  # 退出
    s.wait_gone(wizard)


def over_the_object_editor(s, main):
    s.click(main, main.layout(103, {111: 1}).head_centre(364, 2))  # 策略对象
    s.click(main, main.layout(103, {111: 1, 364: 2}).centre(1520))  # 添加
    editor = s.wait_window("策略对象")
    lay = editor.layout(540)
    s.click(editor, lay.centre(1300))  # IP名称
    s.type("e2e")
    about_box(s)
    s.type("tray")
    s.store_ip_object(editor, "e2etray", "after the tray's about box")


def scenario(s):
    s.start_service()
    main = s.start_console()
    over_the_wizard(s, main)
    over_the_object_editor(s, main)
    s.check(s.console_alive(), "the console ended")
