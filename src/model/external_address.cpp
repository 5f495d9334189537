#include "model/external_address.h"

#include <glib.h>

#include <string>

#include "platform/text.h"

namespace zemblo {

std::optional<Url> openableAddress(std::string_view text) {
  auto url = Url::parse(text);
  if (!url || !url->scheme()) return std::nullopt;
  if (url->isHttpOrHttps()) return url->host() ? url : std::nullopt;
  if (asciiLowercased(*url->scheme()) != "file") return std::nullopt;
  // A file on another machine would be fetched by whatever the desktop mounts there.
  const auto host = url->host();
  if (host && asciiLowercased(*host) != "localhost") return std::nullopt;
  return url;
}

std::optional<Url> addressFromArgument(std::string_view argument,
                                       const std::filesystem::path& workingFolder) {
  if (argument.empty()) return std::nullopt;
  if (auto url = openableAddress(argument)) return url;
  std::filesystem::path path(argument);
  if (path.is_relative()) path = workingFolder / path;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return std::nullopt;
  gchar* uri = g_filename_to_uri(path.lexically_normal().c_str(), nullptr, nullptr);
  if (!uri) return std::nullopt;
  auto url = Url::parse(uri);
  g_free(uri);
  return url;
}

}  // namespace zemblo
