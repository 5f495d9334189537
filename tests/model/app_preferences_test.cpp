#include "model/app_preferences.h"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "model/localization.h"
#include "platform/user_defaults.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

constexpr auto kKey = AppPreferences::kDefaultsKey;
constexpr auto kInvalidKey = AppPreferences::kInvalidDefaultsKey;

// A value in which every field differs from its default.
AppPreferences everythingChanged() {
  AppPreferences p;
  p.language = AppLanguage::english;
  p.theme = ThemeMode::dark;
  p.interfaceFont = InterfaceFont::mono;
  p.reduceMotion = true;
  p.sidebarSide = SidebarSide::trailing;
  p.sidebarWidth = 301.5;
  p.sidebarTint = SidebarTint::solid;
  p.sidebarMaterial = SidebarMaterial::opaque;
  p.colorSource = ColorSource::custom;
  p.customColorA = "#112233";
  p.customColorB = "#445566";
  p.gradientDirection = GradientDirection::diagonalUp;
  p.colorStrength = 0.1 + 0.2;  // not a short decimal: must still round-trip exactly
  p.grain = 0.4;
  p.sidebarTextStyle = SidebarTextStyle::darkText;
  p.selectedTabStyle = SelectedTabStyle::tinted;
  p.tabDensity = TabDensity::spacious;
  p.showFavorites = false;
  p.favoriteColumns = 6;
  p.pageDarkMode = PageDarkMode::withTheme;
  p.darkBrightness = 0.9;
  p.darkContrast = 1.1;
  p.darkDisabledHosts = {"b.example", "a.example"};
  p.cornerRadius = 0;
  p.contentInset = 0;
  p.contentShadow = false;
  p.progressStyle = ProgressStyle::hidden;
  p.commandBarPosition = CommandBarPosition::center;
  p.dimBehindCommandBar = false;
  p.greetingName = "Çağla \"Ç\" / Ö";
  p.showClock = false;
  p.showDate = false;
  p.showGreeting = false;
  p.use24Hour = false;
  p.startBackground = StartBackground::wallpaper;
  p.auroraSpeed = 2;
  p.wallpaperFile = "wallpapers/Gün batımı.jpg";
  p.wallpaperDim = 0.55;
  p.wallpaperBlur = 12.25;
  p.showStartFavorites = false;
  p.restoreSession = false;
  p.defaultZoom = 1.25;
  p.askWhereToSave = true;
  p.downloadFolder = "/home/someone/Incoming";
  p.spellChecking = false;
  p.tabSleepDelay = TabSleepDelay::fourHours;
  return p;
}

class AppPreferencesStore : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return home_.root() / "defaults.json"; }
  // A fresh store on the same file, as the next start of the browser would see it.
  UserDefaults reopened() {
    defaults_.flush();
    return UserDefaults(file());
  }

  void store(std::string_view bytes) { defaults_.setData(kKey, bytes); }
  AppPreferences loadStored(std::string_view bytes) {
    store(bytes);
    return AppPreferences::load(defaults_);
  }
  // The full encoding of a value with one key replaced by raw JSON text.
  static std::string encodedWith(const AppPreferences& value, const std::string& key,
                                 std::string_view rawJson) {
    auto object = *json::parse(*value.encoded());
    object[key] = *json::parse(rawJson);
    return *json::encode(object);
  }

  testing::TempHome home_;
  UserDefaults defaults_{file()};
};

TEST_F(AppPreferencesStore, EncodesDefaultsInTheFileFormat) {
  EXPECT_EQ(*AppPreferences().encoded(),
            R"({"language":"system","theme":"system","interfaceFont":"system",)"
            R"("reduceMotion":false,"sidebarSide":"leading","sidebarWidth":264,)"
            R"("sidebarTint":"gradient","sidebarMaterial":"glass","colorSource":"spaces",)"
            R"("customColorA":"#5E5CE6","customColorB":"#BF5AF2","gradientDirection":"diagonal",)"
            R"("colorStrength":0.33,"grain":0,"sidebarTextStyle":"automatic",)"
            R"("selectedTabStyle":"neutral","tabDensity":"regular","showFavorites":true,)"
            R"("favoriteColumns":4,"pageDarkMode":"off","darkBrightness":1,"darkContrast":1,)"
            R"("darkDisabledHosts":[],"cornerRadius":12,"contentInset":8,"contentShadow":true,)"
            R"("progressStyle":"gradient","commandBarPosition":"top","dimBehindCommandBar":true,)"
            R"("greetingName":"","showClock":true,"showDate":true,"showGreeting":true,)"
            R"("use24Hour":true,"startBackground":"aurora","auroraSpeed":1,"wallpaperDim":0.2,)"
            R"("wallpaperBlur":0,"showStartFavorites":true,"restoreSession":true,"defaultZoom":1,)"
            R"("askWhereToSave":false,"spellChecking":true,"tabSleepDelay":"quarterHour"})");

  const auto changed = *json::parse(*everythingChanged().encoded());
  EXPECT_EQ(changed.size(), 46u);
  EXPECT_EQ(changed["gradientDirection"], "diagonalUp");
  EXPECT_EQ(changed["theme"], "dark");
  EXPECT_NE(everythingChanged().encoded()->find(R"("wallpaperFile":"wallpapers\/Gün batımı.jpg")"),
            std::string::npos);
}

