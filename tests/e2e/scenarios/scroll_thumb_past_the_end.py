"""A host picker's scroll bar thumb dragged past the end of the bar: 300 hosts, 日志中心 →
the audit log's host button; the thumb is pressed where it is painted and the pointer
goes below the bar, the button held. The bar keeps the skin's look, its thumb at the
end, while the button is held (the pointer leaving the bar must not bring up the
system's own bar, its thumb at the top) and after it goes up."""

from qve2e import Failure, wait_until

HOSTS = 300
# The system tells a window that the pointer left it from a timer of its hover time
# (400 ms); a bar that takes that wrongly shows it well within this. Waited only for
# what must not come: the fault, never the outcome.
LEAVE_SHOWS = 3.0


def runs(column):
    """[first, last) of the runs of the column that differ from its most common colour
    (the track): an arrow, with the thumb where it touches it."""
    track = max(set(column), key=column.count)
    found, start = [], None
    for i, c in enumerate(column + [track]):
        if c != track and start is None:
            start = i
        elif c == track and start is not None:
            found.append((start, i))
            start = None
    return found


def scenario(s):
    for i in range(HOSTS):
        s.db_exec("insert into Client (IP, NoteName, Name, MAC) values (?, ?, ?, ?)",
                  ("10.1.%d.%d" % (i // 250, i % 250 + 1), "", "host%03d" % i, ""))
    s.start_service()
    main = s.start_console()
    s.click_element(main, 103, 108)  # 日志中心
    s.click(main, main.layout(103, {111: 3, 364: 0}).centre(1231))  # 主机名's button
    picker = s.wait_window("审计日志")
    left, top, right, bottom = picker.layout(532).element(102)[0]  # the tree with its bar
    x = right - 7  # inside the bar, whatever its border

    def column():
        return [row[0] for row in s.pixels(picker, (x, top, x + 1, bottom))]

    # The bar as the skin paints it once the tree has filled: the thumb at the top, against
    # the up arrow, and the down arrow alone (its length is an arrow's). The thumb shrinks
    # as hosts come, down to its least size, which 300 hosts take it to: pressed before,
    # the press would find the track.
    def opened(c):
        r = runs(c)
        if len(r) != 2 or r[0][0] != 0 or r[1][1] != len(c):
            return None
        arrow = r[1][1] - r[1][0]
        return c if 0 < r[0][1] - arrow <= arrow // 2 else None
    before = wait_until(lambda: opened(column()), what="the picker's bar to show its thumb at the top")
    up, down = runs(before)
    arrow = down[1] - down[0]

    def at_end(c):
        r = runs(c)
        return len(r) == 2 and c[:arrow] == before[:arrow] and r[0] == (0, arrow) and \
            r[1][1] == len(c) and r[1][0] < len(c) - arrow

    s.press(picker, (x, top + up[1] - 3))
    s.move(picker.to_screen((x, bottom + 40)))
    wait_until(lambda: at_end(column()), what="the thumb to show at the end of the bar while held")
    try:
        wait_until(lambda: column()[:arrow] != before[:arrow], timeout=LEAVE_SHOWS, interval=0.1)
        shown = True
    except Failure:
        shown = False
    held = column()
    s.release()
    s.check(not shown, "the bar lost the skin's look while the thumb was held past its end")
    s.check(at_end(held), "held past the end, the bar did not show its thumb at the end")
    wait_until(lambda: at_end(column()), what="the thumb to stay at the end once the button went up")
    s.check(s.console_alive(), "the console ended")
