#include "widgets/dropped_content.h"

namespace zemblo {

namespace {

Gdk::DragAction preferredAction(Gtk::DropTarget& target) {
  const auto drop = target.get_current_drop();
  if (!drop) return {};
  const Gdk::DragAction offered = drop->get_actions();
  for (const auto action : {Gdk::DragAction::COPY, Gdk::DragAction::MOVE, Gdk::DragAction::LINK}) {
    if ((offered & action) == action) return action;
  }
  return {};
}

}  // namespace

Glib::RefPtr<Gtk::DropTarget> makeContentDropTarget(
    std::function<bool(const Glib::ValueBase& value, double x, double y)> dropped,
    std::function<void(double x, double y)> moved) {
  auto target = Gtk::DropTarget::create(
      G_TYPE_INVALID, Gdk::DragAction::COPY | Gdk::DragAction::MOVE | Gdk::DragAction::LINK);
  target->set_gtypes({GDK_TYPE_FILE_LIST, G_TYPE_STRING});
  // The target owns its handlers: they hold no reference to it.
  Gtk::DropTarget* self = target.get();
  target->signal_motion().connect(
      [self, moved = std::move(moved)](double x, double y) {
        if (moved) moved(x, y);
        return preferredAction(*self);
      },
      false);
  target->signal_drop().connect(std::move(dropped), false);
  return target;
}

std::vector<std::string> droppedUris(const Glib::ValueBase& value) {
  std::vector<std::string> uris;
  if (!G_VALUE_HOLDS(value.gobj(), GDK_TYPE_FILE_LIST)) return uris;
  const auto* files = static_cast<GdkFileList*>(g_value_get_boxed(value.gobj()));
  if (!files) return uris;
  GSList* list = gdk_file_list_get_files(const_cast<GdkFileList*>(files));
  for (GSList* each = list; each; each = each->next) {
    gchar* uri = g_file_get_uri(G_FILE(each->data));
    if (uri) uris.emplace_back(uri);
    g_free(uri);
  }
  g_slist_free(list);
  return uris;
}

std::optional<std::string> droppedText(const Glib::ValueBase& value) {
  if (!G_VALUE_HOLDS_STRING(value.gobj())) return std::nullopt;
  const char* text = g_value_get_string(value.gobj());
  if (!text) return std::nullopt;
  return std::string(text);
}

}  // namespace zemblo
