"""The first click on a freshly shown box acts at once: tray → 关于..., one click on 确定
closes the about box within a second; the main window's close button asks "您确定关闭么？"
and one click on 否 closes that box within a second too."""

import time

AT_ONCE = 1.0  # seconds a closing box may stay on the screen


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    time.sleep(0.5)  # a user reads it first
    s.click(box, box.layout(557).centre(101, tag="button"))
    try:
        s.wait_gone(box, AT_ONCE)
    except s.Failure:
        s.fail("the about box stayed after the first click on 确定")
    # The main window is enabled again: its close button asks.
    s.click(main, main.layout(103).centre(101))
    ask = s.wait_window("确定", 5)
    time.sleep(0.5)
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    try:
        s.wait_gone(ask, AT_ONCE)
    except s.Failure:
        s.fail("the close question stayed after the first click on 否")
    s.check(s.console_alive(), "the console ended")
