#pragma once

#include <gtk/gtk.h>
#include <gtkmm.h>

// The fine random grain laid over tinted backgrounds (the browser window's and the settings'
// miniature of it).
namespace zemblo::paint {

inline constexpr int kGrainNoiseSize = 128;

// The one noise texture of the process: random grey pixels, made on first use and never
// changed, so every grain of the run looks the same.
Glib::RefPtr<Gdk::Texture> grainNoise();

// The noise tiled at half its size over `bounds` at opacity `amount` × 0.55; nothing for 0,
// negative amounts and not-a-number. Callers blend it in the overlay mode over what it covers.
void appendGrain(GtkSnapshot* snapshot, const graphene_rect_t& bounds, double amount);

}  // namespace zemblo::paint