TEST_F(AppPreferencesStore, MissingEntryLoadsDefaultsWithoutWriting) {
  EXPECT_EQ(AppPreferences::load(defaults_), AppPreferences());
  EXPECT_FALSE(reopened().contains(kKey));
  EXPECT_FALSE(reopened().contains(kInvalidKey));
}

TEST_F(AppPreferencesStore, StoredKeysAreMergedOverDefaults) {
  AppPreferences expected;
  expected.theme = ThemeMode::dark;
  EXPECT_EQ(loadStored(R"({"theme":"dark"})"), expected);

  // Keys this version does not know are ignored; the rest loads.
  expected.sidebarWidth = 300;
  EXPECT_EQ(loadStored(R"({"theme":"dark","sidebarWidth":300,"futureSetting":[1,{"x":2}]})"),
            expected);

  // A list replaces the default whole.
  const auto hosts = loadStored(R"({"darkDisabledHosts":["a.example","b.example"]})");
  EXPECT_EQ(hosts.darkDisabledHosts, (std::vector<std::string>{"a.example", "b.example"}));

  // Whole numbers in an Int field may come as 5.0.
  EXPECT_EQ(loadStored(R"({"favoriteColumns":5.0})").favoriteColumns, 5);
  EXPECT_FALSE(reopened().contains(kInvalidKey));
}

TEST_F(AppPreferencesStore, WallpaperFileIsOptional) {
  EXPECT_EQ(loadStored(R"({"wallpaperFile":null,"theme":"light"})").wallpaperFile, std::nullopt);
  EXPECT_EQ(loadStored(R"({"theme":"light"})").wallpaperFile, std::nullopt);
  EXPECT_EQ(loadStored(R"({"wallpaperFile":"w.png"})").wallpaperFile, "w.png");
  EXPECT_EQ(loadStored(R"({"wallpaperFile":7})"), AppPreferences());
}

TEST_F(AppPreferencesStore, OneBadFieldGivesAllDefaultsAndKeepsTheStoredBytes) {
  AppPreferences valid = everythingChanged();
  const std::vector<std::pair<std::string, std::string>> badFields = {
      {"theme", R"("purple")"},        {"theme", R"("Dark")"},
      {"reduceMotion", "1"},           {"sidebarWidth", R"("300")"},
      {"sidebarWidth", "true"},        {"favoriteColumns", "4.5"},
      {"greetingName", "null"},        {"darkDisabledHosts", R"(["a.example",1])"},
      {"darkDisabledHosts", R"("a")"}, {"customColorA", "5"},
  };
  for (const auto& [key, raw] : badFields) {
    const std::string bytes = encodedWith(valid, key, raw);
    EXPECT_EQ(loadStored(bytes), AppPreferences()) << key << " = " << raw;
    UserDefaults onDisk = reopened();
    EXPECT_EQ(onDisk.data(kInvalidKey), bytes) << key << " = " << raw;
    EXPECT_EQ(onDisk.data(kKey), bytes) << "loading never rewrites the entry";
  }
}

TEST_F(AppPreferencesStore, UnparsableOrNonObjectDataGivesDefaults) {
  for (const char* bytes : {"[1,2,3]", "not json at all", "", R"("theme")", "{\"theme\":"}) {
    EXPECT_EQ(loadStored(bytes), AppPreferences()) << bytes;
    EXPECT_EQ(reopened().data(kInvalidKey), bytes) << bytes;
  }
}

