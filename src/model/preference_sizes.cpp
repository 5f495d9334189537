#include "model/preference_sizes.h"

#include <algorithm>
#include <cmath>

namespace zemblo::sizes {
namespace {

// Not-a-number falls back to the default; infinities end at the nearer bound.
double clamped(double value, double low, double high, double fallback) {
  if (std::isnan(value)) return fallback;
  return std::clamp(value, low, high);
}

}  // namespace

double sidebarWidth(const AppPreferences& prefs) {
  return clamped(prefs.sidebarWidth, kSidebarWidthMin, kSidebarWidthMax,
                 AppPreferences{}.sidebarWidth);
}

double contentInset(const AppPreferences& prefs) {
  return clamped(prefs.contentInset, 0, kInsetMax, AppPreferences{}.contentInset);
}

double cornerRadius(const AppPreferences& prefs) {
  return clamped(prefs.cornerRadius, 0, kCornerRadiusMax, AppPreferences{}.cornerRadius);
}

double grain(const AppPreferences& prefs) { return clamped(prefs.grain, 0, 1, 0); }

double tintOpacity(const AppPreferences& prefs, ColorScheme scheme) {
  return clamped(prefs.tintStrength(scheme), 0, 1, 0);
}

}  // namespace zemblo::sizes
