#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "model/app_language.h"

// The small choices of the preferences. Each persists as its case name, lists its cases in the
// order the settings offer them, and has a display label written in Turkish and shown through
// the localisation table.
namespace zemblo {

enum class ThemeMode { system, light, dark };
enum class SidebarSide { leading, trailing };
enum class SidebarTint { gradient, solid, none };
enum class SidebarMaterial { glass, opaque };
enum class TabDensity { compact, regular, spacious };
enum class InterfaceFont { system, rounded, serif, mono };
enum class StartBackground { aurora, gradient, solid, wallpaper };
enum class ProgressStyle { gradient, minimal, hidden };
enum class CommandBarPosition { top, center };
enum class ColorSource { spaces, custom };
enum class GradientDirection { diagonal, vertical, horizontal, diagonalUp };
enum class SidebarTextStyle { automatic, lightText, darkText };
enum class SelectedTabStyle { neutral, tinted };
enum class PageDarkMode { off, withTheme, always };
// How long a tab rests unseen before it gives up its page's process.
enum class TabSleepDelay { off, quarterHour, hour, fourHours };

// One case of a choice: its persisted name and its Turkish label. `translated` is false for
// labels that read the same in every language ("Normal", "Mono", "English"), which skip the
// lookup.
struct ChoiceCase {
  std::string_view name;
  std::string_view turkish;
  bool translated = true;
};

// Specialised once per enumeration with `cases` in declaration order.
template <typename E>
struct ChoiceTraits;

template <typename E>
concept Choice = std::is_enum_v<E> && requires {
  { ChoiceTraits<E>::cases.size() } -> std::convertible_to<std::size_t>;
};

template <>
struct ChoiceTraits<ThemeMode> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"system", "Sistem"}, {"light", "Açık"}, {"dark", "Koyu"}}};
};
template <>
struct ChoiceTraits<SidebarSide> {
  static constexpr std::array<ChoiceCase, 2> cases{{{"leading", "Solda"}, {"trailing", "Sağda"}}};
};
template <>
struct ChoiceTraits<SidebarTint> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"gradient", "Renk geçişi"}, {"solid", "Düz renk"}, {"none", "Renksiz"}}};
};
template <>
struct ChoiceTraits<SidebarMaterial> {
  static constexpr std::array<ChoiceCase, 2> cases{{{"glass", "Buzlu cam"}, {"opaque", "Opak"}}};
};
template <>
struct ChoiceTraits<TabDensity> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"compact", "Sıkı"}, {"regular", "Normal", false}, {"spacious", "Ferah"}}};
};
template <>
struct ChoiceTraits<InterfaceFont> {
  static constexpr std::array<ChoiceCase, 4> cases{{{"system", "Standart"},
                                                    {"rounded", "Yuvarlak"},
                                                    {"serif", "Serif", false},
                                                    {"mono", "Mono", false}}};
};
template <>
struct ChoiceTraits<StartBackground> {
  static constexpr std::array<ChoiceCase, 4> cases{{{"aurora", "Aurora", false},
                                                    {"gradient", "Renk geçişi"},
                                                    {"solid", "Sade"},
                                                    {"wallpaper", "Duvar kâğıdı"}}};
};
template <>
struct ChoiceTraits<ProgressStyle> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"gradient", "Parlak"}, {"minimal", "Sade"}, {"hidden", "Gizli"}}};
};
template <>
struct ChoiceTraits<CommandBarPosition> {
  static constexpr std::array<ChoiceCase, 2> cases{{{"top", "Üstte"}, {"center", "Ortada"}}};
};
template <>
struct ChoiceTraits<ColorSource> {
  static constexpr std::array<ChoiceCase, 2> cases{
      {{"spaces", "Alan renkleri"}, {"custom", "Tek renk teması"}}};
};
template <>
struct ChoiceTraits<GradientDirection> {
  static constexpr std::array<ChoiceCase, 4> cases{{{"diagonal", "Çapraz"},
                                                    {"vertical", "Dikey"},
                                                    {"horizontal", "Yatay"},
                                                    {"diagonalUp", "Ters çapraz"}}};
};
template <>
struct ChoiceTraits<SidebarTextStyle> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"automatic", "Otomatik"}, {"lightText", "Açık yazı"}, {"darkText", "Koyu yazı"}}};
};
template <>
struct ChoiceTraits<SelectedTabStyle> {
  static constexpr std::array<ChoiceCase, 2> cases{{{"neutral", "Beyaz"}, {"tinted", "Renkli"}}};
};
template <>
struct ChoiceTraits<PageDarkMode> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"off", "Kapalı"}, {"withTheme", "Koyu temadayken"}, {"always", "Her zaman"}}};
};
template <>
struct ChoiceTraits<TabSleepDelay> {
  static constexpr std::array<ChoiceCase, 4> cases{{{"off", "Kapalı"},
                                                    {"quarterHour", "15 dakika"},
                                                    {"hour", "1 saat"},
                                                    {"fourHours", "4 saat"}}};
};
template <>
struct ChoiceTraits<AppLanguage> {
  static constexpr std::array<ChoiceCase, 3> cases{
      {{"system", "Sistem dili"}, {"turkish", "Türkçe", false}, {"english", "English", false}}};
};

namespace choice_detail {

template <Choice E>
constexpr const ChoiceCase& caseOf(E value) {
  return ChoiceTraits<E>::cases.at(static_cast<std::size_t>(value));
}

// The Turkish label through the localisation table, or as it is when it needs no translation.
std::string displayLabel(const ChoiceCase& choice);

}  // namespace choice_detail

// The persisted name of a case ("dark", "diagonalUp").
template <Choice E>
constexpr std::string_view rawValue(E value) {
  return choice_detail::caseOf(value).name;
}

// The case with that exact persisted name, or nothing.
template <Choice E>
constexpr std::optional<E> fromRawValue(std::string_view name) {
  const auto& cases = ChoiceTraits<E>::cases;
  for (std::size_t i = 0; i < cases.size(); ++i) {
    if (cases[i].name == name) return static_cast<E>(i);
  }
  return std::nullopt;
}

// Every case in declaration order, the order in which the settings offer them.
template <Choice E>
constexpr auto allCases() {
  std::array<E, ChoiceTraits<E>::cases.size()> values{};
  for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<E>(i);
  return values;
}

// The label shown for a case, in the current interface language.
template <Choice E>
std::string label(E value) {
  return choice_detail::displayLabel(choice_detail::caseOf(value));
}

}  // namespace zemblo
