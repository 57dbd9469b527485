"""A database held by another program never freezes the window: another process holds
the database (BEGIN EXCLUSIVE) for 15 s while host notices come from the service link
five times a second. The box that says the database is busy comes once and closes on
its click; a click on the window's close button is answered (its question shows)
within a second all through the lock; once the lock ends the hosts' latest states are
in the database, and no other box came."""

import sqlite3
import threading
import time

HOSTS = ("10.0.0.1", "10.0.0.2", "10.0.0.3")
LOCK_SECONDS = 15
ONLINE, OFFLINE = 1529, 1530


def address(ip):
    a, b, c, d = (int(p) for p in ip.split("."))
    return a | b << 8 | c << 16 | d << 24


def answered(s, what, act, timeout=1.0):
    """Runs `act` (a click) and waits at most `timeout` s for what it should bring."""
    act()
    try:
        return s.wait_until(what[1], timeout, what[0])
    except s.Failure:
        s.fail("%s: not answered within %.1f s of the click, during the lock (%s)"
               % (what[0], timeout, s.window_titles()))


def scenario(s):
    for ip in HOSTS:
        s.db_exec("insert into Client(Name,IP,MAC,Status,Type,Stopped) values(?,?,'',0,0,0)", (ip, ip))
    peer = s.start_peer()
    main = s.start_console()
    peer.wait_connected()

    held = sqlite3.connect(s.db_path, timeout=10, isolation_level=None)
    held.execute("BEGIN EXCLUSIVE")
    locked_at = time.monotonic()
    last = {}
    stop = threading.Event()

    def notices():
        i = 0
        while not stop.is_set():
            ip, online = HOSTS[i % 3], i // 3 % 2 == 0
            peer.send(0, address(ip), ONLINE if online else OFFLINE)
            last[ip] = 1 if online else 0
            i += 1
            stop.wait(0.2)

    sender = threading.Thread(target=notices, daemon=True)
    sender.start()
    try:
        busy = s.wait_window("错误", 5)
        ok = s.box_buttons(busy, 1)[0]
        s.click(busy, ok)
        s.wait_gone(busy, 3)  # as any box goes, lock or not
        rounds = 0
        while time.monotonic() - locked_at < LOCK_SECONDS - 3:
            ask = answered(s, ("the close question", lambda: (s.windows("确定") or [None])[-1]),
                           lambda: s.click(main, main.layout(103).centre(101)))
            no = s.box_buttons(ask, 2)[1]
            s.click(ask, no)
            s.wait_gone(ask, 3)
            s.check(not s.windows("错误"), "a second box came during the lock")
            rounds += 1
            time.sleep(0.5)
        s.check(rounds >= 3, "only %d clicks during the lock" % rounds)
    finally:
        while time.monotonic() - locked_at < LOCK_SECONDS:
            time.sleep(0.1)
        held.execute("COMMIT")
        held.close()
        stop.set()
        sender.join(2)

    def written():
        rows = dict(s.db_rows("select IP, Status from Client"))
        return all(rows.get(ip) == state for ip, state in last.items())
    s.wait_until(written, 10, "the hosts' latest states in the database after the lock")
    time.sleep(1.5)  # a retry that would tell again has come by now
    s.check(not s.windows("错误"), "a second box came after the lock")
    s.check(s.console_alive(), "the console ended")
