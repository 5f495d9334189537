#include "web/script_message.h"

namespace zemblo {

std::optional<std::string> messageString(JSCValue* message, const char* property) {
  if (!jsc_value_is_object(message)) return std::nullopt;
  JSCValue* value = jsc_value_object_get_property(message, property);
  std::optional<std::string> result;
  if (jsc_value_is_string(value)) {
    char* text = jsc_value_to_string(value);
    result = text;
    g_free(text);
  }
  g_object_unref(value);
  return result;
}

}  // namespace zemblo
