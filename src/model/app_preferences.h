#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/color.h"
#include "model/preference_enums.h"
#include "platform/foundation_json.h"
#include "platform/user_defaults.h"

namespace zemblo {

// Every appearance and behaviour setting, persisted as one JSON object in the user defaults.
// Field order is the order of the keys when encoding and decoding.
struct AppPreferences {
  AppLanguage language = AppLanguage::system;
  ThemeMode theme = ThemeMode::system;
  InterfaceFont interfaceFont = InterfaceFont::system;
  bool reduceMotion = false;
  SidebarSide sidebarSide = SidebarSide::leading;
  double sidebarWidth = 264;
  SidebarTint sidebarTint = SidebarTint::gradient;
  SidebarMaterial sidebarMaterial = SidebarMaterial::glass;
  ColorSource colorSource = ColorSource::spaces;
  std::string customColorA = "#5E5CE6";
  std::string customColorB = "#BF5AF2";
  GradientDirection gradientDirection = GradientDirection::diagonal;
  double colorStrength = 0.33;
  double grain = 0;
  SidebarTextStyle sidebarTextStyle = SidebarTextStyle::automatic;
  SelectedTabStyle selectedTabStyle = SelectedTabStyle::neutral;
  TabDensity tabDensity = TabDensity::regular;
  bool showFavorites = true;
  int64_t favoriteColumns = 4;
  PageDarkMode pageDarkMode = PageDarkMode::off;
  double darkBrightness = 1;
  double darkContrast = 1;
  std::vector<std::string> darkDisabledHosts;
  double cornerRadius = 12;
  double contentInset = 8;
  bool contentShadow = true;
  ProgressStyle progressStyle = ProgressStyle::gradient;
  CommandBarPosition commandBarPosition = CommandBarPosition::top;
  bool dimBehindCommandBar = true;
  std::string greetingName;
  bool showClock = true;
  bool showDate = true;
  bool showGreeting = true;
  bool use24Hour = true;
  StartBackground startBackground = StartBackground::aurora;
  double auroraSpeed = 1;
  std::optional<std::string> wallpaperFile;
  double wallpaperDim = 0.2;
  double wallpaperBlur = 0;
  bool showStartFavorites = true;
  bool restoreSession = true;
  double defaultZoom = 1;
  // Each download asks for its file name and folder first.
  bool askWhereToSave = false;
  // Misspelt words in editable fields are marked, in the interface's and the system's language.
  // Kept ahead of the optional below: declared after it, it shared the optional's tail padding and
  // copies of the preferences made in some places lost it.
  bool spellChecking = true;
  // How long a tab not shown keeps its page running before it sleeps.
  TabSleepDelay tabSleepDelay = TabSleepDelay::quarterHour;
  // Where downloads go; the desktop's download folder while unset.
  std::optional<std::string> downloadFolder;

  // The user-defaults entry holding the encoded value.
  static constexpr std::string_view kDefaultsKey = "appPreferences.v1";
  // Where a stored value that could not be loaded is kept, so that the next save (which writes
  // defaults over it) does not destroy the user's settings for good.
  static constexpr std::string_view kInvalidDefaultsKey = "appPreferences.v1.invalid";

  // Field by field; a NaN never equals anything, so a value holding one is unequal to itself.
  friend bool operator==(const AppPreferences&, const AppPreferences&) = default;

  // Throws json::DecodeError when a required key is missing, a value has the wrong JSON type or a
  // choice names no case. Keys that are no field names are ignored.
  static AppPreferences fromJson(const json::Json& object);

  // The encoded bytes, or nothing when a number is NaN or infinite.
  std::optional<std::string> encoded() const;
  static std::optional<AppPreferences> decoded(std::string_view bytes);

  // The stored value merged over the defaults (so fields added since it was written take their
  // defaults); all defaults when nothing usable is stored. Never fails.
  static AppPreferences load(UserDefaults& defaults);
  static AppPreferences load() { return load(UserDefaults::standard()); }
  // Writes the whole value; a value that cannot be encoded leaves the stored one untouched.
  void save(UserDefaults& defaults) const;
  void save() const { save(UserDefaults::standard()); }

  // The name the start page greets: the trimmed `greetingName`, else the first word of the
  // user's full name.
  std::string effectiveGreetingName() const;
  std::string effectiveGreetingName(std::string_view fullUserName) const;

  // The folder downloads go to: the chosen one, else the desktop's download folder.
  std::filesystem::path effectiveDownloadFolder() const;

  // How strongly the theme colours tint the sidebar in a scheme (dark tints a little less).
  double tintStrength(ColorScheme scheme) const;

 private:
  json::Json toJson() const;
};

// A two-colour theme swatch for gradient backgrounds.
struct Palette {
  Color primary;
  Color secondary;
  GradientDirection direction = GradientDirection::diagonal;
  std::string key;

  friend bool operator==(const Palette&, const Palette&) = default;
};

// A named colour pair offered for spaces. Identified by its (Turkish) name.
struct SpacePreset {
  std::string name;
  std::string colorA;
  std::string colorB;

  std::string localizedName() const;

  // The twelve presets in the order they are offered.
  static std::span<const SpacePreset> all();
};

// The gradient from `first` to `second` along the direction.
LinearGradient gradient(GradientDirection direction, const Color& first, const Color& second);

}  // namespace zemblo
