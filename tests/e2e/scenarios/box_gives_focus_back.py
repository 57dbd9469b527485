"""Typing right after a box lands in the field that had the focus: 策略对象 → 添加 (an IP
object), a click in IP名称, 确定 with the name empty; "请输入 IP策略名称" comes; its 确定
is clicked once, and the name is typed at once. The object is then stored under that
name. A second time the box's 确定 is double clicked (the second press lands on the
editor's list below it and goes nowhere), with the same outcome."""

NAMES = ("e2eone", "e2etwo")


def open_editor(s, main):
    s.click(main, main.layout(103, {111: 1, 364: 2}).centre(1520))  # 添加
    return s.wait_window("策略对象")


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.click_element(main, 103, 106)  # 完整性监测
    s.click(main, main.layout(103, {111: 1}).head_centre(364, 2))  # 策略对象
    for name, double in zip(NAMES, (False, True)):
        how = "after a double click on the box's 确定" if double else "after a click on the box's 确定"
        editor = open_editor(s, main)
        lay = editor.layout(540)
        s.click(editor, lay.centre(1300))  # IP名称
        s.click(editor, lay.centre(1211))  # 确定, the name empty
        box = s.wait_window("提示")
        ok = box.to_screen(s.box_buttons(box, 1)[0])
        if double:
            s.double_click_screen(ok, 80)
        else:
            s.click_screen(ok)
        s.wait_gone(box)
        s.type(name)
        s.store_ip_object(editor, name, how)
    s.check(s.console_alive(), "the console ended")
