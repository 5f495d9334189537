#include "web/page_print_dialog.h"

#include <gtk/gtkunixprint.h>

#include "model/localization.h"

namespace zemblo {
namespace {

// Marks a dialog one run has taken, so that no other takes it too.
constexpr const char* kAdopted = "zemblo-page-print-dialog";

}  // namespace

PagePrintDialog::PagePrintDialog(GObjectRef<WebKitPrintOperation> operation, GtkWindow* parent,
                                 bool offerToBlock)
    : operation_(std::move(operation)), parent_(parent), offerToBlock_(offerToBlock) {}

PagePrintDialog::~PagePrintDialog() { dialogHandlers_.disconnectAll(); }

bool PagePrintDialog::run() {
  if (cancelled_) return false;
  // WebKit makes and shows the dialog before its loop runs anything: this runs first in it.
  adoptSource_ =
      g_idle_add_full(G_PRIORITY_HIGH, &PagePrintDialog::adoptShownDialog, this, nullptr);
  const auto response = webkit_print_operation_run_dialog(operation_.get(), parent_);
  if (adoptSource_) g_source_remove(adoptSource_);
  adoptSource_ = 0;
  return response == WEBKIT_PRINT_OPERATION_RESPONSE_PRINT && !cancelled_;
}

void PagePrintDialog::cancel() {
  cancelled_ = true;
  if (dialog_) gtk_dialog_response(GTK_DIALOG(dialog_), GTK_RESPONSE_CANCEL);
}

void PagePrintDialog::present() {
  if (dialog_) gtk_window_present(GTK_WINDOW(dialog_));
}

gboolean PagePrintDialog::adoptShownDialog(gpointer data) {
  auto* self = static_cast<PagePrintDialog*>(data);
  self->adoptSource_ = 0;
  if (GtkWidget* dialog = self->findNewDialog()) {
    self->adopt(dialog);
    // Cancelled before this turn: answered now that the dialog is known.
    if (self->cancelled_) gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
  } else {
    g_warning("The print dialog of a page was not found: it can't be cancelled");
  }
  return G_SOURCE_REMOVE;
}

GtkWidget* PagePrintDialog::findNewDialog() const {
  GListModel* toplevels = gtk_window_get_toplevels();
  GtkWidget* found = nullptr;
  for (guint i = 0; i < g_list_model_get_n_items(toplevels) && !found; ++i) {
    auto* window = static_cast<GtkWidget*>(g_list_model_get_item(toplevels, i));
    if (GTK_IS_PRINT_UNIX_DIALOG(window) && !g_object_get_data(G_OBJECT(window), kAdopted) &&
        gtk_window_get_transient_for(GTK_WINDOW(window)) == parent_) {
      found = window;
    }
    g_object_unref(window);
  }
  return found;
}

void PagePrintDialog::adopt(GtkWidget* dialog) {
  dialog_ = dialog;
  g_object_set_data(G_OBJECT(dialog), kAdopted, this);
  dialogHandlers_.connect(dialog, "response", toGCallback(&onResponse), this);
  dialogHandlers_.connect(dialog, "destroy", toGCallback(&onDestroy), this);
  // Modal to its own window only: a group of its own keeps the browser window, its close
  // button, its tabs and its keys working while the dialog is up.
  GtkWindowGroup* group = gtk_window_group_new();
  gtk_window_group_add_window(group, GTK_WINDOW(dialog));
  g_object_unref(group);
  gtk_window_set_modal(GTK_WINDOW(dialog), TRUE);
  // The application's keys (Ctrl+Q among them) work from the dialog too.
  if (parent_) gtk_window_set_application(GTK_WINDOW(dialog), gtk_window_get_application(parent_));
  if (offerToBlock_) {
    blockMore_ = gtk_check_button_new_with_label(
        localized("Bu sayfanın başka iletişim kutusu göstermesine izin verme").c_str());
    gtk_widget_set_margin_start(blockMore_, 12);
    gtk_widget_set_margin_end(blockMore_, 12);
    gtk_widget_set_margin_bottom(blockMore_, 6);
    gtk_box_append(GTK_BOX(gtk_dialog_get_content_area(GTK_DIALOG(dialog))), blockMore_);
  }
}

void PagePrintDialog::onResponse(GtkDialog*, int, PagePrintDialog* self) {
  if (self->blockMore_) {
    self->blockMoreChosen_ = gtk_check_button_get_active(GTK_CHECK_BUTTON(self->blockMore_));
  }
}

void PagePrintDialog::onDestroy(GtkWidget*, PagePrintDialog* self) {
  self->dialogHandlers_.disconnectAll();
  self->dialog_ = nullptr;
  self->blockMore_ = nullptr;
}

}  // namespace zemblo
