#include "platform/resource_text.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace zemblo {
namespace {

constexpr std::string_view kOpen = "{{";
constexpr std::string_view kClose = "}}";

bool isPlaceholderName(std::string_view name) {
  if (name.empty() || name.front() < 'A' || name.front() > 'Z') return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
  });
}

std::string substituted(std::string_view text, const char* path, ResourceValues values) {
  std::vector<bool> used(values.size(), false);
  std::string result;
  result.reserve(text.size());
  size_t from = 0;
  for (size_t open = text.find(kOpen); open != std::string_view::npos;
       open = text.find(kOpen, from)) {
    const size_t close = text.find(kClose, open + kOpen.size());
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + kOpen.size(), close - open - kOpen.size());
    if (!isPlaceholderName(name)) {
      result.append(text.substr(from, open + kOpen.size() - from));
      from = open + kOpen.size();
      continue;
    }
    result.append(text.substr(from, open - from));
    from = close + kClose.size();
    const auto value = std::find_if(values.begin(), values.end(),
                                    [name](const auto& entry) { return entry.first == name; });
    if (value == values.end()) {
      g_warning("The resource %s has no value for {{%.*s}}", path, int(name.size()), name.data());
      result.append(text.substr(open, from - open));
      continue;
    }
    used[value - values.begin()] = true;
    result.append(value->second.text());
  }
  result.append(text.substr(from));
  for (size_t i = 0; i < values.size(); ++i) {
    if (used[i]) continue;
    const std::string_view name = (values.begin() + i)->first;
    g_warning("The resource %s has no placeholder {{%.*s}}", path, int(name.size()), name.data());
  }
  return result;
}

}  // namespace

std::string resourceText(GResource* bundle, const char* path, ResourceValues values) {
  GError* error = nullptr;
  const std::unique_ptr<GBytes, decltype(&g_bytes_unref)> bytes(
      bundle ? g_resource_lookup_data(bundle, path, G_RESOURCE_LOOKUP_FLAGS_NONE, &error) : nullptr,
      &g_bytes_unref);
  if (!bytes) {
    g_warning("The resource %s is missing: %s", path, error ? error->message : "no bundle");
    g_clear_error(&error);
    return {};
  }
  gsize size = 0;
  const auto* data = static_cast<const char*>(g_bytes_get_data(bytes.get(), &size));
  return substituted(std::string_view(data, size), path, values);
}

}  // namespace zemblo