TEST_F(AppPreferencesStore, SaveThenLoadGivesTheSameValue) {
  const AppPreferences changed = everythingChanged();
  changed.save(defaults_);
  UserDefaults next = reopened();
  EXPECT_EQ(AppPreferences::load(next), changed);

  AppPreferences noWallpaper = changed;
  noWallpaper.wallpaperFile.reset();
  noWallpaper.save(defaults_);
  UserDefaults again = reopened();
  EXPECT_EQ(AppPreferences::load(again), noWallpaper);
  EXPECT_FALSE(json::parse(*again.data(kKey))->contains("wallpaperFile"));
}

TEST_F(AppPreferencesStore, NonFiniteValuesAreNotSaved) {
  AppPreferences broken;
  broken.darkBrightness = std::numeric_limits<double>::quiet_NaN();
  broken.save(defaults_);
  EXPECT_FALSE(reopened().contains(kKey));

  const AppPreferences good = everythingChanged();
  good.save(defaults_);
  const auto before = reopened().data(kKey);
  broken = good;
  broken.defaultZoom = std::numeric_limits<double>::infinity();
  broken.save(defaults_);
  EXPECT_EQ(reopened().data(kKey), before);
}

TEST(AppPreferences, EqualityComparesEveryFieldAndNaNIsNeverEqual) {
  AppPreferences zoomed;
  zoomed.defaultZoom = 1.25;
  EXPECT_NE(zoomed, AppPreferences());

  AppPreferences withNaN;
  withNaN.darkBrightness = std::numeric_limits<double>::quiet_NaN();
  const AppPreferences copy = withNaN;
  EXPECT_NE(withNaN, copy);

  AppPreferences emptyWallpaper;
  emptyWallpaper.wallpaperFile = "";
  EXPECT_NE(emptyWallpaper, AppPreferences());

  AppPreferences a, b;
  a.darkDisabledHosts = {"x", "y"};
  b.darkDisabledHosts = {"y", "x"};
  EXPECT_NE(a, b);
  EXPECT_EQ(everythingChanged(), everythingChanged());
}

TEST(AppPreferences, GreetingNameFallsBackToTheFirstWordOfTheFullName) {
  AppPreferences p;
  p.greetingName = "  Deniz\t ";
  EXPECT_EQ(p.effectiveGreetingName("Ada Lovelace"), "Deniz");
  p.greetingName = "Deniz Yılmaz";
  EXPECT_EQ(p.effectiveGreetingName("Ada Lovelace"), "Deniz Yılmaz");
  p.greetingName = "\nDeniz";  // only spaces and tabs are trimmed
  EXPECT_EQ(p.effectiveGreetingName("Ada Lovelace"), "\nDeniz");

  for (const char* empty : {"", "   ", "\t"}) {
    p.greetingName = empty;
    EXPECT_EQ(p.effectiveGreetingName("Ada Lovelace"), "Ada");
    EXPECT_EQ(p.effectiveGreetingName("   Ada   King Lovelace"), "Ada");
    EXPECT_EQ(p.effectiveGreetingName(""), "");
    EXPECT_EQ(p.effectiveGreetingName("    "), "");
  }
}

TEST(AppPreferences, TintStrengthIsWeakerInTheDarkAndZeroWithoutTint) {
  AppPreferences p;
  EXPECT_DOUBLE_EQ(p.tintStrength(ColorScheme::light), 0.33);
  EXPECT_DOUBLE_EQ(p.tintStrength(ColorScheme::dark), 0.33 * 0.9);
  p.colorStrength = 1.5;  // not clamped
  EXPECT_DOUBLE_EQ(p.tintStrength(ColorScheme::light), 1.5);
  p.sidebarTint = SidebarTint::none;
  EXPECT_EQ(p.tintStrength(ColorScheme::light), 0);
  EXPECT_EQ(p.tintStrength(ColorScheme::dark), 0);
}

template <Choice E>
void expectRawValuesRoundTrip(std::initializer_list<std::string_view> names) {
  const auto cases = allCases<E>();
  ASSERT_EQ(cases.size(), names.size());
  size_t i = 0;
  for (std::string_view name : names) {
    EXPECT_EQ(rawValue(cases[i]), name);
    EXPECT_EQ(fromRawValue<E>(name), cases[i]);
    ++i;
  }
  EXPECT_EQ(fromRawValue<E>(""), std::nullopt);
}

