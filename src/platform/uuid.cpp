#include "platform/uuid.h"

#include <glib.h>

#include "platform/text.h"

namespace zemblo {

Uuid Uuid::random() {
  gchar* raw = g_uuid_string_random();
  std::string text = asciiUppercased(raw);
  g_free(raw);
  return Uuid(std::move(text));
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
  const std::string candidate(text);
  if (!g_uuid_string_is_valid(candidate.c_str())) return std::nullopt;
  return Uuid(asciiUppercased(candidate));
}

}  // namespace zemblo
