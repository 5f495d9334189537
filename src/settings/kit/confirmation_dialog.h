#pragma once

#include <functional>
#include <string>

#include <gtkmm.h>

#include "platform/gobject_ref.h"

namespace zemblo {

// The question asked before an action that cannot be taken back: the question as its title, what
// will happen as its message, one destructive button and a cancel that changes nothing. Modal to
// the window of the widget that asks. Dropping the dialog closes it unanswered.
class ConfirmationDialog {
 public:
  struct Question {
    std::string title;
    std::string message;
    std::string action;  // the destructive button
  };
  static constexpr const char* kConfirm = "confirm";
  static constexpr const char* kCancel = "cancel";

  // `answered` runs once, when the user confirms or cancels; the owner may drop the dialog
  // inside it.
  ConfirmationDialog(Gtk::Widget& asking, const Question& question,
                     std::function<void(bool confirmed)> answered);
  ~ConfirmationDialog();
  ConfirmationDialog(const ConfirmationDialog&) = delete;
  ConfirmationDialog& operator=(const ConfirmationDialog&) = delete;

 private:
  GObjectRef<GtkWidget> window_;
  std::function<void(bool)> answered_;
  gulong responseHandler_ = 0;
};

}  // namespace zemblo
