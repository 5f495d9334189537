#include "widgets/popover_keys.h"

namespace zemblo {
namespace {

bool meansAShortcut(guint key, Gdk::ModifierType state) {
  const auto modifiers =
      Gdk::ModifierType::CONTROL_MASK | Gdk::ModifierType::ALT_MASK | Gdk::ModifierType::SUPER_MASK;
  return (state & modifiers) != Gdk::ModifierType{} || (key >= GDK_KEY_F1 && key <= GDK_KEY_F35);
}

void activateFocusWithSpace(Gtk::Popover& popover) {
  auto keys = Gtk::EventControllerKey::create();
  keys->signal_key_pressed().connect(
      [&popover](guint key, guint, Gdk::ModifierType state) {
        if ((key != GDK_KEY_space && key != GDK_KEY_KP_Space) ||
            (state & Gtk::Accelerator::get_default_mod_mask()) != Gdk::ModifierType{}) {
          return false;
        }
        Gtk::Widget* focus = popover.get_root() ? popover.get_root()->get_focus() : nullptr;
        return focus && focus->is_ancestor(popover) && focus->activate();
      },
      false);
  popover.add_controller(keys);
}

}  // namespace

void setUpPopoverKeys(Gtk::Popover& popover) {
  activateFocusWithSpace(popover);
  auto keys = Gtk::EventControllerKey::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  // The controller belongs to the popover, so it is there whenever its own signal runs.
  Gtk::EventControllerKey* controller = keys.get();
  keys->signal_key_pressed().connect(
      [&popover, controller](guint key, guint, Gdk::ModifierType state) {
        if (!meansAShortcut(key, state)) return false;
        auto* window = dynamic_cast<Gtk::Window*>(popover.get_root());
        return window && controller->forward(*window);
      },
      false);
  popover.add_controller(keys);
}

void popupFor(Gtk::Popover& popover, bool byPointer) {
  popover.popup();
  if (!byPointer) return;
  // The keyboard stays with the popover itself: left with no focus at all, the keys would go on to
  // the window behind it. Tab moves from there into the controls.
  popover.set_focusable(true);
  popover.grab_focus();
}

}  // namespace zemblo
