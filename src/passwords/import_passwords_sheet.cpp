#include "passwords/import_passwords_sheet.h"

#include <cstdio>
#include <initializer_list>

#include "model/app_preferences.h"
#include "model/browser_windows.h"
#include "model/localization.h"
#include "model/password_store.h"
#include "model/preferences_model.h"
#include "model/theme_colors.h"
#include "model/window_model.h"
#include "passwords/passwords_resources.h"
#include "platform/desktop.h"
#include "platform/file_reading.h"
#include "widgets/accessibility.h"
#include "widgets/css_class.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

Gtk::Label& label(const std::string& text, const char* cssClass) {
  auto& made = *Gtk::make_managed<Gtk::Label>(text);
  made.add_css_class(cssClass);
  return made;
}

Gtk::Image& symbol(const char* name, double points, const char* cssClass) {
  auto& image = *Gtk::make_managed<Gtk::Image>();
  image.set_from_icon_name(symbolIconName(name));
  image.set_pixel_size(symbolPixelSize(points));
  image.add_css_class(cssClass);
  presentAsDecoration(image);
  return image;
}

std::string hexColor(const Color& color) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", int(color.r * 255 + 0.5),
                int(color.g * 255 + 0.5), int(color.b * 255 + 0.5));
  return text;
}

void spacerInto(Gtk::Box& box) {
  auto& spacer = *Gtk::make_managed<Gtk::Box>();
  spacer.set_hexpand(true);
  box.append(spacer);
}

}  // namespace

ImportPasswordsSheet::ImportPasswordsSheet(PasswordStore& passwords,
                                           const PreferencesModel& preferences,
                                           const BrowserWindows& windows, Gtk::Window& parent)
    : passwords_(passwords),
      preferences_(preferences),
      windows_(windows),
      themeStyle_(Gtk::CssProvider::create()) {
  set_name("ImportPasswordsSheet");
  add_css_class("import-sheet");
  set_title(localized("Şifreleri İçe Aktar"));
  set_transient_for(parent);
  set_modal(true);
  set_destroy_with_parent(true);
  set_resizable(false);
  set_default_size(kWidth, -1);
  // The sheet draws its own title; the whole of it moves the window.
  auto* titlebar = Gtk::make_managed<Gtk::Box>();
  titlebar->set_visible(false);
  set_titlebar(*titlebar);
  Gtk::StyleContext::add_provider_for_display(get_display(), themeStyle_,
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);

  buildGuide();
  buildFinished();
  buildFailed();
  pages_.set_transition_type(Gtk::StackTransitionType::CROSSFADE);
  pages_.set_vhomogeneous(false);
  pages_.set_hhomogeneous(false);
  guide_.set_name("ImportGuide");
  finished_.set_name("ImportFinished");
  failed_.set_name("ImportFailed");
  // Screen readers announce each page by its title.
  pages_.add(guide_, "guide", localized("Şifreleri İçe Aktar"));
  pages_.add(finished_, "finished", localized("İçe aktarma bitti"));
  pages_.add(failed_, "failed", localized("İçe aktarılamadı"));
  pages_.set_size_request(kWidth, -1);
  handle_.set_child(width_);
  set_child(handle_);

  auto keys = Gtk::ShortcutController::create();
  keys->add_shortcut(Gtk::Shortcut::create(
      Gtk::KeyvalTrigger::create(GDK_KEY_Escape, Gdk::ModifierType(0)),
      Gtk::CallbackAction::create([this](Gtk::Widget&, const Glib::VariantBase&) {
        if (phase_ != Phase::guide) return false;
        close();
        return true;
      })));
  add_controller(keys);

  showPhase(Phase::guide);
  // Empty until there is a result to tell.
  for (Gtk::Label* empty : {&headline_, &summary_, &failureMessage_}) empty->set_visible(false);
  groupToolkitParts(*this);
  observer_ = std::make_unique<Observer>([this] { syncTheme(); });
}

