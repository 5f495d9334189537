#pragma once

#include <string>

#include "support/page_server.h"

namespace zemblo::testing {

// A site that signs its visitor in with cookies and keeps notes in the page's storage. The
// server's notes say what it saw:
//   "GET /site cookies=<the request's Cookie header>"
//   "storage local=<localStorage note> indexed=<IndexedDB note>"  (what the page found on loading)
//   "stored"                                                      (once the page wrote both)
//   "GET /visit?NAME cookies=<…>"
// /site sets a cookie that lasts a day and one that ends with the browsing session, and says who
// is signed in by the first; its script reads, then writes, one note in each kind of storage.
// /visit?NAME, titled "Visit NAME", sets the lasting cookie. /login is a form that sends a login
// when anything on the page is clicked; /order one that sends itself as soon as it is read.
inline void serveSite(PageServer& server) {
  static constexpr const char* kStorage = R"(<script>
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
  // Last, right before the note that the test quits on: the engine writes it a moment later.
  localStorage.setItem("note", "kept");
  await fetch("/stored");
})();
</script>)";
  const std::pair<std::string, std::string> lasting{"Set-Cookie",
                                                    "login=ada; Max-Age=86400; Path=/"};
  server.route("/site", [&server, lasting](const PageServer::Request& request) {
    const std::string cookies = request.header("cookie");
    server.note("GET /site cookies=" + cookies);
    const std::string who =
        cookies.find("login=ada") != std::string::npos ? "Signed in as Ada" : "Signed out";
    return PageServer::Response{"<!doctype html><title>Site</title><h1>" + who + "</h1>" + kStorage,
                                "text/html; charset=utf-8",
                                {lasting, {"Set-Cookie", "visit=1; Path=/"}}};
  });
  server.route("/visit", [&server, lasting](const PageServer::Request& request) {
    server.note("GET /visit?" + request.query + " cookies=" + request.header("cookie"));
    return PageServer::Response{
        "<title>Visit " + request.query + "</title>", "text/html; charset=utf-8", {lasting}};
  });
  server.route("/storage", [&server](const PageServer::Request& request) {
    const auto value = [&](const std::string& key) {
      const auto at = ("&" + request.query).find("&" + key + "=");
      return request.query.substr(at + key.size() + 1,
                                  request.query.find('&', at) - at - key.size() - 1);
    };
    server.note("storage local=" + value("local") + " indexed=" + value("indexed"));
    return PageServer::Response{};
  });
  server.route("/stored", [&server](const PageServer::Request&) {
    server.note("stored");
    return PageServer::Response{};
  });
  server.page("/login", R"(<!doctype html><title>Login</title>
<form action="/signed-in" method="post">
  <input name="email" type="email" value="ada@example.test">
  <input name="password" type="password" value="s3cret-at-quit">
  <button style="position: fixed; inset: 0; opacity: 0.2">Giriş</button>
</form>)");
  server.page("/order",
              "<form action='/ordered' method='post'><input name='item' value='book'></form>"
              "<script>document.forms[0].submit()</script>");
  for (const char* sent : {"/signed-in", "/ordered"}) {
    server.page(sent, "<title>Signed in</title>Signed in");
  }
}

}  // namespace zemblo::testing
