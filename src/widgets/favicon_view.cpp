#include "widgets/favicon_view.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "widgets/accessibility.h"
#include "widgets/letter_icon.h"
#include "widgets/paint.h"

namespace zemblo {
namespace {

constexpr double kCornerFraction = 0.24;

}  // namespace

FaviconView::FaviconView(FaviconLoader& loader, double size) : loader_(loader), size_(size) {
  set_name("FaviconView");
  presentAsDecoration(*this);
  set_can_target(false);
}

FaviconView::~FaviconView() { pending_.disconnect(); }

std::vector<std::string> FaviconView::candidates(const std::optional<Url>& url,
                                                 const std::optional<std::string>& host) {
  std::vector<std::string> list;
  if (url && url->isHttpOrHttps()) list.push_back(url->str());
  if (host && !host->empty()) {
    const std::string conventional = "https://" + *host + "/favicon.ico";
    if (std::ranges::find(list, conventional) == list.end()) list.push_back(conventional);
  }
  return list;
}

void FaviconView::set(std::optional<Url> url, std::optional<std::string> host, double size) {
  if (size != size_) {
    size_ = size;
    queue_resize();
  }
  if (started_ && url == url_ && host == host_) return;
  started_ = true;
  url_ = std::move(url);
  host_ = std::move(host);
  candidates_ = candidates(url_, guessesSiteIcon_ ? host_ : std::nullopt);
  next_ = 0;
  picture_.reset();
  pending_.disconnect();
  tryNext();
  queue_draw();
}

void FaviconView::tryNext() {
  while (next_ < candidates_.size()) {
    const std::string& address = candidates_[next_++];
    const auto known = loader_.cached(address);
    if (!known) {
      pending_ = loader_.load(address, sigc::mem_fun(*this, &FaviconView::loaded));
      return;
    }
    if (*known) {
      picture_ = *known;
      return;
    }
  }
}

void FaviconView::loaded(FaviconLoader::Picture picture) {
  if (picture) {
    picture_ = std::move(picture);
    queue_draw();
    return;
  }
  tryNext();
  queue_draw();
}

void FaviconView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural,
                                int& minimum_baseline, int& natural_baseline) const {
  minimum = natural = static_cast<int>(std::ceil(size_));
  minimum_baseline = natural_baseline = -1;
}

void FaviconView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
  GtkSnapshot* s = snapshot->gobj();
  const graphene_rect_t square =
      paint::rect((get_width() - size_) / 2, (get_height() - size_) / 2, size_, size_);
  if (!picture_) {
    LetterIcon::paint(*this, s, square, letterText());
    return;
  }
  // Scaled to fit, keeping its proportions.
  const double width = picture_->get_width();
  const double height = picture_->get_height();
  const double scale = std::min(size_ / std::max(width, 1.0), size_ / std::max(height, 1.0));
  const graphene_rect_t bounds =
      paint::rect(square.origin.x + (size_ - width * scale) / 2,
                  square.origin.y + (size_ - height * scale) / 2, width * scale, height * scale);
  const GskRoundedRect clip = paint::roundedRect(square, kCornerFraction * size_);
  gtk_snapshot_push_rounded_clip(s, &clip);
  gtk_snapshot_append_texture(s, picture_->gobj(), &bounds);
  gtk_snapshot_pop(s);
}

}  // namespace zemblo
