#pragma once

#include <string>

#include <gtkmm.h>

#include "model/color.h"

namespace zemblo {

// One icon a space can wear in the space editor's grid: the symbol on a 38-point rounded tile,
// white on the space's gradient when it is the space's icon, faint otherwise.
class SymbolTile : public Gtk::Button {
 public:
  static constexpr int kSide = 38;
  static constexpr double kCornerRadius = 10;

  explicit SymbolTile(std::string symbol);

  const std::string& symbol() const { return symbol_; }
  void show(bool selected, const LinearGradient& gradient);

 protected:
  void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

 private:
  std::string symbol_;
  bool selected_ = false;
  LinearGradient gradient_;
};

}  // namespace zemblo
