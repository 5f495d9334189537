#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

namespace zemblo {

// Fetches site icons for the whole process, outside the web engine (no cookies, no content
// rules): http and https only, at most 1 MiB per picture, 10 s per request. Every answer, a
// picture or a failure, is remembered for the life of the process, so each address is fetched at
// most once. Decoding runs off the main thread; nothing here ever blocks it.
class FaviconLoader {
 public:
  static constexpr size_t kMaximumBytes = size_t{1} << 20;
  static constexpr std::chrono::seconds kTimeout{10};

  // A picture, or an empty pointer for an address that gave none.
  using Picture = Glib::RefPtr<Gdk::Texture>;

  static FaviconLoader& shared();

  FaviconLoader();
  ~FaviconLoader();
  FaviconLoader(const FaviconLoader&) = delete;
  FaviconLoader& operator=(const FaviconLoader&) = delete;

  // The remembered answer for the address; absent while it was never asked for or is loading.
  std::optional<Picture> cached(const std::string& address) const;
  // Asks for the address. `done` runs once, later, on the main thread, unless the connection is
  // broken first (or the slot's trackable owner is destroyed).
  sigc::connection load(const std::string& address, const sigc::slot<void(Picture)>& done);

  // Requests sent since the process started, for tests.
  size_t requestCount() const;

 private:
  struct Impl;
  struct Fetch;
  std::shared_ptr<Impl> impl_;
};

}  // namespace zemblo
