#include "window/download_destination_dialog.h"

#include <memory>

#include "model/localization.h"

namespace zemblo {
namespace {

Glib::RefPtr<Gtk::FileChooserNative> makeChooser(Gtk::Window* parent) {
  const std::string title = localized("Dosyayı kaydet");
  const auto action = Gtk::FileChooser::Action::SAVE;
  return parent ? Gtk::FileChooserNative::create(title, *parent, action, localized("Kaydet"),
                                                 localized("Vazgeç"))
                : Gtk::FileChooserNative::create(title, action, localized("Kaydet"),
                                                 localized("Vazgeç"));
}

}  // namespace

void askDownloadDestination(Gtk::Window* parent, const std::filesystem::path& proposed,
                            std::function<void(std::optional<std::filesystem::path>)> answer) {
  auto chooser = makeChooser(parent);
  chooser->set_modal(true);
  // The chooser keeps itself alive until it answers: its handler holds the only reference, and
  // lets it go when it runs.
  auto held = std::make_shared<Glib::RefPtr<Gtk::FileChooserNative>>(chooser);
  chooser->signal_response().connect([held, answer = std::move(answer)](int response) {
    const auto self = std::exchange(*held, nullptr);
    if (!self) return;
    const auto file = response == Gtk::ResponseType::ACCEPT ? self->get_file() : nullptr;
    self->hide();
    if (file && !file->get_path().empty()) {
      answer(std::filesystem::path(file->get_path()));
    } else {
      answer(std::nullopt);
    }
  });
  std::error_code error;
  if (std::filesystem::is_directory(proposed.parent_path(), error)) {
    chooser->set_current_folder(Gio::File::create_for_path(proposed.parent_path().string()));
  }
  chooser->set_current_name(proposed.filename().string());
  chooser->show();
}

}  // namespace zemblo
