#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "platform/foundation_json.h"

namespace zemblo {

// The zoom the user chose per host: every tab on a host shows it, and a host without its own
// shows the default zoom.
class SiteZoom {
 public:
  using Levels = std::map<std::string, double>;
  static constexpr double kSmallest = 0.3;
  static constexpr double kLargest = 3.0;

  // `changed` is told the host whose zoom changed, so its tabs follow and the file is written.
  explicit SiteZoom(std::function<void(const std::string& host)> changed);

  // The host's own zoom, if it has one.
  std::optional<double> zoomFor(const std::string& host) const;
  // Kept within the bounds; nothing for an empty host or a value that is not a number.
  void set(const std::string& host, double zoom);
  // Back to the default zoom.
  void forget(const std::string& host);

  const Levels& levels() const { return levels_; }
  // Silently, when the file is read at start.
  void restore(Levels levels) { levels_ = std::move(levels); }

  // Lenient: an entry that is not a finite number within the bounds is dropped, and a value that
  // is not an object gives none, so a hostile file can't take the rest of the settings with it.
  static Levels levelsFrom(const json::Json& value);
  static json::Json toJson(const Levels& levels);

 private:
  std::function<void(const std::string&)> changed_;
  Levels levels_;
};

}  // namespace zemblo
