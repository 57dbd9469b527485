"""Helpers of the end-to-end suite: the console on a real (virtual) X display, driven
only by X input events, its outcome read from the database, the service's record of
frames and screenshots.

A scenario is a function `scenario(s)` in a file of tests/e2e/scenarios/; `s` is a
Session (below), made fresh for the scenario: its own Xvfb display (with openbox when
the run asks for a window manager), its own database, its own console.

    def scenario(s):
        s.start_service()              # QvService.exe (or s.start_peer())
        main = s.start_console()       # logs in as tamuk/tamuk, returns the main window
        s.click_element(main, 103, 106)      # layout 103, element 106: 完整性监测
        box = s.wait_window("提示")
        s.check(s.db_value("select count(*) from MacAddressTable") == 0, "nothing deleted")

Click points come from the layout files (res/xml) and the window's geometry on the X
display, or from a screenshot; never from the console itself.
"""

import os
import re
import select
import shutil
import signal
import socket
import sqlite3
import struct
import subprocess
import threading
import time
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
RES_XML = os.path.join(ROOT, "res", "xml")
SERVICE_PORT = 4667
# Seconds any wait for what the console does may last: what a user would give it on a
# machine that is not starved, with room for one that is busy. A safety net that only a
# console that does not do it at all runs into, never a measurement.
LIMIT = 120.0
# What a user takes for an answer at once, and how much slower than the same answer
# timed in the same run on a quiet console one may come while the console is busy.
AT_ONCE = 1.0
QUIET_FACTOR = 5
# A normal button's face under the mouse (res/xml/100.xml, "normalbtn"'s bguphover).
HOVER = (0xAD, 0xCF, 0xEA)


class Failure(Exception):
    """A scenario's check failed; the message says why."""


class Slow(Failure):
    """A helper program (xdotool, xwininfo, import, xprop) gave no answer within its
    limit: the machine is busy. Inside a wait it means "not yet"."""


# ------------------------------------------------------------------ waiting

def wait_until(cond, timeout=LIMIT, what="condition", interval=0.05, gone=None):
    """Calls cond() until it returns something true, which is returned; fails after
    `timeout` seconds with `what` in the message. A look that starts after the time is
    up is the last one, so a slow look never ends a wait early. A slow helper program
    (Slow) counts as "not yet". `gone`, when given, says why the wait is in vain (a
    program that exited) or returns None: a wait it answers fails at once, after a last
    look."""
    deadline = time.monotonic() + timeout
    slow = None
    while True:
        started = time.monotonic()
        try:
            value = cond()
        except Slow as e:
            value, slow = None, e
        if value:
            return value
        why = gone() if gone else None
        if why:
            try:
                value = cond()  # what the program did before its end is there by now
            except Slow:
                value = None
            if value:
                return value
            raise Failure("waiting for %s: %s" % (what, why))
        if started >= deadline:
            raise Failure("timed out after %.1f s waiting for %s%s"
                          % (timeout, what, " (%s)" % slow if slow else ""))
        time.sleep(interval)


# ------------------------------------------------------------------ layouts

def _styles():
    margins = {}
    tree = ET.parse(os.path.join(RES_XML, "101.xml"))
    for c in tree.getroot().iter("class"):
        m = int(c.get("margin", "0") or 0)
        margins[c.get("name")] = (int(c.get("x-margin", m) or 0), int(c.get("y-margin", m) or 0))
    return margins


def _skin_sizes():
    """Sizes of the image-list skins (the image buttons' pictures), from res/xml/100.xml
    and the pictures' headers."""
    sizes = {}
    tree = ET.parse(os.path.join(RES_XML, "100.xml"))
    for s in tree.getroot():
        name, src = s.get("name"), s.get("src")
        if not name or not src:
            continue
        dims = _picture_size(src)
        if not dims:
            continue
        w, h = dims
        sub = int(s.get("subwidth", "0") or 0)
        sizes[name] = (sub or w, h)
    return sizes


def _picture_size(src):
    for folder, ext in (("bmp", ".bmp"), ("png", ".png")):
        path = os.path.join(ROOT, "res", folder, src + ext)
        if not os.path.exists(path):
            continue
        with open(path, "rb") as f:
            head = f.read(32)
        if ext == ".bmp" and head[:2] == b"BM":
            w, h = struct.unpack("<ii", head[18:26])
            return w, abs(h)
        if ext == ".png" and head[:8] == b"\x89PNG\r\n\x1a\n":
            return struct.unpack(">II", head[16:24])
    return None


_STYLE_MARGINS = None
_SKIN_SIZES = None


def _resolve(item, origin, extent):
    center, far, value = item
    if center:
        return origin + extent // 2 + (-value if far else value)
    if far:
        return origin + extent - value
    return origin + value


def _parse_pos(text):
    items = []
    for part in text.split(","):
        part = part.strip()
        center = part.startswith("|")
        part = part.lstrip("|")
        far = part.startswith("-")
        part = part.lstrip("-")
        items.append((center, far, int(part or 0)))
    return items if len(items) in (2, 4) else None


