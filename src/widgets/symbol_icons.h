#pragma once

#include <string_view>
#include <vector>

#include <gtkmm.h>

// The interface's symbols are named as they are stored and written in the model ("sidebar.left",
// "lock.fill"); on screen each is drawn with a symbolic icon of the icon theme, or with one of our
// own when the theme has none that fits.
namespace zemblo {

// The symbolic icon name for a symbol; a plain dot for a name it does not know, so that a symbol
// read from a session file never leaves a gap.
const char* symbolIconName(std::string_view symbol);

// The symbols that have an icon of their own (any other draws the dot), in the order they are
// mapped.
std::vector<std::string_view> knownSymbols();

// Makes our own symbolic icons available to the icon theme of `display`. Safe to call repeatedly.
void registerSymbolIcons(const Glib::RefPtr<Gdk::Display>& display);

// The pixel size of a symbol drawn at the given font size in points.
int symbolPixelSize(double pointSize);

}  // namespace zemblo
