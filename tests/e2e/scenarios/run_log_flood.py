"""The strategy page's run-log pane under a flood: with 监测策略 open, a peer sends run-log
lines (1532) past the pane's 1,000 (the first quickly, the last 20 a second, across the
first cut of the oldest lines). The pane shows its newest line (a line of "一", a dark
band across the pane in a screenshot) once past 1,000 and at the end, and a click on
运行策略 during the flood is answered as it is on a quiet console (its "请选择要执行的策略!"
box comes up within a second, or within a few times the time the same click takes
before the flood). A click made just after the service sent many lines at once is
answered as soon: the console takes the user's click before the lines still to come.
Each look at the pane comes once the console has taken the input after the lines (a
button lights up under the mouse). After a failure
reason far wider than the pane, the short lines that follow show from their start: the
pane is not left scrolled to the end of the long line, empty. A wait for what the lines
should show ends once the console has handled them all and taken input after them."""

import struct
import threading
import time

FAST = 1060       # sent as quickly as the console takes them
PACED = 80        # then 20 a second
BACKLOG = 600     # sent at once, then a click: seconds of work for the console
SHORT = 40        # short lines after a long one: more than the pane shows
RATE = 20
QUIET = 3         # clicks timed before the flood
NAME = "月度策略"
MARK = "10.9.9.9"  # a host whose notices go behind the lines


def address(ip):
    a, b, c, d = (int(p) for p in ip.split("."))
    return a | b << 8 | c << 16 | d << 24


class Marks:
    """Tells when the lines sent so far have all been handled: a notice for MARK goes
    behind them, and the console, which takes the link's frames in order, writes the
    host's state as it handles it. after() sends one and gives a wait's `gone`: what the
    lines should show can no longer come once they were handled and the console has
    taken input after them (`settle`, which it paints after what came before).
    handled() sends one and waits until the console has handled it."""

    def __init__(self, s, peer, settle):
        self.s, self.peer, self.settle, self.online = s, peer, settle, 0

    def _send(self):
        self.online = 1 - self.online
        online = self.online
        self.peer.send(0, address(MARK), 1529 if online else 1530)
        return lambda: self.s.db_value("select Status from Client where IP=?", (MARK,)) == online

    def after(self):
        handled = self._send()

        def gone():
            if not handled():
                return None
            self.settle()
            return "the console had handled every line sent and taken input after them"
        return gone

    def handled(self):
        self.s.wait_until(self._send(), what="the console to handle the lines sent")


def run_log(result, reason=""):
    """A 1532 record: result, the name in 64 UTF-16 units, the reason NUL-terminated."""
    name = NAME.encode("utf-16-le").ljust(128, b"\0")
    return struct.pack("<I", result) + name + reason.encode("utf-16-le") + b"\0\0"


def dark_band(s, main, rect):
    """A pixel row of the pane (without its scroll bars) that is dark across much of it:
    no line but the one of "一" inks more than a fifth of a row."""
    inner = (rect[0] + 4, rect[1] + 4, rect[2] - 24, rect[3] - 24)
    for row in s.pixels(main, inner):
        if sum(1 for p in row if sum(p) < 600) > 0.4 * len(row):
            return True
    return False


def shows_line_starts(s, main, rect):
    """The left part of the pane (where the lines start, "策略名称：...") holds dark text
    across its rows: at least a third of its pixel rows have some."""
    left = (rect[0] + 4, rect[1] + 4, rect[0] + 160, rect[3] - 24)
    rows = s.pixels(main, left)
    inked = sum(1 for row in rows if sum(1 for p in row if sum(p) < 300) >= 2)
    return inked >= len(rows) / 3


def newest_in_view(s, main, page, pane, line, gone):
    """The line of "一" comes into view and stays there (a screenshot taken while the
    console is between two steps of its work does not count: it is looked at again once
    the console has taken input after it)."""
    s.wait_until(lambda: dark_band(s, main, pane), what="line %d in view in the run-log pane" % line, gone=gone)
    settle(s, main, page)
    s.check(dark_band(s, main, pane), "line %d came into view in the run-log pane and left it" % line)


