#include "settings/space_editor/space_editor.h"

#include "model/localization.h"
#include "model/window_model.h"
#include "settings/kit/binding.h"
#include "settings/kit/confirmation_dialog.h"
#include "settings/kit/settings_row.h"
#include "settings/kit/settings_section.h"
#include "settings/space_editor/preset_swatch.h"
#include "settings/space_editor/space_header_tile.h"
#include "settings/space_editor/symbol_tile.h"
#include "widgets/accessibility.h"
#include "widgets/keyboard_regions.h"
#include "widgets/symbol_icons.h"

namespace zemblo {
namespace {

Gdk::RGBA rgbaOf(const std::string& hex) {
  const Color color = Color::fromHex(hex);
  Gdk::RGBA rgba;
  rgba.set_rgba(color.r, color.g, color.b, 1);
  return rgba;
}

// A grid of equal columns of at least 10 points, its cells centred, 14 in from the card's edges.
Gtk::Grid* makeGrid(int columnSpacing, int rowSpacing) {
  auto* grid = Gtk::make_managed<Gtk::Grid>();
  grid->set_column_homogeneous(true);
  grid->set_column_spacing(columnSpacing);
  grid->set_row_spacing(rowSpacing);
  grid->set_margin(14);
  return grid;
}

void iconButton(Gtk::Button& button, const char* symbol) {
  button.set_icon_name(symbolIconName(symbol));
  button.add_css_class("settings-small");
  button.set_valign(Gtk::Align::CENTER);
}

}  // namespace

SpaceEditor::SpaceEditor(const SettingsContext& context, std::shared_ptr<Space> space,
                         std::function<void()> onDelete)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 24),
      context_(context),
      space_(std::move(space)),
      onDelete_(std::move(onDelete)),
      header_(space_) {
  set_name("SpaceEditor");
  append(header_);
  buildIdentity();
  buildColors();
  buildSymbols();
  buildDelete();
  // A save for every change of what the session keeps of the space, whoever made it; writing
  // the value a field already holds changes nothing and saves nothing.
  for (const ObservedProperty* field : std::initializer_list<const ObservedProperty*>{
           &space_->name, &space_->symbol, &space_->colorA, &space_->colorB}) {
    saves_.push_back(field->signalChanged().connect([this] { context_.saveSession(); }));
  }
  observer_ = std::make_unique<Observer>([this] { sync(); });
}

SpaceEditor::~SpaceEditor() {
  observer_.reset();
  for (auto& connection : saves_) connection.disconnect();
}

void SpaceEditor::buildIdentity() {
  auto* identity = Gtk::make_managed<SettingsSection>(localized("Kimlik"));
  auto& name = identity->add<SettingsRow>(localized("Ad"), std::nullopt, "character.cursor.ibeam");
  nameField_.set_placeholder_text(localized("Alan adı"));
  nameField_.set_size_request(kNameFieldWidth, -1);
  nameField_.signal_changed().connect(sigc::mem_fun(*this, &SpaceEditor::nameEdited));
  name.setAccessory(nameField_);

  auto& order = identity->add<SettingsRow>(localized("Sıra"),
                                           localized("Kenar çubuğundaki alan düğmelerinin sırası"),
                                           "arrow.left.arrow.right");
  iconButton(left_, "chevron.left");
  iconButton(right_, "chevron.right");
  for (auto [button, text] :
       {std::pair{&left_, localized("Sola taşı")}, std::pair{&right_, localized("Sağa taşı")}}) {
    button->set_tooltip_text(text);
    setAccessibleName(*button, text);
  }
  left_.signal_clicked().connect([this] { move(-1); });
  right_.signal_clicked().connect([this] { move(+1); });
  order_.append(left_);
  order_.append(right_);
  order.setAccessory(order_, false);
  append(*identity);
}

void SpaceEditor::buildColors() {
  auto* colors = Gtk::make_managed<SettingsSection>(localized("Renk"));
  Gtk::Grid* grid = makeGrid(10, 14);
  int cell = 0;
  for (const SpacePreset& preset : SpacePreset::all()) {
    auto* swatch = Gtk::make_managed<PresetSwatch>(preset);
    swatch->signal_clicked().connect([this, swatch] { applyPreset(swatch->preset()); });
    grid->attach(*swatch, cell % kPresetColumns, cell / kPresetColumns);
    presets_.push_back(swatch);
    ++cell;
  }
  colors->addRow(*grid);

  auto& custom = colors->add<SettingsRow>(
      localized("Özel renkler"), localized("Geçişin başlangıç ve bitiş rengi"), "eyedropper");
  setAccessibleNameWithInnerButton(pickerA_, localized("Başlangıç rengi"));
  setAccessibleNameWithInnerButton(pickerB_, localized("Bitiş rengi"));
  for (Gtk::ColorButton* picker : {&pickerA_, &pickerB_}) {
    picker->set_use_alpha(false);
    picker->set_valign(Gtk::Align::CENTER);
    const bool first = picker == &pickerA_;
    picker->signal_color_set().connect([this, picker, first] {
      if (showing_) return;
      const Gdk::RGBA rgba = picker->get_rgba();
      setHexColor(first, {rgba.get_red(), rgba.get_green(), rgba.get_blue()});
    });
  }
  arrow_.set_from_icon_name(symbolIconName("arrow.right"));
  arrow_.set_pixel_size(symbolPixelSize(10));
  arrow_.add_css_class("settings-tertiary");
  hideFromScreenReaders(arrow_);
  pickers_.append(pickerA_);
  pickers_.append(arrow_);
  pickers_.append(pickerB_);
  custom.setAccessory(pickers_, false);
  append(*colors);
}

