"""A delete while another console saves: 策略对象 → MAC地址 → tick the object, then another
program takes the database's write lock for 3 s (BEGIN IMMEDIATE and a write, as a save
does) and 删除 is clicked meanwhile. The delete waits for the save and goes through with
no box, and the save commits as soon as it asks (its COMMIT waits for nothing the console
holds). Then a save that holds on: 删除 is refused by one box and the object stays; once
the save has ended, 删除 deletes it."""

import sqlite3
import threading
import time

HOLD_SECONDS = 3
OBJECTS = ("甲", "乙")


class Save:
    """Another console's save on a thread of its own: holds the write lock until
    `end` is set or, with a hold time, for that long; records how long its COMMIT took."""

    def __init__(self, s, hold=None):
        self.held, self.end, self.done = threading.Event(), threading.Event(), threading.Event()
        self.commit_took = None
        db = sqlite3.connect(s.db_path, timeout=s.LIMIT, isolation_level=None, check_same_thread=False)

        def run():
            try:
                db.execute("BEGIN IMMEDIATE")
                db.execute("update Client set Status = Status")
                self.held.set()
                self.end.wait(hold)
                asked = time.monotonic()
                db.execute("COMMIT")
                self.commit_took = time.monotonic() - asked
            finally:
                db.close()
                self.done.set()
        threading.Thread(target=run, daemon=True).start()
        s.check(self.held.wait(s.LIMIT), "the other console's save took no lock")

    def finish(self, s):
        self.end.set()
        s.check(self.done.wait(s.LIMIT), "the other console's save did not end")


def scenario(s):
    for number, name in enumerate(OBJECTS, 1):
        s.db_exec("insert into MacAddressTable(MacNo,MacStrategyName,MacStrategyContent) values(?,?,?)",
                  (number, name, "00-11-22-33-44-5%d" % number))
    # A peer that sends nothing: the service's host notices would meet the save too.
    peer = s.start_peer()
    main = s.start_console()
    peer.wait_connected()
    s.click_element(main, 103, 106)  # 完整性监测
    s.click(main, main.layout(103, {111: 1}).head_centre(364, 2))  # 策略对象
    s.click(main, main.layout(103, {111: 1, 364: 2}).head_centre(1000, 1))  # MAC地址
    page = main.layout(103, {111: 1, 364: 2, 1000: 1})
    grid = page.element(1347)[0]

    def left():
        return s.db_value("select count(*) from MacAddressTable")

    def delete_first():
        boxes = s.wait_until(lambda: s.check_boxes(main, grid), what="the objects' rows in the list")
        s.click(main, boxes[0])  # tick it
        s.click(main, page.centre(1525))  # 删除

    # A short save: the delete waits for it, and it is not held up.
    save = Save(s, HOLD_SECONDS)
    delete_first()
    s.wait_until(lambda: left() == 1, what="the MAC object deleted once the save had committed",
                 gone=lambda: "a box came instead" if s.windows("错误") else None)
    save.finish(s)
    s.check(save.commit_took < HOLD_SECONDS / 3.0,
            "the save's COMMIT waited %.1f s for the console" % save.commit_took)
    s.settle(main, page.element(1523)[0], ("错误",))  # 添加
    s.check(not s.windows("错误"), "a box came for the delete that waited")

    # A save that holds on: refused, told once, nothing deleted.
    save = Save(s)
    delete_first()
    box = s.wait_window("错误")
    s.check(left() == 1, "the refused delete deleted the object")
    s.click(box, s.box_buttons(box, 1)[0])
    s.wait_gone(box)
    save.finish(s)
    s.click(main, page.centre(1525))  # the object is still ticked
    s.wait_until(lambda: left() == 0, what="the MAC object deleted after the save")
    s.check(s.console_alive(), "the console ended")
