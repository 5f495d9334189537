#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

#include "platform/url.h"
#include "web/favicon_loader.h"

namespace zemblo {

// A site's icon in a square of `size` points with rounded corners: the icon at `url`, else the
// site's conventional "/favicon.ico", else, and while either is loading, the site's letter tile.
// The pictures come from `loader`, which outlives the view.
class FaviconView : public Gtk::Widget {
 public:
  explicit FaviconView(FaviconLoader& loader, double size = 16);
  ~FaviconView() override;

  void set(std::optional<Url> url, std::optional<std::string> host, double size);
  // Off: only `url` is fetched, never the site's conventional address. For a page's own icon,
  // which the web engine fetches and reports itself: a guess beside it asks the site again.
  void setGuessesSiteIcon(bool guesses) { guessesSiteIcon_ = guesses; }

  // The addresses tried, in order: `url` when it is http or https, then "https://" + host +
  // "/favicon.ico"; duplicates once.
  static std::vector<std::string> candidates(const std::optional<Url>& url,
                                             const std::optional<std::string>& host);

  bool showsPicture() const { return static_cast<bool>(picture_); }

 protected:
  void measure_vfunc(Gtk::Orientation orientation, int for_size, int& minimum, int& natural,
                     int& minimum_baseline, int& natural_baseline) const override;
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  // The text the letter tile is drawn from: the host, or "?" without one.
  std::string letterText() const { return host_.value_or("?"); }
  void tryNext();
  void loaded(FaviconLoader::Picture picture);

  FaviconLoader& loader_;
  std::optional<Url> url_;
  std::optional<std::string> host_;
  double size_;
  std::vector<std::string> candidates_;
  size_t next_ = 0;
  bool started_ = false;
  bool guessesSiteIcon_ = true;
  FaviconLoader::Picture picture_;
  sigc::connection pending_;
};

}  // namespace zemblo