def _layout_root(layout_id):
    with open(os.path.join(RES_XML, "%d.xml" % layout_id), "rb") as f:
        return ET.fromstring(f.read().decode("utf-8-sig").encode("utf-8"))


class Layout:
    """Element rectangles of a layout file, in the client coordinates of a window of
    the given client size: the same placement rules as the console's view (pos
    items "x,y[,x2,y2]", "-n" from the far edge, "|n" from the middle; a container's
    margins; tab pages under their heads; included files)."""

    def __init__(self, layout_id, width, height, tabs=None):
        global _STYLE_MARGINS, _SKIN_SIZES
        if _STYLE_MARGINS is None:
            _STYLE_MARGINS, _SKIN_SIZES = _styles(), _skin_sizes()
        self.rects = {}  # element id -> list of (rect, tag, visible-chain)
        self.tabs = tabs or {}  # tab control id -> page shown (default 0)
        root = _layout_root(layout_id)
        header = root.find("header")
        footer = root.find("footer")
        body = root.find("body")
        hh = int(header.get("height", "0")) if header is not None else 0
        fh = int(footer.get("height", "0")) if footer is not None else 0
        if header is not None:
            self._place_children(header, (0, 0, width, hh), True)
        if footer is not None:
            self._place_children(footer, (0, height - fh, width, height), True)
        if body is not None:
            self._place_children(body, (0, hh, width, height - fh), True)

    def _margins(self, e):
        return _STYLE_MARGINS.get(e.get("class"), (0, 0))

    def _place_children(self, parent, rect, shown):
        mx, my = self._margins(parent)
        ref = (rect[0] + mx, rect[1] + my, rect[2] - mx, rect[3] - my)
        for child in parent:
            if not isinstance(child.tag, str):
                continue
            self._place(child, ref, shown)

    def _place(self, e, ref, shown):
        width, height = ref[2] - ref[0], ref[3] - ref[1]
        pos = _parse_pos(e.get("pos", "")) if e.get("pos") else None
        if pos is None:
            x, y = ref[0], ref[1]
            rect = (x, y, x + width, y + height) if e.tag in ("dlg", "tabctrl", "dlgfile", "tab") else None
        elif len(pos) == 4:
            rect = (_resolve(pos[0], ref[0], width), _resolve(pos[1], ref[1], height),
                    _resolve(pos[2], ref[0], width), _resolve(pos[3], ref[1], height))
        else:
            x, y = _resolve(pos[0], ref[0], width), _resolve(pos[1], ref[1], height)
            size = _SKIN_SIZES.get(e.get("skin"), None) if e.tag == "imgbtn" else None
            rect = (x, y, x + size[0], y + size[1]) if size else (x, y, None, None)
        shown = shown and e.get("show", "1") != "0"
        if e.get("id"):
            self.rects.setdefault(int(e.get("id")), []).append((rect, e.tag, shown))
        if rect is None or rect[2] is None:
            return
        if e.tag == "tabctrl":
            self._place_tabs(e, rect, shown)
        elif e.tag == "dlgfile":
            inner = _layout_root(int(e.get("src")))
            self._place(inner, rect, shown) if inner.get("pos") else self._place_children(inner, rect, shown)
        else:
            self._place_children(e, rect, shown)

    def _place_tabs(self, e, rect, shown):
        th = int(e.get("tabheight", "0") or 0)
        frame = int(e.get("framepos", "0") or 0)
        page = (rect[0], rect[1] + th + frame, rect[2], rect[3])
        mx, my = self._margins(e)
        page = (page[0] + mx, page[1] + my, page[2] - mx, page[3] - my)
        chosen = self.tabs.get(int(e.get("id", "0") or 0), 0)
        for i, tab in enumerate(e.findall("tab")):
            self._place_children(tab, page, shown and i == chosen)

    def tab_head(self, tab_id, index):
        """The rectangle of head `index` of tab control `tab_id` (no hidden heads)."""
        rect, _, _ = self.element(tab_id)
        e = self._find_tag(tab_id)
        tw = int(e.get("tabwidth", "0") or 0)
        th = int(e.get("tabheight", "0") or 0)
        pos = int(e.get("tabpos", "0") or 0)
        gap = int(e.get("tabspacing", "0") or 0)
        left = rect[0] + (tw + gap) * index + pos
        return (left, rect[1], left + tw, rect[1] + th)

    def head_centre(self, tab_id, index):
        r = self.tab_head(tab_id, index)
        return ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)

    def _find_tag(self, element_id):
        for layout in os.listdir(RES_XML):
            root = _layout_root(int(layout.split(".")[0]))
            for e in root.iter():
                if e.get("id") == str(element_id) and e.tag == "tabctrl":
                    return e
        raise Failure("no tab control %d in the layouts" % element_id)

    def element(self, element_id, tag=None):
        """(rect, tag, shown) of the element; the shown one when the id stands twice;
        `tag` picks one where the id stands on elements of several kinds."""
        found = [f for f in self.rects.get(element_id, []) if tag is None or f[1] == tag]
        if not found:
            raise Failure("element %d%s is not in the layout" % (element_id, " (%s)" % tag if tag else ""))
        for f in found:
            if f[2]:
                return f
        return found[0]

    def centre(self, element_id, tag=None):
        """The centre of the element; `tag` picks one where the id stands on several."""
        if tag:
            found = [f for f in self.rects.get(element_id, []) if f[1] == tag]
            if not found:
                raise Failure("no %s %d in the layout" % (tag, element_id))
            rect = found[0][0]
        else:
            rect = self.element(element_id)[0]
        if rect[2] is None:
            raise Failure("element %d has no size in the layout" % element_id)
        return ((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)


def message_box_buttons(width, height, count):
    """Centres of the buttons of a console message box (layout 559) of the given client
    size with `count` buttons, each of the smallest width (labels of two characters):
    the bar is centred in element 60008 of the body, the buttons 25 px high at its
    bottom, 20 px apart."""
    layout = Layout(559, width, height)
    rect = [r for r in layout.rects[60008] if r[0][1] >= 25][0][0]  # the body's bar
    mx, my = _STYLE_MARGINS["client"]
    left, right, bottom = rect[0] + mx, rect[2] - mx, rect[3] - my
    button = 80
    total = count * button + (count - 1) * 20
    x = (left + right) // 2 - total // 2
    return [(x + i * (button + 20) + button // 2, bottom - 12) for i in range(count)]


def place_text(xid, title, geometry, stack):
    """Where window `xid` stands, in words: its place and size (`geometry`, None once
    it is gone) and its place in `stack` (the console's shown windows, top first, each
    (X id, title, geometry)), with the windows above it that cover part of it."""
    if geometry is None:
        return "%r (0x%x) is no longer shown" % (title, xid)
    x, y, w, h = geometry
    text = "%r (0x%x) stands at %d,%d, size %dx%d" % (title, xid, x, y, w, h)
    ids = [e[0] for e in stack]
    if xid not in ids:
        return text + ", not in the stacking order of the console's windows"
    rank = ids.index(xid)
    over = []
    for other, name, (ox, oy, ow, oh) in stack[:rank]:
        if ox < x + w and x < ox + ow and oy < y + h and y < oy + oh:
            over.append("%r (0x%x)" % (name, other))
    order = "; ".join("%r (0x%x) at %d,%d %dx%d" % ((name, other) + g) for other, name, g in stack)
    return "%s, %d of %d from the top of the console's windows%s (top first: %s)" % (
        text, rank + 1, len(stack), ", under " + ", ".join(over) if over else "", order)


# ------------------------------------------------------------------ X display

def _end(procs, sig, timeout):
    """Ends the processes, the last started first; killed if they outlast `timeout` s."""
    for p in reversed(procs):
        if p.poll() is None:
            p.send_signal(sig)
    for p in reversed(procs):
        try:
            p.wait(timeout)
        except subprocess.TimeoutExpired:
            p.kill()
            p.wait()


OPENBOX_TRIES = 3  # starts of openbox on a display before the run gives up on it
X_LIMIT = 60  # seconds a helper program may take on a busy machine before it is Slow


def _run(args, env, timeout=X_LIMIT, text=True):
    """Runs a helper program; Slow when it outlasts `timeout` s."""
    try:
        return subprocess.run(args, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.PIPE, timeout=timeout, text=text)
    except subprocess.TimeoutExpired:
        raise Slow("%s took more than %d s" % (" ".join(args[:3]), timeout)) from None


def _tail(path, lines=30):
    """The last lines of a log, for a message."""
    try:
        with open(path, errors="replace") as f:
            return "".join(f.readlines()[-lines:]).rstrip() or "(empty)"
    except OSError as e:
        return "(unreadable: %s)" % e


class Display:
    """An Xvfb display, with openbox on it when `wm` is "openbox"."""

    def __init__(self, wm, log_dir):
        self.wm = wm
        self.procs = []
        xlog = os.path.join(log_dir, "xvfb.log")
        read, write = os.pipe()
        with open(xlog, "w") as log:
            # -displayfd: Xvfb takes the first display number free on the machine.
            xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x800x24",
                                     "-nolisten", "tcp"], pass_fds=(write,), stdout=log, stderr=log)
        os.close(write)
        self.procs.append(xvfb)
        number = b""
        deadline = time.monotonic() + X_LIMIT
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            if not select.select([read], [], [], 1)[0]:
                continue
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.endswith(b"\n"):
            self.stop()
            raise Failure("Xvfb did not start within %d s; its log:\n%s" % (X_LIMIT, _tail(xlog)))
        self.name = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.name)
        if wm == "openbox":
            self._start_openbox(os.path.join(log_dir, "openbox.log"))

    def _start_openbox(self, olog, tries=OPENBOX_TRIES):
        with open(olog, "w" if tries == OPENBOX_TRIES else "a") as log:
            box = subprocess.Popen(["openbox", "--sm-disable"], env=self.env, stdin=subprocess.DEVNULL,
                                   stdout=log, stderr=log)
        self.procs.append(box)

        def managed():
            # Openbox manages the display once the root names its check window and that
            # window names itself (the window manager's own proof that it is up).
            root = _run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], self.env).stdout
            m = re.search(r"window id # (0x[0-9a-f]+)", root)
            if not m:
                return False
            own = _run(["xprop", "-id", m.group(1), "_NET_SUPPORTING_WM_CHECK", "_NET_WM_NAME"], self.env).stdout
            return m.group(1) in own and "Openbox" in own

        def ended():
            return None if box.poll() is None else "openbox exited with status %d" % box.returncode
        try:
            # Its first start on a machine builds the font cache: seconds, more when busy.
            wait_until(managed, 120, "openbox to manage the display", 0.2, ended)
        except Failure as e:
            # On a busy machine openbox now and then fails to open a display that Xvfb has
            # just reported ready: it is started again, as a user would.
            if box.poll() is not None and tries > 1:
                self.procs.remove(box)
                return self._start_openbox(olog, tries - 1)
            self.stop()
            raise Failure("%s; openbox's log:\n%s" % (e, _tail(olog)))

    def stop(self):
        _end(self.procs, signal.SIGTERM, 5)


