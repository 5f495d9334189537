#pragma once

#include <gtkmm.h>

#include <optional>
#include <string>

namespace zemblo {

// What a dragged tab row carries (its payload, `tabDragPayload`), as a type of its own: a drop
// target for text or addresses never takes a tab row, and the tab lists take nothing else. The
// rows of every window of the process share it, so a row dropped on another window's list is
// recognised there.
GType tabDragType();
Glib::RefPtr<Gdk::ContentProvider> tabDragContent(const std::string& payload);
// The payload of a dropped value; none for any other kind of value.
std::optional<std::string> tabDragPayloadIn(const Glib::ValueBase& value);

}  // namespace zemblo