void SpaceEditor::buildSymbols() {
  auto* icons = Gtk::make_managed<SettingsSection>(localized("Simge"));
  Gtk::Grid* grid = makeGrid(8, 8);
  int cell = 0;
  for (const std::string_view symbol : spaceSymbols()) {
    auto* tile = Gtk::make_managed<SymbolTile>(std::string(symbol));
    tile->signal_clicked().connect([this, tile] { setSymbol(tile->symbol()); });
    grid->attach(*tile, cell % kSymbolColumns, cell / kSymbolColumns);
    symbols_.push_back(tile);
    ++cell;
  }
  // One stop, the arrows walking the symbols.
  passAsOneTabStop(*grid);
  icons->addRow(*grid);
  append(*icons);
}

void SpaceEditor::buildDelete() {
  auto* section = Gtk::make_managed<SettingsSection>();
  deleteRow_ = &section->add<SettingsRow>(localized("Alanı sil"), std::nullopt, "trash");
  deleteButton_.set_label(localized("Sil…"));
  deleteButton_.add_css_class("destructive-action");
  deleteButton_.signal_clicked().connect([this] { askToDelete(); });
  deleteRow_->setAccessory(deleteButton_, false);
  append(*section);
}

void SpaceEditor::sync() {
  const auto& spaces = context_.tabs().spaces.get();
  const std::string& name = space_->name.get();
  const std::string& colorA = space_->colorA.get();
  const std::string& colorB = space_->colorB.get();
  const std::string& symbol = space_->symbol.get();
  const size_t tabCount = context_.windows().tabCountIn(space_->id);
  header_.sync();
  {
    ShowingModelValue showing(showing_);
    if (nameField_.get_text().raw() != name) nameField_.set_text(name);
    pickerA_.set_rgba(rgbaOf(colorA));
    pickerB_.set_rgba(rgbaOf(colorB));
  }
  const size_t position = index();
  left_.set_sensitive(position > 0);
  right_.set_sensitive(position + 1 < spaces.size());
  for (PresetSwatch* swatch : presets_) swatch->setSelected(swatch->matches(colorA, colorB));
  const LinearGradient gradient = space_->gradient();
  for (SymbolTile* tile : symbols_) tile->show(tile->symbol() == symbol, gradient);
  const bool deletable = spaces.size() > 1;
  deleteRow_->setSubtitle(
      deletable ? localized("Bu alandaki %@ sekme kapanır", static_cast<long long>(tabCount))
                : localized("En az bir alan olmalı"));
  deleteButton_.set_sensitive(deletable);
}

size_t SpaceEditor::index() const {
  const auto& spaces = context_.tabs().spaces.peek();
  for (size_t i = 0; i < spaces.size(); ++i) {
    if (spaces[i] == space_) return i;
  }
  return 0;
}

void SpaceEditor::move(int step) {
  const size_t count = context_.tabs().spaces.peek().size();
  const long long from = static_cast<long long>(index());
  const long long to = from + step;
  if (to < 0 || to >= static_cast<long long>(count)) return;
  // The destination counts places before the move: one to the right lands past the neighbour.
  context_.tabs().moveSpaces({size_t(from)}, size_t(step > 0 ? to + 1 : to));
}

void SpaceEditor::applyPreset(const SpacePreset& preset) {
  space_->colorA.set(preset.colorA);
  space_->colorB.set(preset.colorB);
}

void SpaceEditor::setSymbol(std::string_view symbol) { space_->symbol.set(std::string(symbol)); }

void SpaceEditor::setHexColor(bool first, const Color& color) {
  (first ? space_->colorA : space_->colorB).set(color.hexString());
}

void SpaceEditor::nameEdited() {
  if (showing_) return;
  space_->name.set(nameField_.get_text());
}

void SpaceEditor::askToDelete() {
  if (context_.tabs().spaces.peek().size() < 2) return;
  const ConfirmationDialog::Question question{
      withArgument(localized("\"%@\" silinsin mi?"), space_->name.peek()),
      localized("Bu alandaki sekmeler kapanacak. Bu işlem geri alınamaz."), localized("Alanı Sil")};
  confirmation_ = std::make_unique<ConfirmationDialog>(*this, question, [this](bool confirmed) {
    confirmation_.reset();
    if (confirmed) performDelete();
  });
}

void SpaceEditor::performDelete() {
  // Keeps the space alive through its deletion: the store may hold its last other reference.
  const std::shared_ptr<Space> space = space_;
  if (onDelete_) onDelete_();
  context_.tabs().deleteSpace(*space);
}

}  // namespace zemblo