def settle(s, main, page):
    s.settle(main, page.element(118)[0])  # 暂停计划, which no step clicks


def run_clicked(s, main, page):
    """Clicks 运行策略 with no strategy ticked and closes the warning it brings; the
    seconds the warning took to come."""
    took, box = s.answer_time(lambda: s.click(main, page.centre(117)), lambda: (s.windows("警告") or [None])[-1],
                              "the warning of 运行策略")
    s.click(box, s.box_buttons(box, 1)[0])
    s.wait_gone(box)
    return took


def send_paced(peer, count, failures):
    start = time.monotonic()
    try:
        for i in range(count):
            time.sleep(max(0.0, start + i / RATE - time.monotonic()))
            peer.send(0, 0, 1532, run_log(1 + i % 2))
    except Exception as e:  # told by the scenario
        failures.append(e)


def scenario(s):
    s.db_exec("insert into StrategyTable(StrategyName,StrategyDescriptor,StrategyType,TaskMode,Status,RunStatus,"
              "Ip,id) values(?,?,?,?,?,?,?,?)", (NAME, "每月一次", 7, 0, 1, 0, "10.0.0.1", "1"))
    s.db_exec("insert into Client(Name,IP,MAC,Status,Type) values(?,?,'',0,0)", (MARK, MARK))
    peer = s.start_peer()
    main = s.start_console()
    peer.wait_connected()
    s.click_element(main, 103, 106)  # 完整性监测
    area = main.layout(103, {111: 1})
    s.click(main, area.head_centre(364, 1))  # 监测策略
    page = main.layout(103, {111: 1, 364: 1})
    pane = page.element(125)[0]
    marks = Marks(s, peer, lambda: settle(s, main, page))
    settle(s, main, page)  # the page is up
    quiet = [run_clicked(s, main, page) for _ in range(QUIET)]
    median = sorted(quiet)[len(quiet) // 2]

    newest = run_log(3, "一" * 300)
    for i in range(FAST - 1):
        peer.send(0, 0, 1532, run_log(1 + i % 2))
    peer.send(0, 0, 1532, newest)
    newest_in_view(s, main, page, pane, FAST, marks.after())
    failures = []
    sender = threading.Thread(target=send_paced, args=(peer, PACED, failures))
    sender.start()
    time.sleep(PACED / RATE / 2)
    answered = run_clicked(s, main, page)
    sender.join()
    s.check(not failures, "the peer could not send: %s" % failures)
    s.check(s.quick_enough(answered, quiet), "运行策略 was answered %.1f s after the click, during the flood "
            "(%.1f s before it)" % (answered, median))

    for i in range(BACKLOG):
        peer.send(0, 0, 1532, run_log(1 + i % 2))
    answered = run_clicked(s, main, page)
    s.check(s.quick_enough(answered, quiet), "运行策略 was answered %.1f s after the click, behind %d lines sent "
            "at once (%.1f s before them)" % (answered, BACKLOG, median))

    peer.send(0, 0, 1532, newest)
    newest_in_view(s, main, page, pane, FAST + PACED + BACKLOG + 1, marks.after())

    # A reason far wider than the pane, then short lines.
    peer.send(0, 0, 1532, run_log(3, "目标主机不可达 access denied " * 150))
    for i in range(SHORT):
        peer.send(0, 0, 1532, run_log(1 + i % 2))
    s.wait_until(lambda: shows_line_starts(s, main, pane),
                 what="the short lines after a long one to show in the run-log pane", gone=marks.after())
    for i in range(3):  # and the next lines leave them so
        peer.send(0, 0, 1532, run_log(2))
        settle(s, main, page)
    marks.handled()
    settle(s, main, page)
    s.check(shows_line_starts(s, main, pane), "the run-log pane went empty after more short lines")
