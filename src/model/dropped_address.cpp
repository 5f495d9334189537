#include "model/dropped_address.h"

#include <algorithm>

#include "model/external_address.h"
#include "model/typed_input.h"
#include "platform/text.h"

namespace zemblo {

std::optional<Url> addressFromDroppedUris(const std::vector<std::string>& uris) {
  for (const auto& uri : uris) {
    const std::string_view line = trimmedWhitespaceAndNewlines(uri);
    if (line.empty() || line.front() == '#') continue;
    if (auto address = openableAddress(line)) return address;
  }
  return std::nullopt;
}

namespace {

std::vector<std::string> uriListLines(std::string_view list) {
  std::vector<std::string> lines;
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find('\n', start), list.size());
    lines.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

}  // namespace

std::optional<Url> addressFromDroppedUriList(std::string_view list) {
  return addressFromDroppedUris(uriListLines(list));
}

bool everyDroppedUriOpens(std::string_view list) {
  bool any = false;
  for (const auto& uri : uriListLines(list)) {
    const std::string_view line = trimmedWhitespaceAndNewlines(uri);
    if (line.empty() || line.front() == '#') continue;
    if (!openableAddress(line)) return false;
    any = true;
  }
  return any;
}

std::optional<Url> addressForDroppedText(std::string_view text, SearchEngine engine) {
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
  if (trimmed.empty()) return std::nullopt;
  if (auto address = openableAddress(trimmed)) return address;
  if (auto typed = urlFromUserInput(trimmed); typed && openableAddress(typed->str())) return typed;
  return engine.searchURL(trimmed);
}

}  // namespace zemblo
