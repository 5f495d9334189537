#include "support/page_server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

namespace zemblo::testing {
namespace {

std::string lowered(std::string text) {
  std::ranges::transform(text, text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

const char* reasonOf(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    default:
      return "Status";
  }
}

std::vector<std::string> starting(const std::vector<std::string>& lines,
                                  const std::string& prefix) {
  std::vector<std::string> found;
  for (const auto& line : lines) {
    if (line.starts_with(prefix)) found.push_back(line);
  }
  return found;
}

}  // namespace

PageServer::PageServer() {
  const auto loopback =
      GObjectRef<GInetAddress>::adopt(g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4));
  const auto wanted =
      GObjectRef<GSocketAddress>::adopt(g_inet_socket_address_new(loopback.get(), 0));
  GSocketAddress* bound = nullptr;
  GError* error = nullptr;
  if (!g_socket_listener_add_address(listener_.get(), wanted.get(), G_SOCKET_TYPE_STREAM,
                                     G_SOCKET_PROTOCOL_TCP, nullptr, &bound, &error)) {
    ADD_FAILURE() << "cannot listen: " << error->message;
    g_error_free(error);
    return;
  }
  port_ = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
  g_object_unref(bound);
  acceptor_ = std::thread([this] { accept(); });
}

PageServer::~PageServer() {
  g_cancellable_cancel(stopping_.get());
  if (acceptor_.joinable()) acceptor_.join();
  // No new connection comes once the acceptor has ended.
  for (auto& connection : connections_) connection.join();
  g_socket_listener_close(listener_.get());
}

void PageServer::route(const std::string& path, Route answer) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(answer);
}

std::vector<std::string> PageServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::vector<std::string> PageServer::requestsStarting(const std::string& prefix) const {
  return starting(requests(), prefix);
}

void PageServer::note(const std::string& line) {
  std::lock_guard lock(mutex_);
  notes_.push_back(line);
}

std::vector<std::string> PageServer::notesStarting(const std::string& prefix) const {
  std::lock_guard lock(mutex_);
  return starting(notes_, prefix);
}

void PageServer::accept() {
  while (GSocketConnection* accepted =
             g_socket_listener_accept(listener_.get(), nullptr, stopping_.get(), nullptr)) {
    std::lock_guard lock(mutex_);
    connections_.emplace_back([this, connection = GObjectRef<GSocketConnection>::adopt(accepted)] {
      answer(connection.get());
    });
  }
}

// One request a connection: the answer closes it, so no thread waits on a connection kept idle.
void PageServer::answer(GSocketConnection* connection) {
  const auto request = read(g_io_stream_get_input_stream(G_IO_STREAM(connection)));
  if (!request) return;
  std::string target = request->path;
  if (!request->query.empty()) target.append("?").append(request->query);
  Route route;
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(request->method + " " + target);
    if (const auto found = routes_.find(request->path); found != routes_.end())
      route = found->second;
  }
  Response response{"<title>Not found</title>"};
  response.status = 404;
  if (route) response = route(*request);
  send(g_io_stream_get_output_stream(G_IO_STREAM(connection)), response);
  g_io_stream_close(G_IO_STREAM(connection), nullptr, nullptr);
}

std::optional<PageServer::Request> PageServer::read(GInputStream* in) {
  std::string text;
  char buffer[4096];
  size_t end = std::string::npos;
  while ((end = text.find("\r\n\r\n")) == std::string::npos) {
    const gssize got = g_input_stream_read(in, buffer, sizeof buffer, stopping_.get(), nullptr);
    if (got <= 0) return std::nullopt;
    text.append(buffer, size_t(got));
  }
  Request request;
  std::istringstream head(text.substr(0, end));
  std::string target, line;
  head >> request.method >> target;
  std::getline(head, line);
  while (std::getline(head, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const auto value = line.find_first_not_of(' ', colon + 1);
    request.headers[lowered(line.substr(0, colon))] =
        value == std::string::npos ? ""
                                   : line.substr(value, line.find_last_not_of("\r") + 1 - value);
  }
  const auto question = target.find('?');
  request.path = target.substr(0, question);
  if (question != std::string::npos) request.query = target.substr(question + 1);
  request.body = text.substr(end + 4);
  const std::string promised = request.header("content-length");
  const size_t length = promised.empty() ? 0 : std::stoul(promised);
  while (request.body.size() < length) {
    const gssize got = g_input_stream_read(in, buffer, sizeof buffer, stopping_.get(), nullptr);
    if (got <= 0) return std::nullopt;
    request.body.append(buffer, size_t(got));
  }
  return request;
}

void PageServer::send(GOutputStream* out, const Response& response) {
  const size_t length = response.slowLength.value_or(response.body.size());
  std::string head = "HTTP/1.1 " + std::to_string(response.status) + " " +
                     reasonOf(response.status) + "\r\nContent-Type: " + response.contentType +
                     "\r\nContent-Length: " + std::to_string(length) +
                     "\r\nCache-Control: no-store\r\nConnection: close\r\n";
  for (const auto& [name, value] : response.headers) head += name + ": " + value + "\r\n";
  head += "\r\n";
  if (!g_output_stream_write_all(out, head.data(), head.size(), nullptr, stopping_.get(), nullptr))
    return;
  if (!response.slowLength) {
    g_output_stream_write_all(out, response.body.data(), length, nullptr, stopping_.get(), nullptr);
    return;
  }
  // A tenth of a second's worth at a time.
  const std::string part(std::max<size_t>(1, response.rate / 10), 'z');
  for (size_t sent = 0; sent < length && !g_cancellable_is_cancelled(stopping_.get());) {
    const size_t size = std::min(part.size(), length - sent);
    if (!g_output_stream_write_all(out, part.data(), size, nullptr, stopping_.get(), nullptr))
      return;
    sent += size;
    g_usleep(100'000);
  }
}

}  // namespace zemblo::testing
