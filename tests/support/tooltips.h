#pragma once

#include <gtkmm.h>

#include <string>
#include <string_view>

// What the toolkit's tooltips show, read from the windows on screen.
namespace zemblo::testing {

// The text of the tooltip the window shows now; empty when it shows none.
inline std::string shownTooltip(Gtk::Window& window) {
  GtkWidget* child = gtk_widget_get_first_child(GTK_WIDGET(window.gobj()));
  while (child && std::string_view(G_OBJECT_TYPE_NAME(child)) != "GtkTooltipWindow") {
    child = gtk_widget_get_next_sibling(child);
  }
  if (!child || !gtk_widget_get_mapped(child)) return "";
  for (GtkWidget* part = gtk_widget_get_first_child(child); part;
       part = gtk_widget_get_first_child(part)) {
    for (GtkWidget* each = part; each; each = gtk_widget_get_next_sibling(each)) {
      if (GTK_IS_LABEL(each)) return gtk_label_get_text(GTK_LABEL(each));
    }
  }
  return "?";
}

// Counts the toolkit's questions to a widget for its tooltip. A move of the pointer over the
// widget brings two: one at once, and one when the toolkit means to show the tooltip, a moment
// later; once both are answered the tooltip is on screen or not for good.
class TooltipQuestions {
 public:
  explicit TooltipQuestions(Gtk::Widget& widget)
      : widget_(widget.gobj()),
        signal_(g_signal_lookup("query-tooltip", GTK_TYPE_WIDGET)),
        hook_(g_signal_add_emission_hook(signal_, 0, &asked, this, nullptr)) {}
  ~TooltipQuestions() { g_signal_remove_emission_hook(signal_, hook_); }
  int count() const { return count_; }

 private:
  static gboolean asked(GSignalInvocationHint*, guint, const GValue* values, gpointer self) {
    auto* questions = static_cast<TooltipQuestions*>(self);
    if (g_value_get_object(&values[0]) == questions->widget_) ++questions->count_;
    return TRUE;
  }

  GtkWidget* widget_;
  guint signal_;
  gulong hook_;
  int count_ = 0;
};

}  // namespace zemblo::testing