class Window:
    """A top-level window on the display: its X id and, at lookup, its geometry."""

    def __init__(self, session, xid, title):
        self.s, self.xid, self.title = session, xid, title

    def geometry(self):
        """(x, y, width, height) of the client area on the screen, None once unmapped."""
        out = self.s.x(["xwininfo", "-id", str(self.xid)], check=False)
        if out is None or "IsViewable" not in out:
            return None
        vals = {}
        for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"):
            m = re.search(re.escape(key) + r":\s+(-?\d+)", out)
            vals[key] = int(m.group(1))
        return (vals["Absolute upper-left X"], vals["Absolute upper-left Y"], vals["Width"], vals["Height"])

    def shown(self):
        return self.geometry() is not None

    def layout(self, layout_id, tabs=None):
        g = self.geometry()
        if g is None:
            raise Failure("window %r is gone" % self.title)
        return Layout(layout_id, g[2], g[3], tabs)

    def to_screen(self, point):
        g = self.geometry()
        if g is None:
            raise Failure("window %r is gone" % self.title)
        return (g[0] + point[0], g[1] + point[1])

    def __repr__(self):
        return "%r (0x%x)" % (self.title, self.xid)


# ------------------------------------------------------------------ service peer

class Peer:
    """A loopback peer in place of the service: listens on 127.0.0.1:4667, accepts the
    console's link, records the frames it receives and sends frames of its own
    (16-byte header: payload length, type, wParam, message id; little-endian)."""

    def __init__(self, port=SERVICE_PORT):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.sock.bind(("127.0.0.1", port))
        self.sock.listen(4)
        self.conn = None
        self.frames = []
        self.lock = threading.Lock()
        self.stopped = False
        self.gone = None  # set by the session: why the console can no longer connect
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        self.sock.settimeout(0.2)
        while not self.stopped:
            try:
                conn, _ = self.sock.accept()
            except (socket.timeout, OSError):
                continue
            with self.lock:
                self.conn = conn
            self._read(conn)

    def _read(self, conn):
        buf = b""
        conn.settimeout(0.2)
        while not self.stopped:
            try:
                data = conn.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                return
            if not data:
                return
            buf += data
            while len(buf) >= 16:
                length, ftype, wparam, msg = struct.unpack("<IIII", buf[:16])
                if len(buf) < 16 + length:
                    break
                with self.lock:
                    self.frames.append((ftype, wparam, msg, buf[16:16 + length]))
                buf = buf[16 + length:]

    def wait_connected(self, timeout=LIMIT):
        wait_until(lambda: self.conn is not None, timeout, "the console to connect to the peer", gone=self.gone)

    def send(self, ftype, wparam, msg, payload=b""):
        with self.lock:
            conn = self.conn
        if conn is None:
            raise Failure("the console is not connected to the peer")
        conn.sendall(struct.pack("<IIII", len(payload), ftype, wparam, msg) + payload)

    def received(self, msg=None):
        with self.lock:
            return [f for f in self.frames if msg is None or f[2] == msg]

    def stop(self):
        self.stopped = True
        for s in (self.conn, self.sock):
            try:
                if s:
                    s.close()
            except OSError:
                pass
        self.thread.join(2)


