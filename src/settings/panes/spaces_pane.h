#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <gtkmm.h>

#include "model/window_model.h"
#include "platform/observable.h"
#include "platform/uuid.h"
#include "settings/kit/pane_body.h"
#include "settings/settings_context.h"
#include "settings/space_editor/new_space_button.h"

namespace zemblo {

class SpaceChip;
class SpaceEditor;

// Every space as a chip in one row that scrolls sideways, a button that adds a space, and under
// them the editor of one space. Picking a chip only picks the space to edit: the browser's
// current space stays. Without a pick (when the pane opens, or after a deletion) the pane edits
// the current space of the browser window used last.
class SpacesPane : public PaneBody {
 public:
  explicit SpacesPane(const SettingsContext& context);
  ~SpacesPane() override;

  // The space to edit: the picked one while it exists, else the current one, else the first.
  static std::shared_ptr<Space> editedSpace(const WindowModel::SpaceList& spaces,
                                            const std::optional<Uuid>& picked, const Uuid& current);

 private:
  void pick(const Space& space);
  // Adds a space at the end and edits it.
  void addSpace();
  void sync();
  void showChips(const WindowModel::SpaceList& spaces);
  // Scrolls the row so that the chip of the edited space, and the add button after the last one,
  // can be seen; once the row has been laid out.
  void revealEditedChip();

  const SettingsContext& context_;
  Observable<std::optional<Uuid>> picked_;
  Gtk::ScrolledWindow scroller_;
  Gtk::Box row_{Gtk::Orientation::HORIZONTAL, 12};
  NewSpaceButton newSpace_;
  std::vector<SpaceChip*> chips_;
  SpaceEditor* editor_ = nullptr;
  // Whether the next change of the pick came from a click, and so springs.
  bool animatePick_ = false;
  sigc::connection reveal_;
  std::unique_ptr<Observer> observer_;
};

}  // namespace zemblo
