#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtkmm.h>

#include "model/app_preferences.h"
#include "model/space.h"
#include "platform/observable.h"
#include "settings/settings_context.h"
#include "settings/space_editor/space_header_tile.h"

namespace zemblo {

class ConfirmationDialog;
class PresetSwatch;
class SettingsRow;
class SymbolTile;

// Edits one space: its name, its place among the spaces, its two colours (a preset pair or two
// free picks) and its icon, and deletes it after asking. Every edit goes straight into the space,
// so the sidebar and the previews follow at once, and every change of the name, the icon or a
// colour (whoever made it) asks the store for its delayed save.
class SpaceEditor : public Gtk::Box {
 public:
  static constexpr int kNameFieldWidth = 200;
  static constexpr int kPresetColumns = 6;
  static constexpr int kSymbolColumns = 10;

  // `onDelete` runs once the user has confirmed, just before the space is deleted.
  SpaceEditor(const SettingsContext& context, std::shared_ptr<Space> space,
              std::function<void()> onDelete);
  ~SpaceEditor() override;

  const std::shared_ptr<Space>& space() const { return space_; }

 private:
  // The space's place among the store's spaces; 0 when the store no longer holds it.
  size_t index() const;

  // One place left (-1) or right (+1); nothing when there is no place there.
  void move(int step);
  void applyPreset(const SpacePreset& preset);
  void setSymbol(std::string_view symbol);
  // Stores a picked colour as "#RRGGBB" into the first or the second colour.
  void setHexColor(bool first, const Color& color);
  // The delete button: asks before anything is deleted.
  void askToDelete();
  // The confirmed deletion.
  void performDelete();

  void buildIdentity();
  void buildColors();
  void buildSymbols();
  void buildDelete();
  void sync();
  void nameEdited();

  const SettingsContext& context_;
  std::shared_ptr<Space> space_;
  std::function<void()> onDelete_;
  SpaceHeaderTile header_;
  Gtk::Entry nameField_;
  Gtk::Box order_{Gtk::Orientation::HORIZONTAL, 6};
  Gtk::Button left_;
  Gtk::Button right_;
  std::vector<PresetSwatch*> presets_;
  Gtk::Box pickers_{Gtk::Orientation::HORIZONTAL, 8};
  Gtk::ColorButton pickerA_;
  Gtk::Image arrow_;
  Gtk::ColorButton pickerB_;
  std::vector<SymbolTile*> symbols_;
  SettingsRow* deleteRow_ = nullptr;
  Gtk::Button deleteButton_;
  std::unique_ptr<ConfirmationDialog> confirmation_;
  std::vector<sigc::connection> saves_;
  bool showing_ = false;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
