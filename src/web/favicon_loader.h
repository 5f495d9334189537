#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include <gtkmm.h>

namespace zemblo {

// Fetches site icons for the views that show them, outside the web engine (no cookies, no content
// rules): http and https only, at most 1 MiB per picture, 10 s per request. The answers, a
// picture or a failure, of the addresses used most recently are remembered, so an address in use
// is fetched once however many views show it, while a long session of browsing does not keep
// every icon it ever saw. Decoding runs off the main thread; nothing here ever blocks it.
class FaviconLoader {
 public:
  static constexpr size_t kMaximumBytes = size_t{1} << 20;
  static constexpr std::chrono::seconds kTimeout{10};
  // Enough for every tab, favourite and saved password a user keeps in sight.
  static constexpr size_t kRememberedAnswers = 512;

  // A picture, or an empty pointer for an address that gave none.
  using Picture = Glib::RefPtr<Gdk::Texture>;

  explicit FaviconLoader(size_t rememberedAnswers = kRememberedAnswers);
  ~FaviconLoader();
  FaviconLoader(const FaviconLoader&) = delete;
  FaviconLoader& operator=(const FaviconLoader&) = delete;

  // The remembered answer for the address; absent while it was never asked for, is loading or
  // was forgotten for newer ones.
  std::optional<Picture> cached(const std::string& address) const;
  // Asks for the address. `done` runs once, later, on the main thread, unless the connection is
  // broken first (or the slot's trackable owner is destroyed).
  sigc::connection load(const std::string& address, const sigc::slot<void(Picture)>& done);
  // Takes the picture of the address from elsewhere (the web engine fetched it already): it is
  // remembered like any answer, and whoever waits for the address is told.
  void keep(const std::string& address, Picture picture);

 private:
  struct Impl;
  struct Fetch;
  std::shared_ptr<Impl> impl_;
};

}  // namespace zemblo