ImportPasswordsSheet::~ImportPasswordsSheet() {
  observer_.reset();
  stopShrinking();
  // The window forgets its default and focus widgets only as it is destroyed, after the members
  // they point to are gone.
  unset_focus();
  unset_default_widget();
  if (chooser_) chooser_->hide();
  while (Gtk::Widget* row = steps_.get_first_child()) steps_.remove(*row);
  Gtk::StyleContext::remove_provider_for_display(get_display(), themeStyle_);
}

void ImportPasswordsSheet::buildGuide() {
  presentAsDecoration(keySymbol_);
  keySymbol_.set_from_icon_name(symbolIconName("key.fill"));
  keySymbol_.set_pixel_size(symbolPixelSize(20));
  keySymbol_.add_css_class("lock-badge-symbol");
  auto& header = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 14);
  auto& headerText = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 3);
  auto& subtitle =
      label(localized("Şifrelerini diğer tarayıcından CSV olarak dışa aktar, sonra buraya bırak."),
            "import-sheet-subtitle");
  subtitle.add_css_class("dim-label");
  subtitle.set_wrap(true);
  headerText.append(label(localized("Şifreleri İçe Aktar"), "import-sheet-title"));
  headerText.append(subtitle);
  for (Gtk::Widget* child = headerText.get_first_child(); child;
       child = child->get_next_sibling()) {
    static_cast<Gtk::Label*>(child)->set_xalign(0);
  }
  headerText.set_valign(Gtk::Align::CENTER);
  header.append(headerTile_);
  header.append(headerText);
  headerTile_.set_valign(Gtk::Align::CENTER);

  sourcePicker_.add_css_class("linked");
  sourcePicker_.add_css_class("import-source-picker");
  sourcePicker_.set_homogeneous(true);
  setAccessibleName(sourcePicker_, localized("Kaynak"));
  Gtk::ToggleButton* first = nullptr;
  for (const ImportSource source : kImportSources) {
    auto* button = Gtk::make_managed<Gtk::ToggleButton>(importSourceTitle(source));
    if (first) button->set_group(*first);
    first = first ? first : button;
    button->set_active(source == source_);
    button->signal_toggled().connect([this, button, source] {
      if (button->get_active()) setSource(source);
    });
    sourceButtons_.push_back(button);
    sourcePicker_.append(*button);
  }

  steps_.add_css_class("import-steps");
  showSteps();

  presentAsDecoration(dropSymbol_);
  dropSymbol_.set_from_icon_name(symbolIconName("doc.badge.arrow.up"));
  dropSymbol_.set_pixel_size(symbolPixelSize(28));
  dropSymbol_.add_css_class("import-drop-symbol");
  choose_.set_label(localized("Dosya Seç…"));
  choose_.add_css_class("pill");
  choose_.set_halign(Gtk::Align::CENTER);
  choose_.set_margin_top(2);
  choose_.signal_clicked().connect([this] { chooseFile(); });
  dropZone_.add_css_class("import-drop-zone");
  dropZone_.append(dropSymbol_);
  dropZone_.append(label(localized("CSV dosyasını buraya sürükle"), "import-drop-title"));
  dropZone_.append(choose_);
  auto drop = Gtk::DropTarget::create(GDK_TYPE_FILE_LIST, Gdk::DragAction::COPY);
  drop->signal_enter().connect(
      [this](double, double) {
        setDropTargeted(true);
        return Gdk::DragAction::COPY;
      },
      false);
  drop->signal_leave().connect([this] { setDropTargeted(false); });
  drop->signal_drop().connect(
      [this](const Glib::ValueBase& value, double, double) {
        setDropTargeted(false);
        std::vector<Glib::RefPtr<Gio::File>> files;
        auto* list = static_cast<GSList*>(g_value_get_boxed(value.gobj()));
        for (GSList* item = list; item; item = item->next) {
          files.push_back(Glib::wrap(G_FILE(item->data), true));
        }
        return dropFiles(files);
      },
      false);
  dropZone_.add_controller(drop);

  auto& footer = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 6);
  footer.add_css_class("import-footer");
  auto& note = label(localized("Şifreler anahtarlığında saklanır."), "import-footer");
  note.add_css_class("dim-label");
  auto& shield = symbol("lock.shield", 11, "dim-label");
  footer.append(shield);
  footer.append(note);
  spacerInto(footer);
  cancel_.set_label(localized("Vazgeç"));
  cancel_.signal_clicked().connect([this] { close(); });
  footer.append(cancel_);

  guide_.set_margin(24);
  for (Gtk::Widget* child :
       std::initializer_list<Gtk::Widget*>{&header, &sourcePicker_, &steps_, &dropZone_, &footer}) {
    guide_.append(*child);
  }
}

