#include "widgets/tooltip_guard.h"

namespace zemblo {
namespace {

gboolean answerNothingWhileOpen(GtkWidget* owner, int, int, gboolean, GtkTooltip*,
                                gpointer opened) {
  // The owner's own answer would come after this one: it is not asked at all.
  if (gtk_widget_get_visible(GTK_WIDGET(opened)))
    g_signal_stop_emission_by_name(owner, "query-tooltip");
  return FALSE;
}

void hideShownTooltip(GtkWidget*, gpointer owner) {
  gtk_widget_trigger_tooltip_query(GTK_WIDGET(owner));
}

}  // namespace

void hideTooltipWhileOpen(Gtk::Widget& owner, Gtk::Widget& opened) {
  // Both handlers go with whichever of the two widgets goes first.
  g_signal_connect_object(owner.gobj(), "query-tooltip", G_CALLBACK(answerNothingWhileOpen),
                          opened.gobj(), GConnectFlags(0));
  g_signal_connect_object(opened.gobj(), "show", G_CALLBACK(hideShownTooltip), owner.gobj(),
                          GConnectFlags(0));
}

}  // namespace zemblo
