#include "sidebar/keyboard_focus.h"

#include <algorithm>
#include <memory>

namespace zemblo {

std::optional<size_t> focusTargetInGroup(size_t count, size_t columns, size_t focused,
                                         Gtk::DirectionType direction) {
  if (focused >= count) return std::nullopt;
  const size_t at = focused;
  const size_t width = std::clamp<size_t>(columns, 1, count);
  const bool oneRow = width == count;
  switch (direction) {
    case Gtk::DirectionType::TAB_FORWARD:
    case Gtk::DirectionType::TAB_BACKWARD:
      return std::nullopt;
    case Gtk::DirectionType::LEFT:
      return at % width > 0 ? at - 1 : at;
    case Gtk::DirectionType::RIGHT:
      return at % width + 1 < width && at + 1 < count ? at + 1 : at;
    case Gtk::DirectionType::UP:
      if (oneRow) return std::nullopt;
      return at >= width ? at - width : at;
    case Gtk::DirectionType::DOWN:
      if (oneRow) return std::nullopt;
      return at + width < count ? at + width : at;
  }
  return std::nullopt;
}

KeyboardGroup::KeyboardGroup(Gtk::Widget& container, Items items, std::function<size_t()> columns,
                             std::function<void(size_t)> reveal)
    : container_(container),
      items_(std::move(items)),
      columns_(std::move(columns)),
      reveal_(std::move(reveal)),
      keys_(Gtk::EventControllerKey::create()) {
  keys_->signal_key_pressed().connect(
      [this](guint keyval, guint, Gdk::ModifierType state) {
        const auto modifiers = Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::SHIFT_MASK |
                               Gdk::ModifierType::ALT_MASK | Gdk::ModifierType::SUPER_MASK;
        if ((state & modifiers) != Gdk::ModifierType(0)) return false;
        switch (keyval) {
          case GDK_KEY_Up:
          case GDK_KEY_KP_Up:
            return arrow(Gtk::DirectionType::UP);
          case GDK_KEY_Down:
          case GDK_KEY_KP_Down:
            return arrow(Gtk::DirectionType::DOWN);
          case GDK_KEY_Left:
          case GDK_KEY_KP_Left:
            return arrow(Gtk::DirectionType::LEFT);
          case GDK_KEY_Right:
          case GDK_KEY_KP_Right:
            return arrow(Gtk::DirectionType::RIGHT);
          case GDK_KEY_Home:
          case GDK_KEY_KP_Home:
            return moveTo(0);
          case GDK_KEY_End:
          case GDK_KEY_KP_End:
            return moveTo(items_().size() - 1);
          default:
            return false;
        }
      },
      false);
  container_.add_controller(keys_);
}

KeyboardGroup::~KeyboardGroup() { container_.remove_controller(keys_); }

std::optional<size_t> KeyboardGroup::focused() const {
  const auto items = items_();
  const auto at = std::ranges::find_if(items, [](Gtk::Widget* item) { return item->is_focus(); });
  return at == items.end() ? std::nullopt : std::optional<size_t>(at - items.begin());
}

std::optional<size_t> KeyboardGroup::holdingFocus() const {
  auto* root = container_.get_root();
  auto* focus = root ? root->get_focus() : nullptr;
  if (!focus) return std::nullopt;
  const auto items = items_();
  const auto at = std::ranges::find_if(
      items, [focus](Gtk::Widget* item) { return focus == item || focus->is_ancestor(*item); });
  return at == items.end() ? std::nullopt : std::optional<size_t>(at - items.begin());
}

void KeyboardGroup::makeStop(const std::vector<Gtk::Widget*>& items, size_t stop) {
  for (size_t i = 0; i < items.size(); ++i) items[i]->set_focusable(i == stop);
}

void KeyboardGroup::settle(size_t entry, std::optional<size_t> lostFocusAt) {
  const auto items = items_();
  if (items.empty()) return;
  if (const auto at = focused()) {
    makeStop(items, *at);
    return;
  }
  if (lostFocusAt) {
    const size_t stop = std::min(*lostFocusAt, items.size() - 1);
    items[stop]->set_focusable(true);
    items[stop]->grab_focus();
    makeStop(items, stop);
    return;
  }
  makeStop(items, std::min(entry, items.size() - 1));
}

bool KeyboardGroup::arrow(Gtk::DirectionType direction) {
  const auto from = focused();
  if (!from) return false;
  const auto target = focusTargetInGroup(items_().size(), columns_(), *from, direction);
  return target && moveTo(*target);
}

bool KeyboardGroup::moveTo(size_t target) {
  const auto items = items_();
  const auto from = focused();
  if (!from || target >= items.size()) return false;
  if (target == *from) return true;
  if (reveal_) reveal_(target);
  items[target]->set_focusable(true);
  items[target]->grab_focus();
  makeStop(items, target);
  return true;
}

namespace {

void runWithKeys(Gtk::Widget& control, const char* keys, std::function<void()> run) {
  auto controller = Gtk::ShortcutController::create();
  controller->add_shortcut(Gtk::Shortcut::create(
      Gtk::ShortcutTrigger::parse_string(keys),
      Gtk::CallbackAction::create(
          [run = std::move(run)](Gtk::Widget& widget, const Glib::VariantBase&) {
            // Not for a control inside it that has the focus and the key.
            if (!widget.is_focus()) return false;
            run();
            return true;
          })));
  control.add_controller(controller);
}

}  // namespace

void activateWithKeys(Gtk::Widget& control, std::function<void()> activate) {
  runWithKeys(control, "Return|KP_Enter|ISO_Enter|space|KP_Space", std::move(activate));
}

void removeWithKeys(Gtk::Widget& control, std::function<void()> remove) {
  runWithKeys(control, "Delete|KP_Delete", std::move(remove));
}

void openMenuWithKeys(Gtk::Widget& control, std::function<Gtk::Popover*(double x, double y)> open) {
  auto keys = Gtk::ShortcutController::create();
  keys->add_shortcut(Gtk::Shortcut::create(
      Gtk::ShortcutTrigger::parse_string("<Shift>F10|Menu"),
      Gtk::CallbackAction::create(
          [open = std::move(open)](Gtk::Widget& widget, const Glib::VariantBase&) {
            if (!widget.is_focus()) return false;
            // Where a click would have opened it: inside the control, near its start.
            Gtk::Popover* menu =
                open(std::min(24.0, widget.get_width() / 2.0), widget.get_height() / 2.0);
            // Opened from the keyboard, the menu takes it, or the next key would go on in the
            // sidebar behind it.
            if (!menu) return false;
            // A menu that took the focus as it opened already stands on its first item.
            auto* root = widget.get_root();
            auto* focus = root ? root->get_focus() : nullptr;
            if (!focus || !focus->is_ancestor(*menu)) {
              menu->child_focus(Gtk::DirectionType::TAB_FORWARD);
            }
            // Closed, the menu would keep the focus on a hidden item, where no key reaches the
            // window's shortcuts: it goes back to the control, if the control is still there.
            auto& control = widget;
            auto closed = std::make_shared<sigc::connection>();
            *closed = menu->signal_closed().connect([&control, menu, closed] {
              closed->disconnect();
              auto* root = control.get_root();
              auto* focus = root ? root->get_focus() : nullptr;
              if (focus && (focus == menu || focus->is_ancestor(*menu))) control.grab_focus();
            });
            return true;
          })));
  control.add_controller(keys);
}

}  // namespace zemblo
