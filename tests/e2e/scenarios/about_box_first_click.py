"""The first click on a freshly shown box acts: tray → 关于..., one click on 确定 closes
the about box, and the console goes on answering (its close button asks)."""

import time


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    time.sleep(0.5)  # a user reads it first
    s.click(box, box.layout(557).centre(101, tag="button"))
    s.wait_gone(box, 3)
    # The main window is enabled again: its close button asks.
    s.click(main, main.layout(103).centre(101))
    ask = s.wait_window("确定", 5)
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    s.wait_gone(ask, 3)
    s.check(s.console_alive(), "the console ended")
