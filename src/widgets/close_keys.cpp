#include "widgets/close_keys.h"

namespace zemblo {

void closeWithKeys(Gtk::Window& window, std::initializer_list<const char*> keys) {
  auto controller = Gtk::ShortcutController::create();
  controller->set_propagation_phase(Gtk::PropagationPhase::BUBBLE);
  for (const char* key : keys) {
    controller->add_shortcut(Gtk::Shortcut::create(
        Gtk::ShortcutTrigger::parse_string(key),
        Gtk::CallbackAction::create([&window](Gtk::Widget&, const Glib::VariantBase&) {
          window.close();
          return true;
        })));
  }
  window.add_controller(controller);
}

}  // namespace zemblo