TEST(PreferenceChoices, CasesAreListedAndNamedInDeclarationOrder) {
  expectRawValuesRoundTrip<ThemeMode>({"system", "light", "dark"});
  expectRawValuesRoundTrip<SidebarSide>({"leading", "trailing"});
  expectRawValuesRoundTrip<SidebarTint>({"gradient", "solid", "none"});
  expectRawValuesRoundTrip<SidebarMaterial>({"glass", "opaque"});
  expectRawValuesRoundTrip<TabDensity>({"compact", "regular", "spacious"});
  expectRawValuesRoundTrip<InterfaceFont>({"system", "rounded", "serif", "mono"});
  expectRawValuesRoundTrip<StartBackground>({"aurora", "gradient", "solid", "wallpaper"});
  expectRawValuesRoundTrip<ProgressStyle>({"gradient", "minimal", "hidden"});
  expectRawValuesRoundTrip<CommandBarPosition>({"top", "center"});
  expectRawValuesRoundTrip<ColorSource>({"spaces", "custom"});
  expectRawValuesRoundTrip<GradientDirection>({"diagonal", "vertical", "horizontal", "diagonalUp"});
  expectRawValuesRoundTrip<SidebarTextStyle>({"automatic", "lightText", "darkText"});
  expectRawValuesRoundTrip<SelectedTabStyle>({"neutral", "tinted"});
  expectRawValuesRoundTrip<PageDarkMode>({"off", "withTheme", "always"});
  expectRawValuesRoundTrip<AppLanguage>({"system", "turkish", "english"});
  EXPECT_EQ(fromRawValue<ThemeMode>("Dark"), std::nullopt);  // names are case-sensitive
}

// Switches the interface to English for one test and back afterwards.
struct EnglishInterface {
  EnglishInterface() { L10n::setEnglish(true); }
  ~EnglishInterface() { L10n::setEnglish(false); }
};

TEST(PreferenceChoices, LabelsFollowTheInterfaceLanguage) {
  L10n::setEnglish(false);
  EXPECT_EQ(label(ThemeMode::dark), "Koyu");
  EXPECT_EQ(label(StartBackground::wallpaper), "Duvar kâğıdı");
  EXPECT_EQ(label(TabDensity::regular), "Normal");

  const EnglishInterface english;
  EXPECT_EQ(label(ThemeMode::dark), "Dark");
  EXPECT_EQ(label(GradientDirection::diagonalUp), "Reverse diagonal");
  EXPECT_EQ(label(ColorSource::custom), "Single color theme");
  EXPECT_EQ(label(AppLanguage::system), "System");
  // Labels that read the same in both languages.
  EXPECT_EQ(label(TabDensity::regular), "Normal");
  EXPECT_EQ(label(InterfaceFont::mono), "Mono");
  EXPECT_EQ(label(InterfaceFont::serif), "Serif");
  EXPECT_EQ(label(AppLanguage::turkish), "Türkçe");
}

TEST(SpacePresets, TwelveWellFormedPresetsInOrder) {
  const auto presets = SpacePreset::all();
  ASSERT_EQ(presets.size(), 12u);
  EXPECT_EQ(presets.front().name, "Lavanta");
  EXPECT_EQ(presets[2].name, "Gün batımı");
  EXPECT_EQ(presets.back().name, "Grafit");
  EXPECT_EQ(presets[5].colorA, "#FFB88C");
  for (const auto& preset : presets) {
    // Stored colour text must read back as itself.
    EXPECT_EQ(Color::fromHex(preset.colorA).hexString(), preset.colorA) << preset.name;
    EXPECT_EQ(Color::fromHex(preset.colorB).hexString(), preset.colorB) << preset.name;
  }
}

TEST(GradientDirections, MapToCornersAndEdges) {
  const Color first{1, 0, 0}, second{0, 0, 1};
  const auto expect = [&](GradientDirection direction, UnitPoint start, UnitPoint end) {
    EXPECT_EQ(gradient(direction, first, second), (LinearGradient{first, second, start, end}))
        << rawValue(direction);
  };
  expect(GradientDirection::diagonal, {0, 0}, {1, 1});
  expect(GradientDirection::vertical, {0.5, 0}, {0.5, 1});
  expect(GradientDirection::horizontal, {0, 0.5}, {1, 0.5});
  expect(GradientDirection::diagonalUp, {0, 1}, {1, 0});
}

}  // namespace
}  // namespace zemblo
