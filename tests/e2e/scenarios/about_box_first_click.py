"""The first click on a freshly shown box acts: tray → 关于..., one click on 确定 closes
the about box, with no other input; the main window's close button asks "您确定关闭么？"
and one click on 否 closes that box too.

Under openbox, a window moved with the window manager stays where it was put: the about
box dragged with Alt, another moved from openbox's window menu (Alt+Space, 移动, arrow
keys), and the main window dragged with Alt each stand at their new place after the
move and still once the console has taken input after it, and a click there acts."""

import re
import time


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    time.sleep(0.5)  # a user reads it first
    s.click(box, box.layout(557).centre(101, tag="button"))
    try:
        s.wait_gone(box)
    except s.Failure:
        s.fail("the about box stayed after the first click on 确定")
    # The main window is enabled again: its close button asks.
    ask_and_refuse(s, main)
    if s.wm == "openbox":
        moves_with_the_window_manager(s, main)
    s.check(s.console_alive(), "the console ended")


def ask_and_refuse(s, main):
    s.click(main, main.layout(103).centre(101))
    ask = s.wait_window("确定")
    time.sleep(0.5)
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    try:
        s.wait_gone(ask)
    except s.Failure:
        s.fail("the close question stayed after the first click on 否")


def moves_with_the_window_manager(s, main):
    # The about box, dragged with Alt by its text.
    s.tray_command(1, 2)
    box = s.wait_window("关于...")
    time.sleep(0.5)
    place = alt_drag(s, box, (200, 140), (-200, -120))
    stays(s, box, place, "the about box dragged with Alt")
    close_about(s, box, "the about box dragged with Alt")

    # Another, moved from openbox's window menu with the keyboard.
    s.tray_command(1, 2)
    box = s.wait_window("关于...")
    time.sleep(0.5)
    s.click(box, (200, 140))  # its text: openbox gives it the keyboard
    start = box.geometry()[:2]
    before = shown_tops(s)
    s.key("alt+space")
    s.wait_until(lambda: shown_tops(s) - before, what="openbox's window menu")
    s.key("m")  # 移动(M)
    s.key(*(["Left"] * 10 + ["Up"] * 6))
    place = s.wait_until(lambda: moved_from(box, start), what="the about box to follow the arrow keys")
    s.key("Return")
    stays(s, box, place, "the about box moved with the keyboard")
    close_about(s, box, "the about box moved with the keyboard")

    # The main window, dragged with Alt by its body.
    place = alt_drag(s, main, (480, 400), (-100, -60))
    at_place(s, main, place, "the main window dragged with Alt")
    ask_and_refuse(s, main)  # taken at its new place: the console has seen the move
    at_place(s, main, place, "the main window dragged with Alt", "was put back")


def shown_tops(s):
    """The shown windows at the top of the display (the window manager's frames and its
    menus among them)."""
    out = s.x(["xwininfo", "-root", "-children"])
    return {w for w in re.findall(r"^\s+(0x[0-9a-f]+)", out, re.M)
            if "IsViewable" in (s.x(["xwininfo", "-id", w], check=False) or "")}


def alt_drag(s, window, grab, by):
    """Drags `window` with Alt held from `grab` (client coordinates) by `by`, in steps as
    a hand does; returns the place (screen) its corner should have now."""
    g = window.geometry()
    x, y = window.to_screen(grab)
    s.x(["xdotool", "mousemove", str(x), str(y), "keydown", "alt", "mousedown", "1"])
    for i in range(1, 11):
        s.x(["xdotool", "mousemove", str(x + by[0] * i // 10), str(y + by[1] * i // 10)])
    s.x(["xdotool", "mouseup", "1", "keyup", "alt"])
    return (g[0] + by[0], g[1] + by[1])


def moved_from(window, start):
    g = window.geometry()
    return g[:2] if g and g[:2] != start else None


def at_place(s, window, place, what, fault="stands"):
    """The window stands at `place` (once the move is done)."""
    try:
        s.wait_until(lambda: (window.geometry() or (None, None))[:2] == place)
    except s.Failure:
        g = window.geometry()
        s.fail("%s %s at %s, not at %s where it was put" % (what, fault, g and g[:2], place))


def stays(s, box, place, what):
    """The about box stands at `place` after the move, and still once the console has
    taken input after it (its 确定 lights up under the mouse)."""
    at_place(s, box, place, what)
    s.settle(box, box.layout(557).element(101, "button")[0])
    g = box.geometry()
    s.check(g and g[:2] == place, "%s was put back: at %s, not at %s" % (what, g and g[:2], place))


def close_about(s, box, what):
    """确定 clicked at the box's new place closes it."""
    s.click(box, box.layout(557).centre(101, tag="button"))
    try:
        s.wait_gone(box)
    except s.Failure:
        s.fail("%s stayed after a click on 确定 at its new place" % what)