void ImportPasswordsSheet::buildFinished() {
  presentAsDecoration(checkSymbol_);
  checkSymbol_.set_from_icon_name(symbolIconName("checkmark"));
  checkSymbol_.set_pixel_size(symbolPixelSize(26));
  checkSymbol_.add_css_class("lock-badge-symbol");
  checkTile_.set_halign(Gtk::Align::CENTER);
  checkTile_.set_margin_top(8);
  headline_.set_name("ImportHeadline");
  headline_.add_css_class("import-headline");
  headline_.set_wrap(true);
  summary_.set_name("ImportSummary");
  summary_.add_css_class("import-summary");
  summary_.add_css_class("dim-label");

  auto& warning = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 10);
  warning.add_css_class("import-warning");
  warning.set_margin_top(6);
  auto& triangle = symbol("exclamationmark.triangle.fill", 13, "import-warning-symbol");
  triangle.set_valign(Gtk::Align::START);
  auto& advice = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
  auto& text = label(localized("CSV dosyası şifrelerini düz metin olarak içeriyor. Güvenliğin için "
                               "silmeni öneririz."),
                     "import-warning-text");
  text.set_wrap(true);
  text.set_xalign(0);
  trash_.set_label(localized("CSV'yi Çöp Sepeti'ne Taşı"));
  trash_.add_css_class("import-trash");
  trash_.set_halign(Gtk::Align::START);
  trash_.signal_clicked().connect([this] { moveToTrash(); });
  advice.append(text);
  advice.append(trash_);
  advice.set_hexpand(true);
  warning.append(triangle);
  warning.append(advice);

  auto& buttons = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
  buttons.set_margin_top(4);
  spacerInto(buttons);
  done_.set_label(localized("Bitti"));
  done_.add_css_class("suggested-action");
  done_.add_css_class("pill");
  done_.signal_clicked().connect([this] { close(); });
  buttons.append(done_);

  finished_.set_margin(24);
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{&checkTile_, &headline_, &summary_,
                                                                &warning, &buttons}) {
    finished_.append(*child);
  }
}

void ImportPasswordsSheet::buildFailed() {
  auto& mark = symbol("xmark.octagon.fill", 48, "import-failed-symbol");
  mark.set_margin_top(8);
  failureMessage_.set_name("ImportFailure");
  failureMessage_.add_css_class("import-failed-message");
  failureMessage_.add_css_class("dim-label");
  failureMessage_.set_wrap(true);
  failureMessage_.set_justify(Gtk::Justification::CENTER);
  failureMessage_.set_max_width_chars(48);  // about 400 points

  auto& buttons = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 0);
  buttons.set_margin_top(8);
  auto& cancel = *Gtk::make_managed<Gtk::Button>(localized("Vazgeç"));
  cancel.signal_clicked().connect([this] { close(); });
  buttons.append(cancel);
  spacerInto(buttons);
  retry_.set_label(localized("Tekrar Dene"));
  retry_.add_css_class("suggested-action");
  retry_.add_css_class("pill");
  retry_.signal_clicked().connect([this] { showGuide(); });
  buttons.append(retry_);

  failed_.set_margin(24);
  for (Gtk::Widget* child : std::initializer_list<Gtk::Widget*>{
           &mark, &label(localized("İçe aktarılamadı"), "import-failed-title"), &failureMessage_,
           &buttons}) {
    failed_.append(*child);
  }
}