# ------------------------------------------------------------------ prefix

class Prefix:
    """A scenario's own copy of a Wine prefix: an overlay on the original, its changes
    kept in memory (in `scratch`, a tmpfs of the run) and gone with it. The run's mount
    namespace (run.py) keeps the mounts from the rest of the machine."""

    def __init__(self, original, scratch, name):
        self.top = os.path.join(scratch, name)
        upper, work, self.path = (os.path.join(self.top, d) for d in ("upper", "work", "prefix"))
        for d in (upper, work, self.path):
            os.makedirs(d)
        r = subprocess.run(["mount", "-t", "overlay", "overlay", "-o",
                            "lowerdir=%s,upperdir=%s,workdir=%s" % (original, upper, work), self.path],
                           stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        if r.returncode != 0:
            raise Failure("no copy of the prefix %s: %s" % (original, r.stdout.strip()))

    def release(self):
        # Lazily: a process of the scenario that outlived it must not keep the next waiting.
        subprocess.run(["umount", "-l", self.path], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        shutil.rmtree(self.top, ignore_errors=True)


# ------------------------------------------------------------------ session

class Session:
    """One scenario's world: display, database, service (or peer) and console, and its
    own copy of the X11 prefix (`prefix`, a Prefix), so that nothing of another
    scenario's Wine (its wineserver, its windows, what it wrote) is there."""

    def __init__(self, name, wm, out_dir, build_dir, prefix):
        self.name, self.wm, self.out = name, wm, out_dir
        self.build = build_dir
        shutil.rmtree(out_dir, ignore_errors=True)
        os.makedirs(out_dir)
        self.procs = []
        self.peer = None
        self.console = None
        self.prefix = prefix
        self.display = None
        self.env = dict(os.environ, WINEPREFIX=prefix.path)
        try:
            self.display = Display(wm, out_dir)
            self.env.update(DISPLAY=self.display.name)
            # Wine's errors go to the scenario's logs (a program that could not start says
            # why); QV_E2E_WINEDEBUG gives the programs other traces.
            self.env["WINEDEBUG"] = os.environ.get("QV_E2E_WINEDEBUG", "-all,err+all")
            self._make_database()
            # Its own wineserver, gone as soon as this session's programs are.
            subprocess.run(["wineserver", "-p0"], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=X_LIMIT)
        except BaseException:
            self.close()
            raise

    # ---- database
    def _make_database(self):
        config = os.path.join(self.build, "SysServerPort.xml")
        if not os.path.exists(config):
            with open(config, "w", encoding="utf-8") as f:
                f.write('<?xml version="1.0" encoding="utf-8"?>\n<config>\n'
                        '  <port DSN="Quorvane" Database="Quorvane" Description="Quorvane monitoring database"\n'
                        '        IP="127.0.0.1" SqlName="sa" SqlPass=""/>\n</config>\n')
        db_dir = os.path.join(self.out, "db")
        out = subprocess.run(["python3", os.path.join(ROOT, "scripts", "mkdb"), "--config", config,
                              "--dir", db_dir, "--force"], stdout=subprocess.PIPE, text=True, check=True).stdout
        for line in out.splitlines():
            m = re.match(r"export (\w+)=(.*)", line)
            if m:
                self.env[m.group(1)] = m.group(2).strip("'\"")
        name = ET.parse(config).getroot().find("port").get("Database")
        self.db_path = os.path.join(db_dir, name + ".db")

    def db_rows(self, sql, params=()):
        with sqlite3.connect(self.db_path, timeout=LIMIT) as c:
            return c.execute(sql, params).fetchall()

    def db_value(self, sql, params=()):
        rows = self.db_rows(sql, params)
        return rows[0][0] if rows else None

    def db_exec(self, sql, params=()):
        c = sqlite3.connect(self.db_path, timeout=LIMIT)
        try:
            c.execute(sql, params)
            c.commit()
        finally:
            c.close()

    # ---- programs
    def spawn(self, args, log_name):
        path = os.path.join(self.out, log_name)
        with open(path, "w") as log:
            p = subprocess.Popen(args, env=self.env, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                 cwd=self.out)
        p.log = path
        self.procs.append(p)
        return p

    def start_service(self, data=None):
        """QvService.exe with `data` (default: its demo data), recording every frame it
        receives in frames.log; waits until it listens."""
        data = data or os.path.join(ROOT, "src", "qvservice", "QvServiceDemo.txt")
        self.frame_log = os.path.join(self.out, "frames.log")
        self.service = self.spawn(["wine", os.path.join(self.build, "src", "qvservice", "QvService.exe"),
                                   "--data", data, "--log", self.frame_log], "service.log")
        service = self.service

        def ended():
            return None if service.poll() is None else \
                "QvService.exe exited (status %d); its log:\n%s" % (service.returncode, _tail(service.log))
        wait_until(lambda: self._listening(), LIMIT, "QvService.exe to listen on 127.0.0.1:%d" % SERVICE_PORT,
                   gone=ended)

    def service_frames(self, msg=None):
        """The frames the service received: (type, wParam, message id, length) each."""
        if not os.path.exists(self.frame_log):
            return []
        frames = []
        with open(self.frame_log) as f:
            for line in f:
                m = re.match(r"type=(\d+) wparam=(\d+) id=(\d+) length=(\d+)", line)
                if m:
                    fr = tuple(int(v) for v in m.groups())
                    if msg is None or fr[2] == msg:
                        frames.append(fr)
        return frames

    def start_peer(self):
        """A loopback peer (Peer) in place of the service."""
        self.peer = Peer()
        self.peer.gone = self._console_gone
        return self.peer

    @staticmethod
    def _listening():
        """Whether something listens on 127.0.0.1:4667; read from /proc, since a probing
        connection would be taken by that listener for the console's link."""
        want = "%08X:%04X" % (0x0100007F, SERVICE_PORT)
        with open("/proc/net/tcp") as f:
            for line in f.readlines()[1:]:
                fields = line.split()
                if fields[1] in (want, "00000000:%04X" % SERVICE_PORT) and fields[3] == "0A":
                    return True
        return False

    def start_console(self, login=True):
        """Starts build/Quorvane.exe; with `login`, logs in as tamuk/tamuk and returns the
        main window, else returns the login window."""
        self.console = self.spawn(["wine", os.path.join(self.build, "Quorvane.exe")], "console.log")
        dlg = self.wait_window("登录")
        if not login:
            return dlg
        return self.login(dlg, "tamuk", "tamuk")

    def login(self, dlg, user, password):
        lay = dlg.layout(560)
        for element, text in ((103, user), (104, password)):
            self.click(dlg, lay.centre(element))
            self.key("ctrl+a", "BackSpace")
            self.type(text)
        self.click(dlg, lay.centre(101))
        return self.wait_window("完整性安全监测系统")

    def console_alive(self):
        return self.console.poll() is None

    def _console_gone(self):
        """Why a wait for the console is in vain: it exited (with the end of its log)."""
        c = self.console
        if c is None or c.poll() is None:
            return None
        return "the console exited (status %d); the end of its log:\n%s" % (c.returncode, _tail(c.log))

    # ---- the console's ways to its dialogs
    def new_strategy_wizard(self, main):
        """完整性监测 → 监测策略 → 新建策略: the strategy wizard on its templates."""
        self.click_element(main, 103, 106)  # 完整性监测
        self.click(main, main.layout(103, {111: 1}).head_centre(364, 1))  # 监测策略
        self.click(main, main.layout(103, {111: 1, 364: 1}).centre(112))  # 新建策略
        return self.wait_window("策略向导")

    def device_login_panel(self, main):
        """The new-strategy wizard on its 设备登录参数 panel: the first network-device
        template ticked, then 下一步."""
        wizard = self.new_strategy_wizard(main)
        lay = wizard.layout(550)
        tree = lay.element(5040)[0]
        self.click(wizard, (tree[0] + 120, tree[1] + 12))  # the first template
        # The network-device templates, the first of them ticked.
        self.key("Down", "Down", "Down", "Down", "Down", "Right", "Down", "space")
        self.click(wizard, lay.centre(10000))  # 下一步
        return wizard

    # ---- X
    def x(self, args, check=True, timeout=X_LIMIT):
        """Runs an X helper program (xdotool, xwininfo, ...) on the display; its output.
        A failure is a Failure (None without `check`); one that outlasts `timeout` s is
        Slow, which a wait takes for "not yet"."""
        r = _run(args, self.env, timeout=timeout)
        if r.returncode != 0:
            if check:
                raise Failure("%s failed: %s" % (" ".join(args), r.stderr.strip()))
            return None
        return r.stdout

    def windows(self, title):
        """The shown top-level windows whose title is exactly `title`."""
        out = self.x(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % re.escape(title)], check=False)
        found = []
        for line in (out or "").split():
            w = Window(self, int(line), title)
            if w.shown():
                found.append(w)
        return found

    def window_titles(self):
        """The titles of the console's shown windows, for messages."""
        out = self.x(["xdotool", "search", "--onlyvisible", "--class", "quorvane.exe"], check=False)
        titles = []
        for line in (out or "").split():
            name = self.x(["xdotool", "getwindowname", line], check=False)
            if name and name.strip():
                titles.append(name.strip())
        return "shown: " + (", ".join(titles) or "nothing")

    def wait_window(self, title, timeout=LIMIT):
        """The one shown window of that title, once it is there."""
        return self.wait_until(lambda: (self.windows(title) or [None])[-1], timeout, "window %r" % title)

    def wait_gone(self, window, timeout=LIMIT):
        """Waits for the window to close; a window that stays is told with where it stands."""
        try:
            self.wait_until(lambda: not window.shown(), timeout, "window %r to close" % window.title)
        except Failure as e:
            raise Failure("%s; %s" % (e, self.where(window))) from None

    def stacking(self):
        """The console's shown top-level windows, top first: (X id, title, geometry) each.
        The order is the window manager's (_NET_CLIENT_LIST_STACKING, bottom first) when
        one runs, else X's own (the root's children, top first)."""
        out = self.x(["xdotool", "search", "--onlyvisible", "--class", "quorvane.exe"], check=False)
        ours = [int(v) for v in (out or "").split()]
        if self.wm == "openbox":
            listed = self.x(["xprop", "-root", "_NET_CLIENT_LIST_STACKING"], check=False) or ""
            order = [int(v, 16) for v in reversed(re.findall(r"0x[0-9a-f]+", listed))]
        else:
            tree = self.x(["xwininfo", "-root", "-children"], check=False) or ""
            order = [int(v, 16) for v in re.findall(r"^\s+(0x[0-9a-f]+)", tree, re.M)]
        stack = []
        for xid in order:
            if xid not in ours:
                continue
            w = Window(self, xid, "")
            g = w.geometry()
            if g:
                name = self.x(["xdotool", "getwindowname", str(xid)], check=False)
                stack.append((xid, (name or "").strip(), g))
        return stack

    def where(self, window):
        """Where a window stands, for a message: its place, size and place in the
        stacking order against the console's other shown windows."""
        try:
            return place_text(window.xid, window.title, window.geometry(), self.stacking())
        except Slow as e:
            return "where it stands is not known (%s)" % e

    def tray_window(self):
        """The system tray that Wine shows without a desktop tray (its icons from the left)."""
        return self.wait_window("Wine System Tray")

    def popup_menu(self, timeout=LIMIT):
        """The console's shown pop-up menu (a window without a title)."""
        def find():
            out = self.x(["xdotool", "search", "--onlyvisible", "--class", "quorvane.exe"], check=False)
            for line in (out or "").split():
                info = self.x(["xwininfo", "-id", line], check=False) or ""
                if "(has no name)" not in info.splitlines()[1] if len(info.splitlines()) > 1 else True:
                    continue
                w = Window(self, int(line), "menu")
                g = w.geometry()
                if g and g[2] > 20 and g[3] > 20:
                    return w
            return None
        return self.wait_until(find, timeout, "a pop-up menu")

    def tray_command(self, index, count):
        """Right-clicks the console's tray icon (the first in Wine's tray window) and
        clicks item `index` of the `count` items of its menu."""
        tray = self.tray_window()
        self.click(tray, (10, 10), 3)
        menu = self.popup_menu()
        w, h = menu.geometry()[2:]
        item = (h - 6) / count  # 3 px of frame above and below
        self.click(menu, (w // 2, int(3 + item * index + item / 2)))

    def move(self, point):
        self.x(["xdotool", "mousemove", str(point[0]), str(point[1])])

    def click(self, window, point, button=1):
        """Moves to `point` (client coordinates of `window`) and clicks there."""
        sx, sy = window.to_screen(point)
        self.x(["xdotool", "mousemove", str(sx), str(sy), "click", str(button)])

    def click_screen(self, point, button=1):
        """Clicks at a point of the screen, whatever window is there now."""
        self.x(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", str(button)])

    def double_click_screen(self, point, gap_ms, button=1):
        """Two clicks at a point of the screen, the second pressed `gap_ms` after the
        first was released: a double click while that is within the double-click time."""
        self.x(["xdotool", "mousemove", str(point[0]), str(point[1]),
                "click", "--repeat", "2", "--delay", str(gap_ms), str(button)])

    def burst_screen(self, point, gaps_ms, button=1):
        """Quick clicks at a point of the screen, each pressed the next of `gaps_ms` after
        the one before was released."""
        args = ["xdotool", "mousemove", str(point[0]), str(point[1]), "click", str(button)]
        for gap in gaps_ms:
            args += ["sleep", "%.3f" % (gap / 1000.0), "click", str(button)]
        self.x(args)

    def colour(self, window, point):
        """The colour of one pixel of the window (client coordinates)."""
        return self.pixels(window, (point[0], point[1], point[0] + 1, point[1] + 1))[0][0]

    def settle(self, window, rect, unwanted=()):
        """Waits for a sign that the console has handled all the input given before: the
        mouse leaves and then enters the normal button at `rect` (client coordinates of
        `window`, a button nothing else covers), and its face takes the hover colour,
        which the console paints only once it has taken that move, after everything
        before it. A check that something did not happen comes after this, not after a
        while. Returns early, with its title, when a window of one of the `unwanted`
        titles shows (the window below is then disabled and never lights up)."""
        spot = (rect[0] + 4, rect[1] + 4)

        def lit():
            c = self.colour(window, spot)
            return all(abs(a - b) <= 8 for a, b in zip(c, HOVER))

        def look(want):
            for title in unwanted:
                if self.windows(title):
                    return title
            return "settled" if lit() == want else None
        self.move(window.to_screen((rect[0] - 6, rect[1] - 6)))
        shown = self.wait_until(lambda: look(False), what="the console to take the mouse off a button of %r"
                                % window.title)
        if shown != "settled":
            return shown
        self.move(window.to_screen(((rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2)))
        shown = self.wait_until(lambda: look(True), what="the console to light up a button of %r under the mouse"
                                % window.title)
        return None if shown == "settled" else shown

    def stable_pixels(self, window, rect, what="the pixels to settle"):
        """The pixels of `rect` (client coordinates) once two looks in a row agree (a
        repaint has settled)."""
        last = [None]

        def settled():
            now = self.pixels(window, rect)
            same = now == last[0]
            last[0] = now
            return now if same else None
        return self.wait_until(settled, what=what)

    def store_ip_object(self, editor, name, how):
        """The object editor (layout 540) with its name typed: an address added and 确定;
        the editor goes and the IP object `name` is stored. `how` says when, for messages."""
        lay = editor.layout(540)
        address = lay.element(1301)[0]
        self.click(editor, (address[0] + 12, (address[1] + address[3]) // 2))  # its first field
        self.type("10.0.0.1")
        self.click(editor, lay.centre(1208))  # 添加
        self.click(editor, lay.centre(1211))  # 确定
        # The editor goes, or stays with a box that asks again for what it lacks.
        self.wait_until(lambda: not editor.shown() or any(self.windows(t) for t in ("提示", "错误")),
                        what="%s: the editor to take 确定" % how)
        self.check(not editor.shown(), "%s: the editor stayed (%s); the name typed was lost"
                   % (how, self.window_titles()))
        self.wait_until(lambda: self.db_value("select count(*) from IpAddressTable where IpStrategyName=?",
                                              (name,)) == 1,
                        what="%s: the IP object %r to be stored" % (how, name))

    def press(self, window, point, button=1):
        sx, sy = window.to_screen(point)
        self.x(["xdotool", "mousemove", str(sx), str(sy), "mousedown", str(button)])

    def release(self, button=1):
        self.x(["xdotool", "mouseup", str(button)])

    def box_buttons(self, box, count):
        """Centres of the `count` buttons of a console message box, left to right."""
        g = box.geometry()
        if g is None:
            raise Failure("box %r is gone" % box.title)
        return message_box_buttons(g[2], g[3], count)

    def click_element(self, window, layout_id, element_id, tabs=None):
        self.click(window, window.layout(layout_id, tabs).centre(element_id))

    def key(self, *keys):
        self.x(["xdotool", "key", "--delay", "30"] + list(keys))

    def type(self, text):
        self.x(["xdotool", "type", "--delay", "30", text])

    def screenshot(self, name):
        path = os.path.join(self.out, name + ".png")
        self.x(["import", "-window", "root", path], check=False)
        return path

    def pixels(self, window, rect=None):
        """The window's pixels as rows of (r, g, b), from a screenshot; `rect` in client
        coordinates limits them."""
        g = window.geometry()
        if g is None:
            raise Failure("window %r is gone" % window.title)
        x, y, w, h = g
        if rect:
            x, y, w, h = x + rect[0], y + rect[1], rect[2] - rect[0], rect[3] - rect[1]
        r = _run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), "-depth", "8", "rgb:-"],
                 self.env, text=False)
        if r.returncode != 0 or len(r.stdout) < w * h * 3:
            raise Failure("no screenshot: %s" % r.stderr.decode(errors="replace").strip())
        data = r.stdout
        return [[tuple(data[(r * w + c) * 3:(r * w + c) * 3 + 3]) for c in range(w)] for r in range(h)]

    def check_boxes(self, window, rect, x=20):
        """Centres (client coordinates) of the check boxes painted in the column `x`
        pixels from the left of `rect` (a grid's check column), top to bottom, found
        in a screenshot: each box is a square with a dark frame 8 to 16 px high."""
        col = rect[0] + x
        strip = self.pixels(window, (col, rect[1], col + 1, rect[3]))
        dark = [i for i, row in enumerate(strip) if sum(row[0]) < 400 and row[0][2] > row[0][0]]
        centres, i = [], 0
        while i < len(dark):
            top = dark[i]
            bottom = next((d for d in dark[i + 1:] if 8 <= d - top <= 16), None)
            if bottom is None:
                i += 1
                continue
            centres.append((col, rect[1] + (top + bottom) // 2))
            i = dark.index(bottom) + 1
        return centres

    # ---- checks
    Failure = Failure
    LIMIT = LIMIT

    def check(self, cond, why):
        if not cond:
            raise Failure(why)

    def fail(self, why):
        raise Failure(why)

    def answer_time(self, act, answer, what):
        """Seconds from `act()` (a click) until `answer()` returns something true, which is
        returned with them: (seconds, answer)."""
        act()
        start = time.monotonic()
        got = self.wait_until(answer, what=what)
        return time.monotonic() - start, got

    @staticmethod
    def quick_enough(took, quiet):
        """Whether an answer that took `took` s came as a quiet one does: within a second,
        or within a few times `quiet` (the median of the same answers timed in the same
        run with nothing else going on), since a busy machine slows both alike."""
        return took <= max(AT_ONCE, QUIET_FACTOR * sorted(quiet)[len(quiet) // 2])

    def wait_until(self, cond, timeout=LIMIT, what="condition", interval=0.05, gone=None):
        """wait_until, which fails at once (after a last look) when the console that ran
        when the wait began has exited: it is reported as exited, with its log. `gone`, when
        given, tells besides why what is waited for can no longer come (or None)."""
        ran = self.console is not None and self.console.poll() is None
        whys = [why for why in (self._console_gone if ran else None, gone) if why]
        return wait_until(cond, timeout, what, interval,
                          (lambda: next((w for w in (why() for why in whys) if w), None)) if whys else None)

    def close(self):
        if self.peer:
            self.peer.stop()
        _end(self.procs, signal.SIGTERM, 10)
        # Whatever still runs in this scenario's prefix (Wine's own services, a debugger)
        # ends with it.
        for how in ("-k", "-w"):
            try:
                subprocess.run(["wineserver", how], env=self.env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=X_LIMIT)
            except subprocess.TimeoutExpired:
                pass
        if self.display:
            self.display.stop()
