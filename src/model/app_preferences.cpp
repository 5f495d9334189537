#include "model/app_preferences.h"

#include <array>
#include <type_traits>

#include <glib.h>

#include "model/localization.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace zemblo {
namespace {

template <typename T>
inline constexpr bool kUnsupportedField = false;

// The one list of persisted fields, in declaration order; encoding and decoding both walk it.
template <typename Prefs, typename Visitor>
void visitFields(Prefs& p, Visitor&& visit) {
  visit("language", p.language);
  visit("theme", p.theme);
  visit("interfaceFont", p.interfaceFont);
  visit("reduceMotion", p.reduceMotion);
  visit("sidebarSide", p.sidebarSide);
  visit("sidebarWidth", p.sidebarWidth);
  visit("sidebarTint", p.sidebarTint);
  visit("sidebarMaterial", p.sidebarMaterial);
  visit("colorSource", p.colorSource);
  visit("customColorA", p.customColorA);
  visit("customColorB", p.customColorB);
  visit("gradientDirection", p.gradientDirection);
  visit("colorStrength", p.colorStrength);
  visit("grain", p.grain);
  visit("sidebarTextStyle", p.sidebarTextStyle);
  visit("selectedTabStyle", p.selectedTabStyle);
  visit("tabDensity", p.tabDensity);
  visit("showFavorites", p.showFavorites);
  visit("favoriteColumns", p.favoriteColumns);
  visit("pageDarkMode", p.pageDarkMode);
  visit("darkBrightness", p.darkBrightness);
  visit("darkContrast", p.darkContrast);
  visit("darkDisabledHosts", p.darkDisabledHosts);
  visit("cornerRadius", p.cornerRadius);
  visit("contentInset", p.contentInset);
  visit("contentShadow", p.contentShadow);
  visit("progressStyle", p.progressStyle);
  visit("commandBarPosition", p.commandBarPosition);
  visit("dimBehindCommandBar", p.dimBehindCommandBar);
  visit("greetingName", p.greetingName);
  visit("showClock", p.showClock);
  visit("showDate", p.showDate);
  visit("showGreeting", p.showGreeting);
  visit("use24Hour", p.use24Hour);
  visit("startBackground", p.startBackground);
  visit("auroraSpeed", p.auroraSpeed);
  visit("wallpaperFile", p.wallpaperFile);
  visit("wallpaperDim", p.wallpaperDim);
  visit("wallpaperBlur", p.wallpaperBlur);
  visit("showStartFavorites", p.showStartFavorites);
  visit("restoreSession", p.restoreSession);
  visit("defaultZoom", p.defaultZoom);
  visit("askWhereToSave", p.askWhereToSave);
  visit("spellChecking", p.spellChecking);
  visit("tabSleepDelay", p.tabSleepDelay);
  visit("downloadFolder", p.downloadFolder);
}

struct FieldWriter {
  json::Json& object;

  template <typename T>
  void operator()(const char* key, const T& value) const {
    if constexpr (Choice<T>) {
      object[key] = std::string(rawValue(value));
    } else if constexpr (std::is_same_v<T, std::optional<std::string>>) {
      if (value) object[key] = *value;  // an absent value leaves the key out
    } else {
      object[key] = value;
    }
  }
};

struct FieldReader {
  const json::Json& object;