Gtk::Widget& ImportPasswordsSheet::page(Phase phase) {
  switch (phase) {
    case Phase::finished:
      return finished_;
    case Phase::failed:
      return failed_;
    case Phase::guide:
      break;
  }
  return guide_;
}

void ImportPasswordsSheet::setSource(ImportSource source) {
  if (source == source_) return;
  source_ = source;
  for (size_t i = 0; i < kImportSources.size(); ++i) {
    if (kImportSources[i] == source) sourceButtons_[i]->set_active(true);
  }
  showSteps();
  syncTheme();
}

void ImportPasswordsSheet::showSteps() {
  while (Gtk::Widget* row = steps_.get_first_child()) steps_.remove(*row);
  stepNumbers_.clear();
  stepDigits_.clear();
  int number = 0;
  for (const std::string& step : importSourceSteps(source_)) {
    auto& row = *Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 10);
    auto& digit = *stepDigits_.emplace_back(std::make_unique<Gtk::Label>(std::to_string(++number)));
    digit.add_css_class("import-step-number");
    auto* tile = stepNumbers_.emplace_back(std::make_unique<GradientTile>(20, 10, digit)).get();
    tile->set_valign(Gtk::Align::START);
    auto& text = label(step, "import-step-text");
    text.set_name("ImportStep");
    text.set_wrap(true);
    text.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    text.set_xalign(0);
    text.set_selectable(true);
    text.set_hexpand(true);
    row.append(*tile);
    row.append(text);
    steps_.append(row);
  }
}

void ImportPasswordsSheet::syncTheme() {
  const Palette palette = themeColors(preferences_, windows_.first());
  const LinearGradient fill = gradient(palette.direction, palette.primary, palette.secondary);
  headerTile_.setFill(fill);
  checkTile_.setFill(fill);
  for (const auto& tile : stepNumbers_) {
    tile->setFill(gradient(palette.direction, palette.primary, palette.primary));
  }
  themeStyle_->load_from_data(
      resources::importDropZoneStyleSheet({.primary = hexColor(palette.primary)}));
}

void ImportPasswordsSheet::setDropTargeted(bool targeted) {
  if (targeted == dropTargeted_) return;
  dropTargeted_ = targeted;
  setCssClass(dropZone_, "targeted", targeted);
  // A bounce each time the state changes: alternate two identical animations so that the next
  // one starts afresh.
  bounceA_ = !bounceA_;
  setCssClass(dropSymbol_, "bounce-a", bounceA_);
  setCssClass(dropSymbol_, "bounce-b", !bounceA_);
}

void ImportPasswordsSheet::chooseFile() {
  if (importing_) return;
  chooser_ = Gtk::FileChooserNative::create(localized("Dışa aktardığın şifre dosyasını (CSV) seç"),
                                            *this, Gtk::FileChooser::Action::OPEN,
                                            localized("İçe Aktar"), localized("Vazgeç"));
  auto csv = Gtk::FileFilter::create();
  csv->set_name("CSV");
  csv->add_mime_type("text/csv");
  csv->add_pattern("*.csv");
  csv->add_mime_type("text/plain");
  chooser_->add_filter(csv);
  chooser_->set_modal(true);
  chooser_->set_select_multiple(false);
  chooser_->signal_response().connect([this](int response) {
    const auto chooser = std::exchange(chooser_, nullptr);
    if (response != int(Gtk::ResponseType::ACCEPT)) return;
    if (const auto file = chooser->get_file()) importFile(file);
  });
  chooser_->show();
}

bool ImportPasswordsSheet::dropFiles(const std::vector<Glib::RefPtr<Gio::File>>& files) {
  if (phase_ != Phase::guide || importing_ || files.empty() || !files.front()) return false;
  const Glib::RefPtr<Gio::File>& file = files.front();
  // A link or a file behind a network location would be fetched; only files on this computer
  // are read.
  if (!file->is_native() || file->get_path().empty()) return false;
  importFile(file);
  return true;
}

