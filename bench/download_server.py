#!/usr/bin/env python3
"""Serves downloads on 127.0.0.1, their bodies made on the fly (nothing large is stored).

    download_server.py PORT      (0: any free port, printed on the first line)

/big?bytes=N      N bytes (default 1 GiB) of a repeating pattern, as an attachment "big.bin"
/slow?bytes=N&rate=B  N bytes at about B bytes a second, as an attachment "slow.bin"
/broken           promises more than it sends, then drops the connection
/later?after=S&bytes=N&rate=B  a still page that starts /slow?bytes=N&rate=B after S seconds
/                 a page with links to the above
"""
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse

CHUNK = bytes(range(256)) * 4096  # 1 MiB


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, name, size, rate=None):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Disposition", f'attachment; filename="{name}"')
        self.send_header("Content-Length", str(size))
        self.end_headers()
        sent = 0
        started = time.monotonic()
        step = len(CHUNK) if rate is None else max(1, min(len(CHUNK), rate // 10))
        while sent < size:
            part = CHUNK[: min(step, size - sent)]
            self.wfile.write(part)
            sent += len(part)
            if rate is not None:
                ahead = sent / rate - (time.monotonic() - started)
                if ahead > 0:
                    time.sleep(ahead)

    def do_GET(self):
        url = urlparse(self.path)
        query = {k: int(v[0]) for k, v in parse_qs(url.query).items()}
        try:
            if url.path == "/big":
                self.send_body("big.bin", query.get("bytes", 1 << 30))
            elif url.path == "/slow":
                self.send_body("slow.bin", query.get("bytes", 20 << 20), query.get("rate", 1 << 20))
            elif url.path == "/broken":
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Disposition", 'attachment; filename="broken.zip"')
                self.send_header("Content-Length", str(4 << 20))
                self.end_headers()
                self.wfile.write(CHUNK)
                self.wfile.flush()
                self.close_connection = True
            elif url.path == "/later":
                target = f"/slow?bytes={query.get('bytes', 20 << 20)}&rate={query.get('rate', 1 << 20)}"
                page = (f"<title>Later</title><body style='font:16px sans-serif;margin:40px'>"
                        f"<h1>Later</h1><script>setTimeout(() => location.href = '{target}', "
                        f"{query.get('after', 5) * 1000})</script>").encode()
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(page)))
                self.end_headers()
                self.wfile.write(page)
            else:
                page = (b"<title>Downloads</title><a href='/slow'>slow</a> "
                        b"<a href='/big'>big</a> <a href='/broken'>broken</a>")
                self.send_response(200)
                self.send_header("Content-Type", "text/html")
                self.send_header("Content-Length", str(len(page)))
                self.end_headers()
                self.wfile.write(page)
        except (BrokenPipeError, ConnectionResetError):
            pass


if __name__ == "__main__":
    server = ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()
