#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtkmm.h>

// Reading what a drop target that takes both files and text was handed.
namespace zemblo {

// A drop target for links, files and text that answers with a copy where the source allows one,
// so that a file dragged out of the file manager stays where it was. A URI list (links and files)
// is read as files, so that a link dragged out of a page arrives as its address rather than its
// text. `dropped` takes what was dropped and where, and says whether it was used; `moved`, when
// given, follows the pointer.
Glib::RefPtr<Gtk::DropTarget> makeContentDropTarget(
    std::function<bool(const Glib::ValueBase& value, double x, double y)> dropped,
    std::function<void(double x, double y)> moved = {});

// The URIs of dropped files (links of a URI list included); empty for anything else.
std::vector<std::string> droppedUris(const Glib::ValueBase& value);
// Dropped text; none for anything else.
std::optional<std::string> droppedText(const Glib::ValueBase& value);

}  // namespace zemblo
