"""A local HTTP server for the updater's tests: serves one folder on 127.0.0.1.

usage: update_server.py FOLDER PORTFILE LOGFILE
The first path segment chooses how the version file and the executable are answered,
"<mode of update.txt>-<mode of anything else>", each one of ok, 404, 410, 500, cut (half
the body, then the connection closes), chunked, chunkcutN (chunked, the connection closing
after N per cent of the body, inside a chunk and without the last one), slow (the body in
small pieces). Every
request path is appended to LOGFILE. It serves until it is ended (the tests start it through
tied.py, which ends it with the test).
"""
import http.server
import os
import sys
import time

FOLDER, PORTFILE, LOGFILE = sys.argv[1:4]


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        with open(LOGFILE, "a") as log:
            log.write(self.path + "\n")
        parts = self.path.lstrip("/").split("/", 1)
        modes = parts[0].split("-")
        if len(parts) != 2 or len(modes) != 2:
            return self.reply(404, b"not here")
        mode = modes[0] if parts[1] == "update.txt" else modes[1]
        path = os.path.join(FOLDER, os.path.basename(parts[1]))
        if mode in ("404", "410", "500") or not os.path.isfile(path):
            return self.reply(int(mode) if mode in ("410", "500") else 404, b"<html>error</html>")
        with open(path, "rb") as f:
            body = f.read()
        if mode == "chunked" or mode.startswith("chunkcut"):
            cut = len(body) * int(mode[8:]) // 100 if mode != "chunked" else len(body)
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            for i in range(0, len(body), 8192):
                piece = body[i:i + 8192]
                if i + len(piece) > cut:
                    self.wfile.write(b"%x\r\n%s" % (len(piece), piece[:cut - i]))
                    self.wfile.flush()
                    self.close_connection = True
                    return
                self.wfile.write(b"%x\r\n%s\r\n" % (len(piece), piece))
            self.wfile.write(b"0\r\n\r\n")
            return
        self.send_response(200)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        if mode == "cut":
            self.wfile.write(body[: len(body) // 2])
            self.close_connection = True
            return
        step = 4096 if mode == "slow" else len(body) or 1
        for i in range(0, len(body), step):
            self.wfile.write(body[i:i + step])
            self.wfile.flush()
            if mode == "slow":
                time.sleep(0.1)
        self.close_connection = True

    def reply(self, code, body):
        self.send_response(code)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(PORTFILE + ".tmp", "w") as f:
    f.write(str(server.server_address[1]))
os.replace(PORTFILE + ".tmp", PORTFILE)
server.serve_forever()
