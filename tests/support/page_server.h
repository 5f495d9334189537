#pragma once

#include <gio/gio.h>

#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/gobject_ref.h"

namespace zemblo::testing {

// A web server on a free port of 127.0.0.1 for pages that the test writes as routes, answering
// each request on a thread of its own: a browser in another process reaches it while the test
// waits without running a main loop, and a slow body holds up no other request. Every request
// is written down; nothing is answered from a cache.
class PageServer {
 public:
  struct Request {
    std::string method;
    std::string path;                            // without the query
    std::string query;                           // after '?', without it
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
    std::string header(const std::string& name) const {
      const auto found = headers.find(name);
      return found == headers.end() ? "" : found->second;
    }
  };

  struct Response {
    std::string body;
    std::string contentType = "text/html; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers;
    int status = 200;
    // A body of this many bytes made as it is sent, at about `rate` bytes a second: a download
    // that is still running whenever the test looks.
    std::optional<size_t> slowLength;
    size_t rate = 0;
  };

  using Route = std::function<Response(const Request&)>;

  PageServer();
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  void route(const std::string& path, Route answer);
  void page(const std::string& path, const std::string& html) {
    route(path, [html](const Request&) { return Response{html}; });
  }
  bool listening() const { return port_ > 0; }
  int port() const { return port_; }
  std::string url(const std::string& target) const {
    return "http://127.0.0.1:" + std::to_string(port_) + target;
  }

  // "METHOD /path?query" of every request so far, in the order they came.
  std::vector<std::string> requests() const;
  // Those of requests() that start with `prefix`.
  std::vector<std::string> requestsStarting(const std::string& prefix) const;
  // Adds a line of the routes' own to what the server saw, and reads those lines back.
  void note(const std::string& line);
  std::vector<std::string> notesStarting(const std::string& prefix) const;

 private:
  void accept();
  void answer(GSocketConnection* connection);
  std::optional<Request> read(GInputStream* in);
  void send(GOutputStream* out, const Response& response);

  GObjectRef<GSocketListener> listener_ =
      GObjectRef<GSocketListener>::adopt(g_socket_listener_new());
  // Cancels every wait of the server's threads, on a connection or for one.
  GObjectRef<GCancellable> stopping_ = GObjectRef<GCancellable>::adopt(g_cancellable_new());
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, Route> routes_;
  std::vector<std::string> requests_, notes_;
  std::vector<std::thread> connections_;
  std::thread acceptor_;
};

}  // namespace zemblo::testing
