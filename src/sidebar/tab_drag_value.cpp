#include "sidebar/tab_drag_value.h"

namespace zemblo {

GType tabDragType() {
  // Registered once for the process, as every GType is.
  static const GType type =
      g_boxed_type_register_static("ZembloTabRowDrag", reinterpret_cast<GBoxedCopyFunc>(g_strdup),
                                   reinterpret_cast<GBoxedFreeFunc>(g_free));
  return type;
}

Glib::RefPtr<Gdk::ContentProvider> tabDragContent(const std::string& payload) {
  Glib::ValueBase value;
  value.init(tabDragType());
  g_value_set_boxed(value.gobj(), payload.c_str());
  return Gdk::ContentProvider::create(value);
}

std::optional<std::string> tabDragPayloadIn(const Glib::ValueBase& value) {
  if (!G_VALUE_HOLDS(value.gobj(), tabDragType())) return std::nullopt;
  const auto* text = static_cast<const char*>(g_value_get_boxed(value.gobj()));
  if (!text) return std::nullopt;
  return std::string(text);
}

}  // namespace zemblo
