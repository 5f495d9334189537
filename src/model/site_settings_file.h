#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/records.h"
#include "model/site_permissions.h"
#include "model/site_zoom.h"
#include "platform/foundation_json.h"

namespace zemblo {

// What the browser keeps per site: the permission answers under "permissions", by site origin and
// kind, and the zoom of hosts under "zoom". Top-level keys it does not know (a later version's)
// are written back as they were read.
struct SiteSettings {
  SitePermissions::Decisions permissions;
  SiteZoom::Levels zoom;
  json::Json otherKeys = json::Json::object();
};

std::optional<std::string> encodeSiteSettings(const SiteSettings& settings);
// Strict about the shapes of permissions, lenient about names: a kind or an answer it does not
// know is skipped, a value of the wrong JSON type fails the whole file. A zoom that can't be used
// is only dropped.
std::optional<SiteSettings> decodeSiteSettings(std::string_view bytes);

// "site-settings.json" in the data folder, written whole and atomically like the session.
class SiteSettingsFile {
 public:
  static constexpr const char* kFileName = "site-settings.json";

  explicit SiteSettingsFile(std::filesystem::path folder) : folder_(std::move(folder)) {}

  // Empty settings when missing; a file that can't be used is set aside and listed.
  SiteSettings read(std::vector<SetAsideFile>* setAside = nullptr) const;
  // Blocks on the disk: for the writing thread.
  bool write(const SiteSettings& settings) const;
  void removeLeftoverTemporaries() const;

 private:
  std::filesystem::path folder_;
};

}  // namespace zemblo
