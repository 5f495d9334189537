#pragma once

#include <functional>
#include <vector>

#include "model/records.h"
#include "platform/observable.h"

namespace zemblo {

class BrowserTab;
class WindowModel;

// The favourite pages of the sidebar and the start page. A favourite belongs to a page when both
// addresses have the same host, compared as exact text; an address without a host only matches
// the very same address.
class FavoritesModel {
 public:
  // `scheduleSave` asks for the session to be written soon.
  explicit FavoritesModel(std::function<void()> scheduleSave);

  Observable<std::vector<Favorite>> list;

  bool isFavorite(const BrowserTab& tab) const;
  // Selects the current space's tab of the favourite's page in `window`, else opens it there in a
  // new tab.
  void open(const Favorite& favorite, WindowModel& window);
  void toggle(const BrowserTab& tab);
  void remove(const Uuid& id);
  // Every favourite of the tab's host takes the tab's icon.
  void updateIcon(const BrowserTab& tab);

 private:
  std::function<void()> scheduleSave_;
};

}  // namespace zemblo
