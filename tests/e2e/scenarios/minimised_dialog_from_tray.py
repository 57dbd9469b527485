"""A dialog minimised over the main window comes back from the tray: 监测策略 → 新建策略
→ a network-device template → 设备登录参数, the cursor in 策略名称; the wizard's 最小化
takes it and the main window off the screen. A double click on the tray icon brings
both back, the wizard in front of the main window as it was, and typing lands in
策略名称 (without a window manager once the pointer is on the wizard: X's keyboard
focus follows the pointer there); its 退出 then ends it, and the main window takes
clicks again (新建策略 opens the wizard anew). The same with the object editor (策略对象
→ MAC地址 → 添加): back from the tray, typing lands in its name field, and 取消 ends it
without storing anything."""

DOUBLE_CLICK_GAP_MS = 100


def typed(s, window, rect):
    """Whether the edit at `rect` shows text: dark pixels in more columns than a caret."""
    inner = (rect[0] + 3, rect[1] + 3, rect[2] - 3, rect[3] - 3)
    rows = s.pixels(window, inner)
    return sum(1 for c in range(len(rows[0])) if any(sum(row[c]) < 250 for row in rows)) >= 6


def minimise_and_restore(s, main, dialog, layout_id, minimise, field, heading, why):
    """The cursor in the empty `field`; `minimise` clicked: the dialog and the main window
    leave the screen. The tray's double click brings both back, the dialog over the main
    window as it looked (its `heading` rows), and what is typed then lands in the field."""
    lay = dialog.layout(layout_id)
    s.click(dialog, lay.centre(field))
    s.key("ctrl+a", "BackSpace")
    tray = s.tray_window()
    s.move(tray.to_screen((10, 10)))
    top = s.stable_pixels(dialog, heading, "%s to settle" % why)
    s.click(dialog, lay.centre(minimise))
    s.wait_until(lambda: not dialog.shown() and not main.shown(),
                 what="%s and the main window to leave the screen on 最小化 (%s)" % (why, s.window_titles()))
    s.double_click_screen(tray.to_screen((10, 10)), DOUBLE_CLICK_GAP_MS)
    s.wait_until(lambda: dialog.shown() and main.shown(),
                 what="the tray's double click to bring back %s and the main window (%s)" % (why, s.window_titles()))
    s.wait_until(lambda: s.pixels(dialog, heading) == top,
                 what="%s to stand in front of the main window as before" % why)
    if s.wm == "none":
        # Without a window manager X's keyboard focus follows the pointer, which the
        # double click left on the tray: the user moves it onto the dialog (no click).
        s.move(dialog.to_screen((heading[2] // 2, 10)))
    s.type("e2e")
    s.wait_until(lambda: typed(s, dialog, dialog.layout(layout_id).element(field)[0]),
                 what="what is typed after the tray's double click to land in the field of %s" % why)


def scenario(s):
    s.start_service()
    main = s.start_console()
    wizard = s.device_login_panel(main)
    heading = (0, 0, wizard.geometry()[2], 90)  # the header and the panel's title
    minimise_and_restore(s, main, wizard, 550, 103, 3000, heading, "the wizard")
    s.click(wizard, wizard.layout(550).centre(101, tag="button"))  # 退出
    s.wait_gone(wizard)
    # The main window takes clicks again.
    wizard = s.new_strategy_wizard(main)
    s.click(wizard, wizard.layout(550).centre(101, tag="button"))
    s.wait_gone(wizard)

    area = main.layout(103, {111: 1})
    s.click(main, area.head_centre(364, 2))  # 策略对象
    s.click(main, main.layout(103, {111: 1, 364: 2}).head_centre(1000, 1))  # MAC地址
    page = main.layout(103, {111: 1, 364: 2, 1000: 1})
    s.click(main, page.centre(1523))  # 添加
    editor = s.wait_window("策略对象")
    heading = (0, 0, editor.geometry()[2], 60)
    minimise_and_restore(s, main, editor, 540, 1206, 1308, heading, "the object editor")
    s.click(editor, editor.layout(540).centre(1212))  # 取消
    s.wait_gone(editor)
    s.check(s.db_value("select count(*) from MacAddressTable") == 0, "取消 stored the object")
    s.click(main, page.centre(1523))
    editor = s.wait_window("策略对象")
    s.click(editor, editor.layout(540).centre(1212))
    s.wait_gone(editor)
    s.check(s.console_alive(), "the console ended")
