#pragma once

#include <gtkmm.h>

// What screen readers get from the views: a name and a role for every control. Controls whose
// text is not a label of their own (symbols, custom-drawn rows and tiles, text fields) say it
// here.
namespace zemblo {

// The name a screen reader announces `widget` by.
void setAccessibleName(Gtk::Widget& widget, const Glib::ustring& name);

// For a control whose focus lands on a button inside it (a drop-down, a colour button): the
// name goes to the button as well, since that is what assistive technologies meet.
void setAccessibleNameWithInnerButton(Gtk::Widget& control, const Glib::ustring& name);

// The toolkit's own panels inside `root` (the page of a menu, the face of a drop-down) have no
// title, and screen readers would read them by their type: they take `title`.
void titleToolkitPages(Gtk::Widget& root, const Glib::ustring& title);

void setAccessibleDescription(Gtk::Widget& widget, const Glib::ustring& description);

// The tooltip of a control that shows only a symbol, which is also the name it is announced by.
void setHelpText(Gtk::Widget& widget, const Glib::ustring& help);

// Every tooltip set asks the display where the pointer is, a round trip to the display server,
// even for the text it already has: controls that set theirs on each change of the model set it
// through here.
void setTooltipText(Gtk::Widget& widget, const Glib::ustring& text);

// A custom-drawn control takes the role of what it does. Only before it is first shown.
void setAccessibleRole(Gtk::Widget& widget, Gtk::Accessible::Role role);

// Decoration (an icon beside a row's title, a drawn tile, the parts of a preview) is left out of
// what screen readers read; unnamed, it would be announced by the toolkit's type name.
void hideFromScreenReaders(Gtk::Widget& widget);

// A container the program draws that means nothing of its own: its controls and texts are read,
// it is not (left as a plain widget, it would be announced by the toolkit's type name).
void groupForScreenReaders(Gtk::Widget& widget);

// Decoration that comes and goes (a favicon beside a title, a glow, a progress line): left out of
// what screen readers read for good, whether shown or not, since showing a widget again would
// undo `hideFromScreenReaders`. Only before it is first shown.
void presentAsDecoration(Gtk::Widget& widget);

// The plain parts inside `root` (a popover's content box, a menu item's check mark, an overlay, a
// paned's handle, a spinner) that the toolkit would announce by their type's name are grouped,
// and the bars of its scroll panes named. Only before they are first shown.
void groupToolkitParts(Gtk::Widget& root);

// A picture that stands for something, announced as an image by `name`; the parts it is drawn
// from are left out.
void presentAsImage(Gtk::Widget& picture, const Glib::ustring& name);

// A scroll pane's bars are named for screen readers, and the toolkit's unnamed track inside each
// is left out.
void nameScrollbars(Gtk::ScrolledWindow& scroller, const Glib::ustring& vertical,
                    const Glib::ustring& horizontal);

// Whether the row, tile or button stands for the current choice (the selected tab, the current
// space).
void setAccessibleSelected(Gtk::Widget& widget, bool selected);

// For buttons that stand for one choice among several.
void setAccessiblePressed(Gtk::Widget& widget, bool pressed);

// A text part on its own, outside an entry, is left out of the tree by the toolkit: it is shown
// as a text field, named by its placeholder.
void presentAsTextField(Gtk::Text& field);
void setPlaceholder(Gtk::Text& field, const Glib::ustring& placeholder);

// A message dialog's buttons are named by their text and also labelled by the text inside them,
// so that screen readers announce each twice ("Delete Delete"). After this, once; and the
// dialog's layout parts are not announced by their type's name. Call it once the dialog has all
// its buttons, before it is shown.
void announceButtonsOnce(GtkWidget* dialog);

// A menu's scroll pane takes the keyboard focus only when nothing inside it can, which never
// happens in a menu of items; screen readers would still list it as a focusable pane without a
// name. The focus goes to the items only.
void focusItemsOnly(Gtk::PopoverMenu& menu);

// A menu is announced by `name`, and each menu opened from one of its items by that item's text;
// unnamed, the toolkit would announce them by their type, as it would the bare parts it draws
// in them, which are left out. Again whenever the model changes.
void nameMenus(Gtk::PopoverMenu& menu, const Glib::ustring& name);

// Sets whether the control, or the row of controls, can be used. The toolkit reports a control
// disabled only when it was disabled itself, not through a row around it; this reports every
// control inside as it really is.
void setUsable(Gtk::Widget& widget, bool usable);

}  // namespace zemblo
