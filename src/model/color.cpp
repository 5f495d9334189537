#include "model/color.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

#include "platform/text.h"

namespace zemblo {
namespace {

std::optional<unsigned> hexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  return std::nullopt;
}

// Reads an unsigned hexadecimal number from the start of the text the way colour text has
// always been read: leading white space skipped, an optional "0x", digits up to the first other
// character. Too many digits saturate (so an overlong text reads as white rather than wrapping).
uint64_t scanHex(std::string_view text) {
  text = trimmedWhitespaceAndNewlines(text);
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  uint64_t value = 0;
  for (char c : text) {
    const auto digit = hexDigit(c);
    if (!digit) break;
    value = value > (kMax >> 4) ? kMax : (value << 4) | *digit;
  }
  return value;
}

int toByte(double component) {
  if (std::isnan(component)) return 0;
  return static_cast<int>(std::clamp(std::round(component * 255.0), 0.0, 255.0));
}

}  // namespace

Color Color::fromHex(std::string_view text) {
  std::string_view rest = trimmedWhitespaceAndNewlines(text);
  if (startsWith(rest, "#")) rest.remove_prefix(1);
  const uint64_t rgb = scanHex(rest) & 0xFFFFFF;
  return {static_cast<double>((rgb >> 16) & 0xFF) / 255.0,
          static_cast<double>((rgb >> 8) & 0xFF) / 255.0, static_cast<double>(rgb & 0xFF) / 255.0};
}

std::string Color::hexString() const {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", toByte(r), toByte(g), toByte(b));
  return text;
}

Color Color::fromHsb(const Hsb& hsb) {
  const double v = hsb.brightness;
  const double s = hsb.saturation;
  const double h = (hsb.hue - std::floor(hsb.hue)) * 6.0;  // a full turn wraps back to red
  const int sector = static_cast<int>(std::floor(h)) % 6;
  const double f = h - std::floor(h);
  const double p = v * (1 - s);
  const double q = v * (1 - s * f);
  const double t = v * (1 - s * (1 - f));
  switch (sector) {
    case 0:
      return {v, t, p};
    case 1:
      return {q, v, p};
    case 2:
      return {p, v, t};
    case 3:
      return {p, q, v};
    case 4:
      return {t, p, v};
    default:
      return {v, p, q};
  }
}

Hsb Color::hsb() const {
  const double maximum = std::max({r, g, b});
  const double minimum = std::min({r, g, b});
  const double delta = maximum - minimum;
  Hsb result{0, maximum == 0 ? 0 : delta / maximum, maximum};
  if (delta == 0) return result;  // greys have hue 0
  double sixths;
  if (maximum == r)
    sixths = (g - b) / delta;
  else if (maximum == g)
    sixths = 2 + (b - r) / delta;
  else
    sixths = 4 + (r - g) / delta;
  result.hue = sixths / 6.0;
  if (result.hue < 0) result.hue += 1;
  return result;
}

Color Color::randomPleasant() {
  std::random_device device;
  return randomPleasant(device);
}

Color Color::hsbAdjusted() const {
  const Hsb current = hsb();
  if (current.saturation < 0.12) {
    const double b = current.brightness;
    const double brightness = b > 0.5 ? b * 0.82 : std::min(b * 1.6 + 0.08, 1.0);
    return fromHsb({current.hue, current.saturation, brightness});
  }
  return fromHsb({std::fmod(current.hue + 0.09, 1.0), current.saturation * 0.92,
                  std::min(current.brightness * 1.04 + 0.03, 1.0)});
}

double Color::luminance() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }

namespace color_detail {

double scaledDraw(uint64_t draw, double lower, double upper) {
  if (draw >= kDrawSteps) return upper;
  return (upper - lower) * (static_cast<double>(draw) * 0x1p-53) + lower;
}

}  // namespace color_detail

}  // namespace zemblo
