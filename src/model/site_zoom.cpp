#include "model/site_zoom.h"

#include <glib.h>

#include <algorithm>
#include <cmath>

namespace zemblo {

SiteZoom::SiteZoom(std::function<void(const std::string&)> changed)
    : changed_(std::move(changed)) {}

std::optional<double> SiteZoom::zoomFor(const std::string& host) const {
  const auto found = levels_.find(host);
  if (found == levels_.end()) return std::nullopt;
  return found->second;
}

void SiteZoom::set(const std::string& host, double zoom) {
  if (host.empty() || !std::isfinite(zoom)) return;
  const double kept = std::clamp(zoom, kSmallest, kLargest);
  const auto found = levels_.find(host);
  if (found != levels_.end() && found->second == kept) return;
  levels_[host] = kept;
  changed_(host);
}

void SiteZoom::forget(const std::string& host) {
  if (levels_.erase(host) > 0) changed_(host);
}

SiteZoom::Levels SiteZoom::levelsFrom(const json::Json& value) {
  Levels levels;
  if (!value.is_object()) {
    g_warning("The saved zoom of sites is not an object; it is ignored");
    return levels;
  }
  for (const auto& [host, zoom] : value.items()) {
    const bool usable = !host.empty() && zoom.is_number() && std::isfinite(zoom.get<double>()) &&
                        zoom.get<double>() >= kSmallest && zoom.get<double>() <= kLargest;
    if (usable) {
      levels[host] = zoom.get<double>();
    } else {
      g_warning("The saved zoom of a site is not usable; it is ignored");
    }
  }
  return levels;
}

json::Json SiteZoom::toJson(const Levels& levels) {
  json::Json object = json::Json::object();
  for (const auto& [host, zoom] : levels) object[host] = zoom;
  return object;
}

}  // namespace zemblo