  template <typename T>
  void operator()(const char* key, T& value) const {
    if constexpr (Choice<T>) {
      const auto choice = fromRawValue<T>(json::requireString(object, key));
      if (!choice) throw json::DecodeError(std::string(key) + ": names no case");
      value = *choice;
    } else if constexpr (std::is_same_v<T, bool>) {
      value = json::requireBool(object, key);
    } else if constexpr (std::is_same_v<T, double>) {
      value = json::requireDouble(object, key);
    } else if constexpr (std::is_same_v<T, int64_t>) {
      value = json::requireInt(object, key);
    } else if constexpr (std::is_same_v<T, std::string>) {
      value = json::requireString(object, key);
    } else if constexpr (std::is_same_v<T, std::vector<std::string>>) {
      value.clear();
      for (const auto& element : json::requireArray(object, key)) {
        value.push_back(json::stringValue(element));
      }
    } else if constexpr (std::is_same_v<T, std::optional<std::string>>) {
      value = json::optionalString(object, key);
    } else {
      static_assert(kUnsupportedField<T>);
    }
  }
};

// The stored object laid over the encoded defaults, top level only: a stored value replaces the
// default one whole, and stored keys the defaults lack are carried over.
std::optional<AppPreferences> mergedOverDefaults(const json::Json& stored) {
  const auto defaultsText = AppPreferences().encoded();
  if (!defaultsText) return std::nullopt;
  auto merged = json::parse(*defaultsText);
  if (!merged || !merged->is_object()) return std::nullopt;
  for (const auto& [key, value] : stored.items()) (*merged)[key] = value;
  const auto mergedText = json::encode(*merged);
  if (!mergedText) return std::nullopt;
  return AppPreferences::decoded(*mergedText);
}

std::string firstWord(std::string_view text) {
  const auto start = text.find_first_not_of(' ');
  if (start == std::string_view::npos) return "";
  const auto end = text.find(' ', start);
  return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

}  // namespace

json::Json AppPreferences::toJson() const {
  json::Json object = json::Json::object();
  visitFields(*this, FieldWriter{object});
  return object;
}

AppPreferences AppPreferences::fromJson(const json::Json& object) {
  json::requireObject(object);
  AppPreferences prefs;
  visitFields(prefs, FieldReader{object});
  return prefs;
}

std::optional<std::string> AppPreferences::encoded() const { return json::encode(toJson()); }

std::optional<AppPreferences> AppPreferences::decoded(std::string_view bytes) {
  const auto parsed = json::parse(bytes);
  if (!parsed) return std::nullopt;
  try {
    return fromJson(*parsed);
  } catch (const json::DecodeError&) {
    return std::nullopt;
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
}

AppPreferences AppPreferences::load(UserDefaults& defaults) {
  const auto stored = defaults.data(kDefaultsKey);
  if (!stored) return AppPreferences();
  const auto parsed = json::parse(*stored);
  std::optional<AppPreferences> loaded;
  if (parsed && parsed->is_object()) loaded = mergedOverDefaults(*parsed);
  if (loaded) return *loaded;
  // Loading gives the defaults, and the next save would write them over the stored settings:
  // keep the stored bytes aside first (once, not on every start).
  if (defaults.data(kInvalidDefaultsKey) != stored) defaults.setData(kInvalidDefaultsKey, *stored);
  return AppPreferences();
}

void AppPreferences::save(UserDefaults& defaults) const {
  if (const auto bytes = encoded()) defaults.setData(kDefaultsKey, *bytes);
}

std::string AppPreferences::effectiveGreetingName() const {
  // The platform reports an unknown real name as "Unknown".
  const std::string_view realName = g_get_real_name();
  return effectiveGreetingName(realName == "Unknown" ? std::string_view() : realName);
}

std::string AppPreferences::effectiveGreetingName(std::string_view fullUserName) const {
  const std::string_view trimmed = trimmedSpacesAndTabs(greetingName);
  if (!trimmed.empty()) return std::string(trimmed);
  return firstWord(fullUserName);
}

std::filesystem::path AppPreferences::effectiveDownloadFolder() const {
  if (downloadFolder && !downloadFolder->empty()) return *downloadFolder;
  return paths::downloadsDirectory();
}

double AppPreferences::tintStrength(ColorScheme scheme) const {
  if (sidebarTint == SidebarTint::none) return 0;
  return colorStrength * (scheme == ColorScheme::dark ? 0.9 : 1.0);
}

std::string SpacePreset::localizedName() const { return localized(name); }

std::span<const SpacePreset> SpacePreset::all() {
  static const std::array<SpacePreset, 12> presets{{
      {"Lavanta", "#7B61FF", "#FF6FB5"},
      {"Okyanus", "#2F80FF", "#22C1C3"},
      {"Gün batımı", "#FF8A3D", "#FF3D77"},
      {"Orman", "#1FA67A", "#A8E063"},
      {"Gece", "#3A3D98", "#8E6BD8"},
      {"Şeftali", "#FFB88C", "#DE6262"},
      {"Nane", "#00C9A7", "#92FE9D"},
      {"Kiraz", "#F43B47", "#453A94"},
      {"Limon", "#F7B733", "#FC4A1A"},
      {"Buz", "#7FA7F9", "#8FD3F4"},
      {"Gül", "#EE9CA7", "#C471ED"},
      {"Grafit", "#4B5563", "#9CA3AF"},
  }};
  return presets;
}

LinearGradient gradient(GradientDirection direction, const Color& first, const Color& second) {
  switch (direction) {
    case GradientDirection::vertical:
      return {first, second, UnitPoint::top(), UnitPoint::bottom()};
    case GradientDirection::horizontal:
      return {first, second, UnitPoint::leading(), UnitPoint::trailing()};
    case GradientDirection::diagonalUp:
      return {first, second, UnitPoint::bottomLeading(), UnitPoint::topTrailing()};
    case GradientDirection::diagonal:
      break;
  }
  return {first, second, UnitPoint::topLeading(), UnitPoint::bottomTrailing()};
}

}  // namespace zemblo
