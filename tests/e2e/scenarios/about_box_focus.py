"""The about box opened from the tray is the console's modal window at once: tray →
关于..., and under openbox the box has the keyboard focus (X's focus and the window
manager's active window name it), though the right click gave the focus to the tray,
another program's window. While it stands, a click on the main window's close button
asks nothing, and the box stays above the main window (under openbox the click raises
the main window and its box with it) and keeps the focus. After 确定 the main window
takes clicks again.

The about box acts on no key (Enter, Escape and Alt+F4 reach it as the elements 1 and
2, which it leaves alone), so its focus is read from X."""

import re


def scenario(s):
    s.start_service()
    main = s.start_console()
    s.tray_command(1, 2)  # "升级...", "关于..."
    box = s.wait_window("关于...")
    if s.wm == "openbox":
        s.wait_until(lambda: focused(s) == box.xid and active(s) == box.xid,
                     what="the about box to have the focus (it is on %s)" % name(s, focused(s)))

    # The main window's close button: the main window is disabled, nothing asks.
    b = box.geometry()
    close = main.layout(103).centre(101)
    at = main.to_screen(close)
    s.check(not (b[0] <= at[0] < b[0] + b[2] and b[1] <= at[1] < b[1] + b[3]),
            "the main window's close button lies under the about box")
    s.click(main, close)
    # Once the console has taken the input after the click (the box's 确定 lights up
    # under the mouse), nothing asked and the box stands.
    ok = box.layout(557).element(101, "button")[0]
    s.settle(box, ok, ("确定",))
    s.check(not s.windows("确定"), "the main window took a click while the about box stood")
    s.check(box.shown(), "the about box went on a click on the main window")
    centre = box.to_screen((b[2] // 2, b[3] // 2))
    s.wait_until(lambda: top_at(s, centre) == box.xid,
                 what="the about box to stand above the main window after a click on it")
    if s.wm == "openbox":
        s.wait_until(lambda: focused(s) == box.xid, what="the about box to keep the focus (it is on %s)"
                     % name(s, focused(s)))

    s.click(box, ((ok[0] + ok[2]) // 2, (ok[1] + ok[3]) // 2))
    s.wait_gone(box)
    # The main window takes clicks again: its close button asks.
    s.click(main, close)
    ask = s.wait_window("确定")
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    s.wait_gone(ask)
    s.check(s.console_alive(), "the console ended")


def focused(s):
    """The X window that has the keyboard focus (its client window), None for none."""
    out = s.x(["xdotool", "getwindowfocus", "-f"], check=False)
    return int(out) if out and out.strip().isdigit() else None


def active(s):
    out = s.x(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False) or ""
    m = re.search(r"window id # (0x[0-9a-f]+)", out)
    return int(m.group(1), 16) if m else None


def name(s, xid):
    if xid is None:
        return "no window"
    return (s.x(["xdotool", "getwindowname", str(xid)], check=False) or "").strip() or hex(xid)


def top_at(s, point):
    """The console window seen at a point of the screen: the one highest in X's stacking
    (of the root's children, the window managers' frames included) that covers it."""
    tree = s.x(["xwininfo", "-root", "-children"]) or ""
    # xwininfo lists the root's children top first.
    for line in tree.splitlines():
        m = re.match(r"\s+(0x[0-9a-f]+) .*?(\d+)x(\d+)\+(-?\d+)\+(-?\d+)\s+\+(-?\d+)\+(-?\d+)", line)
        if not m:
            continue
        xid = int(m.group(1), 16)
        w, h, x, y = int(m.group(2)), int(m.group(3)), int(m.group(6)), int(m.group(7))
        if not (x <= point[0] < x + w and y <= point[1] < y + h):
            continue
        if not viewable(s, xid):
            continue
        return client_of(s, xid)
    return None


def viewable(s, xid):
    return "IsViewable" in (s.x(["xwininfo", "-id", str(xid)], check=False) or "")


def client_of(s, xid):
    """The client window inside a top window (itself without a window manager)."""
    tree = s.x(["xwininfo", "-id", str(xid), "-children", "-tree"], check=False) or ""
    names = s.x(["xdotool", "search", "--onlyvisible", "--class", "quorvane.exe"], check=False) or ""
    ours = {int(v) for v in names.split()}
    if xid in ours:
        return xid
    for found in re.findall(r"(0x[0-9a-f]+)", tree):
        if int(found, 16) in ours:
            return int(found, 16)
    return xid
