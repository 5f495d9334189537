#pragma once

#include <gtkmm.h>

namespace zemblo {

// Gives a child the frame, grown to the child's own minimum size where the frame is smaller:
// GTK requires at least the minimum, even when the parent has less room.
void allocateChild(Gtk::Widget& child, int x, int y, int width, int height);

// Snapshots `child` of `parent` everywhere in the parent's bounds except inside `hole` (in the
// parent's coordinates), which something opaque drawn later covers. GTK's software renderer
// does not skip what is covered: it would paint the hidden part again on every repaint there.
void snapshotChildAround(Gtk::Widget& parent, Gtk::Widget& child, const Gdk::Rectangle& hole,
                         const Glib::RefPtr<Gtk::Snapshot>& snapshot);

}  // namespace zemblo
