#include "widgets/keyboard_regions.h"

#include <algorithm>
#include <optional>

namespace zemblo {
namespace {

bool holdsFocus(Gtk::Widget& region, Gtk::Widget* focus) {
  return focus && (focus == &region || focus->is_ancestor(region));
}

Gtk::Widget* sibling(Gtk::Widget& widget, bool backwards) {
  return backwards ? widget.get_prev_sibling() : widget.get_next_sibling();
}

// Tab's move from `group` as if it were one control: to the first control after it in the window
// (before it, backwards), round to the window's other end when none is.
void moveFocusPast(Gtk::Widget& group, Gtk::Window& window, bool backwards) {
  const auto direction =
      backwards ? Gtk::DirectionType::TAB_BACKWARD : Gtk::DirectionType::TAB_FORWARD;
  for (Gtk::Widget* child = &group; child && child != &window; child = child->get_parent()) {
    for (Gtk::Widget* next = sibling(*child, backwards); next; next = sibling(*next, backwards)) {
      if (next->is_drawable() && next->child_focus(direction)) return;
    }
  }
  window.unset_focus();
  Gtk::Widget* end = backwards ? window.get_last_child() : window.get_first_child();
  for (Gtk::Widget* next = end; next; next = sibling(*next, backwards)) {
    if (next->is_drawable() && next->child_focus(direction)) return;
  }
}

std::vector<Gtk::Widget*> controlsIn(Gtk::Widget& root) {
  std::vector<Gtk::Widget*> controls;
  for (Gtk::Widget* child = root.get_first_child(); child; child = child->get_next_sibling()) {
    if (!child->get_visible()) continue;
    if (child->get_focusable() && child->is_sensitive()) controls.push_back(child);
    std::ranges::copy(controlsIn(*child), std::back_inserter(controls));
  }
  return controls;
}

bool enter(const KeyboardRegion& region) {
  if (region.enter) {
    region.enter();
    return true;
  }
  return region.widget->child_focus(Gtk::DirectionType::TAB_FORWARD);
}

bool cycle(Gtk::Window& window, const std::vector<KeyboardRegion>& all, bool forward) {
  std::vector<KeyboardRegion> shown;
  std::ranges::copy_if(all, std::back_inserter(shown), [](const KeyboardRegion& region) {
    return region.widget && region.widget->is_drawable();
  });
  if (shown.empty()) return false;
  Gtk::Widget* focus = window.get_focus();
  const auto at = std::ranges::find_if(
      shown, [focus](const KeyboardRegion& region) { return holdsFocus(*region.widget, focus); });
  const size_t count = shown.size();
  // From outside every region the keys start at the first one, or backwards at the last.
  size_t next = forward ? 0 : count - 1;
  if (at != shown.end()) {
    const size_t from = at - shown.begin();
    next = forward ? (from + 1) % count : (from + count - 1) % count;
  }
  // A region with nothing to focus is passed over.
  for (size_t tried = 0; tried < count; ++tried) {
    if (enter(shown[next])) return true;
    next = forward ? (next + 1) % count : (next + count - 1) % count;
  }
  return false;
}

}  // namespace

void cycleRegionsWithF6(Gtk::Window& window, std::function<std::vector<KeyboardRegion>()> regions) {
  auto keys = Gtk::ShortcutController::create();
  // Before any widget: a page would take the key for itself.
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  for (const bool forward : {true, false}) {
    keys->add_shortcut(Gtk::Shortcut::create(
        Gtk::ShortcutTrigger::parse_string(forward ? "F6" : "<Shift>F6"),
        Gtk::CallbackAction::create(
            [&window, regions, forward](Gtk::Widget&, const Glib::VariantBase&) {
              return cycle(window, regions(), forward);
            })));
  }
  window.add_controller(keys);
}

void passAsOneTabStop(Gtk::Widget& group) {
  auto keys = Gtk::EventControllerKey::create();
  keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  keys->signal_key_pressed().connect(
      [&group](guint key, guint, Gdk::ModifierType state) {
        if (key != GDK_KEY_Tab && key != GDK_KEY_KP_Tab && key != GDK_KEY_ISO_Left_Tab) {
          return false;
        }
        auto* window = dynamic_cast<Gtk::Window*>(group.get_root());
        if (!window) return false;
        moveFocusPast(group, *window,
                      key == GDK_KEY_ISO_Left_Tab ||
                          (state & Gdk::ModifierType::SHIFT_MASK) != Gdk::ModifierType(0));
        return true;
      },
      false);
  group.add_controller(keys);
}

void passFocusOn(Gtk::Widget& leaving, Gtk::Widget& within) {
  auto* window = dynamic_cast<Gtk::Window*>(leaving.get_root());
  Gtk::Widget* focus = window ? window->get_focus() : nullptr;
  if (!holdsFocus(leaving, focus)) return;
  for (const bool backwards : {false, true}) {
    focus->grab_focus();
    moveFocusPast(leaving, *window, backwards);
    if (holdsFocus(within, window->get_focus()) && !holdsFocus(leaving, window->get_focus())) {
      return;
    }
  }
}

std::optional<size_t> focusedControlIndex(Gtk::Widget& root) {
  auto* window = dynamic_cast<Gtk::Window*>(root.get_root());
  Gtk::Widget* focus = window ? window->get_focus() : nullptr;
  const auto controls = controlsIn(root);
  const auto at = std::ranges::find(controls, focus);
  return at == controls.end() ? std::nullopt : std::optional<size_t>(at - controls.begin());
}

void focusControlAt(Gtk::Widget& root, size_t index) {
  const auto controls = controlsIn(root);
  if (!controls.empty()) controls[std::min(index, controls.size() - 1)]->grab_focus();
}

}  // namespace zemblo