void ImportPasswordsSheet::importFile(const Glib::RefPtr<Gio::File>& file) {
  if (importing_) return;
  trashed_ = false;
  const std::string path = file->is_native() ? file->get_path() : std::string();
  if (path.empty()) {
    showFailed(localizedDescription(PasswordImportError::unreadable));
    return;
  }
  importing_ = true;
  setUsable(guide_, false);
  auto finish = [this, alive = alive_.watch(), file](ImportOutcome outcome) {
    if (alive.expired()) return;
    importing_ = false;
    setUsable(guide_, true);
    if (outcome.error) {
      showFailed(localizedDescription(*outcome.error));
    } else {
      showFinished(outcome.result, file);
    }
  };
  readRegularFileInBackground(
      path, kMaximumImportFileSize,
      [this, alive = alive_.watch(), finish](std::optional<std::string> bytes) {
        if (alive.expired()) return;
        if (!bytes) {
          finish({PasswordImportError::unreadable, {}});
          return;
        }
        passwords_.importCSV(*bytes, finish);
      });
}

void ImportPasswordsSheet::showFinished(const ImportResult& result, Glib::RefPtr<Gio::File> file) {
  imported_ = std::move(file);
  headline_.set_text(importHeadline(result));
  headline_.set_visible(!headline_.get_text().empty());
  summary_.set_text(importSummaryLine(result));
  summary_.set_visible(!summary_.get_text().empty());
  trashed_ = false;
  trash_.set_label(localized("CSV'yi Çöp Sepeti'ne Taşı"));
  trash_.set_sensitive(true);
  showPhase(Phase::finished);
}

void ImportPasswordsSheet::showFailed(const std::string& message) {
  failureMessage_.set_text(message);
  failureMessage_.set_visible(!message.empty());
  showPhase(Phase::failed);
}

void ImportPasswordsSheet::showGuide() { showPhase(Phase::guide); }

void ImportPasswordsSheet::showPhase(Phase phase) {
  phase_ = phase;
  pages_.set_visible_child(page(phase));
  // The sheet takes the height of the phase shown. GTK grows a window for a taller page at once,
  // but shrinks it for a shorter one only when the window itself asks again, after the frame
  // that lays the page out.
  if (GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(gobj())); clock && !shrink_) {
    shrinkClock_ = GObjectRef<GdkFrameClock>::share(clock);
    shrink_ =
        g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(+[](ImportPasswordsSheet* self) {
                                   self->stopShrinking();
                                   self->queue_resize();
                                 }),
                                 this);
  }
  if (phase == Phase::guide) {
    unset_default_widget();
    return;
  }
  // Return takes the phase's main answer.
  Gtk::Button& answer = phase == Phase::finished ? done_ : retry_;
  set_default_widget(answer);
  answer.grab_focus();
}

void ImportPasswordsSheet::stopShrinking() {
  if (shrink_) g_signal_handler_disconnect(shrinkClock_.get(), shrink_);
  shrink_ = 0;
  shrinkClock_.reset();
}

void ImportPasswordsSheet::moveToTrash() {
  if (!imported_ || trashed_) return;
  struct Request {
    AliveToken::Watch alive;
    ImportPasswordsSheet* sheet;
  };
  g_file_trash_async(
      imported_->gobj(), G_PRIORITY_DEFAULT, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        const std::unique_ptr<Request> request(static_cast<Request*>(data));
        GError* error = nullptr;
        const bool moved = g_file_trash_finish(G_FILE(source), result, &error);
        if (error) {
          g_warning("The imported file could not be moved to the trash: %s", error->message);
          g_error_free(error);
        }
        if (!request->alive.expired()) request->sheet->trashAnswered(moved);
      },
      std::make_unique<Request>(Request{alive_.watch(), this}).release());
}

void ImportPasswordsSheet::trashAnswered(bool moved) {
  if (!moved) {
    // The user can still delete it by hand.
    if (imported_ && !imported_->get_path().empty()) desktop::revealFile(imported_->get_path());
    return;
  }
  trashed_ = true;
  trash_.set_label(localized("Çöp Sepeti'ne taşındı"));
  trash_.set_sensitive(false);
}

}  // namespace zemblo
