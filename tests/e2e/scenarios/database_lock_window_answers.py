"""A database held by another program never freezes the window: another process holds
the database (BEGIN EXCLUSIVE) for 15 s while host notices come from the service link
five times a second. The box that says the database is busy comes once and closes on
its click; a click on the window's close button is answered (its question shows) all
through the lock as it is without one (within a second, or a few times the time the
same click takes before the lock); once the lock ends the hosts' latest states are in
the database, and no other box came."""

import sqlite3
import threading
import time

HOSTS = ("10.0.0.1", "10.0.0.2", "10.0.0.3")
LOCK_SECONDS = 15
ROUNDS = 3  # clicks at least, during the lock and before it
ONLINE, OFFLINE = 1529, 1530


def address(ip):
    a, b, c, d = (int(p) for p in ip.split("."))
    return a | b << 8 | c << 16 | d << 24


def ask_and_refuse(s, main, when):
    """The close button's question, answered with 否; the seconds it took to come. A
    box that tells of the database instead fails."""
    def shown():
        for title in ("错误", "确定"):
            found = s.windows(title)
            if found:
                return title, found[-1]
        return None
    took, (title, ask) = s.answer_time(lambda: s.click(main, main.layout(103).centre(101)), shown,
                                       "the close question")
    s.check(title == "确定", "a second box came %s" % when)
    s.click(ask, s.box_buttons(ask, 2)[1])  # 否
    s.wait_gone(ask)
    return took


def scenario(s):
    for ip in HOSTS:
        s.db_exec("insert into Client(Name,IP,MAC,Status,Type,Stopped) values(?,?,'',0,0,0)", (ip, ip))
    peer = s.start_peer()
    main = s.start_console()
    peer.wait_connected()
    quiet = [ask_and_refuse(s, main, "before the lock") for _ in range(ROUNDS)]

    held = sqlite3.connect(s.db_path, timeout=s.LIMIT, isolation_level=None)
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
        busy = s.wait_window("错误")
        ok = s.box_buttons(busy, 1)[0]
        s.click(busy, ok)
        s.wait_gone(busy)  # as any box goes, lock or not
        rounds = 0
        while rounds < ROUNDS or time.monotonic() - locked_at < LOCK_SECONDS - 3:
            took = ask_and_refuse(s, main, "during the lock")
            s.check(s.quick_enough(took, quiet),
                    "the close question came %.1f s after the click during the lock (%.1f s before it)"
                    % (took, sorted(quiet)[len(quiet) // 2]))
            s.check(not s.windows("错误"), "a second box came during the lock")
            rounds += 1
            time.sleep(0.5)
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
    s.wait_until(written, what="the hosts' latest states in the database after the lock")
    # Once the window has answered a click after that, no box told again.
    ask_and_refuse(s, main, "after the lock")
    s.check(s.console_alive(), "the console ended")
