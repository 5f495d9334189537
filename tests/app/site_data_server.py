#!/usr/bin/env python3
"""A site that signs its visitor in with cookies and keeps notes in the page's storage.

    site_data_server.py LOG     (serves on a free port of 127.0.0.1, printed on the first line)

Every line it appends to LOG says what it saw:
  GET /site cookies=<the request's Cookie header>
  storage local=<localStorage note> indexed=<IndexedDB note>   (what the page found on loading)
  stored                                                       (once the page has written both)
  GET /login, POST /signed-in                                  (the login form and its sending)
/site sets a cookie that lasts a day and one that ends with the browsing session, and says who is
signed in by the first; its script reads, then writes, one note in each kind of storage.
/visit?NAME, titled "Visit NAME", sets the lasting cookie and notes "GET /visit?NAME cookies=…".
/login is a form that sends a filled-in login when anything on the page is clicked.
/order is a form that sends itself as soon as it is read: "POST /ordered" is each time its data came.
"""
import sys
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlparse

SITE = """<!doctype html><title>Site</title>
<h1 id="who">%s</h1>
<script>
const indexed = (write) => new Promise((done) => {
  const open = indexedDB.open("notes", 1);
  open.onupgradeneeded = () => open.result.createObjectStore("notes");
  open.onerror = () => done("error");
  open.onsuccess = () => {
    const transaction = open.result.transaction("notes", write ? "readwrite" : "readonly");
    const notes = transaction.objectStore("notes");
    if (write) {
      notes.put(write, "note");
      transaction.oncomplete = () => done(write);
    } else {
      const read = notes.get("note");
      read.onsuccess = () => done(String(read.result));
    }
    transaction.onerror = () => done("error");
  };
});
(async () => {
  const found = await indexed(null);
  await fetch("/storage?local=" + localStorage.getItem("note") + "&indexed=" + found);
  await indexed("kept");
  // Last, right before the word that the test quits on: the engine writes it a moment later.
  localStorage.setItem("note", "kept");
  await fetch("/stored");
})();
</script>"""

LOGIN = """<!doctype html><title>Login</title>
<form action="/signed-in" method="post">
  <input name="email" type="email" value="ada@example.test">
  <input name="password" type="password" value="s3cret-at-quit">
  <button style="position: fixed; inset: 0; opacity: 0.2">Giriş</button>
</form>"""


class Handler(BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def note(self, line):
        with open(sys.argv[1], "a") as log:
            log.write(line + "\n")

    def page(self, body, cookies=()):
        data = body.encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html; charset=utf-8")
        self.send_header("Content-Length", str(len(data)))
        self.send_header("Cache-Control", "no-store")
        for cookie in cookies:
            self.send_header("Set-Cookie", cookie)
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urlparse(self.path)
        query = {key: values[0] for key, values in parse_qs(url.query).items()}
        if url.path == "/site":
            cookies = self.headers.get("Cookie", "")
            self.note("GET /site cookies=" + cookies)
            who = "Signed in as Ada" if "login=ada" in cookies else "Signed out"
            self.page(SITE % who, ["login=ada; Max-Age=86400; Path=/", "visit=1; Path=/"])
        elif url.path == "/visit":
            self.note("GET /visit?%s cookies=%s" % (url.query, self.headers.get("Cookie", "")))
            self.page("<title>Visit %s</title>" % url.query, ["login=ada; Max-Age=86400; Path=/"])
        elif url.path == "/storage":
            self.note("storage local=%s indexed=%s" % (query.get("local"), query.get("indexed")))
            self.page("")
        elif url.path == "/stored":
            self.note("stored")
            self.page("")
        elif url.path == "/login":
            self.note("GET /login")
            self.page(LOGIN)
        elif url.path == "/order":
            self.page('<form action="/ordered" method="post"><input name="item" value="book">'
                      "</form><script>document.forms[0].submit()</script>")
        else:
            self.send_error(404)

    def do_POST(self):
        self.rfile.read(int(self.headers.get("Content-Length", "0")))
        self.note("POST " + self.path)
        self.page("<title>Signed in</title>Signed in")


server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
print(server.server_address[1], flush=True)
server.serve_forever()
