#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "model/url.h"

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

// A site's icon in a square of `size` points with rounded corners: the icon at `url`, else the
// site's conventional "/favicon.ico", else, and while either is loading, the site's letter tile.
class FaviconView : public Gtk::Widget {
 public:
  explicit FaviconView(double size = 16);
  ~FaviconView() override;

  void set(std::optional<Url> url, std::optional<std::string> host, double size);

  // The addresses tried, in order: `url` when it is http or https, then "https://" + host +
  // "/favicon.ico"; duplicates once.
  static std::vector<std::string> candidates(const std::optional<Url>& url,
                                             const std::optional<std::string>& host);

  bool showsPicture() const { return static_cast<bool>(picture_); }
  // The text the letter tile is drawn from: the host, or "?" without one.
  std::string letterText() const { return host_.value_or("?"); }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  void tryNext();
  void loaded(FaviconLoader::Picture picture);

  std::optional<Url> url_;
  std::optional<std::string> host_;
  double size_;
  std::vector<std::string> candidates_;
  size_t next_ = 0;
  bool started_ = false;
  FaviconLoader::Picture picture_;
  sigc::connection pending_;
};

}  // namespace zemblo
