#pragma once

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include "platform/gobject_ref.h"

namespace zemblo {

// One showing of the print dialog for a page. WebKit runs the dialog in a main loop of its own
// and returns only once it is answered, so whoever holds this object can end it early with
// `cancel()`: a closed tab, a hidden page or quitting must never wait on the user.
class PagePrintDialog {
 public:
  // With `offerToBlock`, the dialog also offers "Don't let this page show more dialogs".
  PagePrintDialog(GObjectRef<WebKitPrintOperation> operation, GtkWindow* parent, bool offerToBlock);
  ~PagePrintDialog();
  PagePrintDialog(const PagePrintDialog&) = delete;
  PagePrintDialog& operator=(const PagePrintDialog&) = delete;

  // Shows the dialog and returns once it is answered or cancelled; this object must outlive the
  // call. True when the user chose to print (the pages go on being printed afterwards).
  bool run();
  // Answers the dialog as cancelled; a run not started yet never shows it.
  void cancel();
  // Brings the dialog back in front of its window.
  void present();
  // The user ticked "Don't let this page show more dialogs" before answering.
  bool blockMoreChosen() const { return blockMoreChosen_; }

 private:
  static gboolean adoptShownDialog(gpointer self);
  static void onResponse(GtkDialog*, int response, PagePrintDialog* self);
  static void onDestroy(GtkWidget*, PagePrintDialog* self);
  // The print dialog WebKit has just shown for this parent, which no other run has taken.
  GtkWidget* findNewDialog() const;
  void adopt(GtkWidget* dialog);

  GObjectRef<WebKitPrintOperation> operation_;
  GtkWindow* parent_;
  bool offerToBlock_;
  GtkWidget* dialog_ = nullptr;     // WebKit's, until it is destroyed
  GtkWidget* blockMore_ = nullptr;  // owned by the dialog
  bool cancelled_ = false;
  bool blockMoreChosen_ = false;
  guint adoptSource_ = 0;
  SignalHandlers dialogHandlers_;
};

}  // namespace zemblo
