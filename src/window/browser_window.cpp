#include "window/browser_window.h"

#include "model/browser_store.h"

namespace zemblo {

BrowserWindow::BrowserWindow(std::shared_ptr<BrowserStore> store) : store_(std::move(store)) {
  set_title("Zemblo");
  set_default_size(kDefaultWidth, kDefaultHeight);
  set_size_request(kMinimumWidth, kMinimumHeight);
  add_css_class("zemblo-browser-window");
  // The title bar is hidden; the content draws its own window buttons and drag area.
  auto* titlebar = Gtk::make_managed<Gtk::WindowHandle>();
  titlebar->set_visible(false);
  set_titlebar(*titlebar);
  rebuildContent();
}

void BrowserWindow::rebuildContent() {
  auto* frame = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL);
  auto* handle = Gtk::make_managed<Gtk::WindowHandle>();
  auto* controls = Gtk::make_managed<Gtk::WindowControls>(Gtk::PackType::START);
  controls->set_halign(Gtk::Align::START);
  controls->set_margin(10);
  handle->set_child(*controls);
  frame->append(*handle);
  auto* content = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL);
  content->set_vexpand(true);
  content->add_css_class("zemblo-content");
  frame->append(*content);
  set_child(*frame);
}

}  // namespace zemblo
