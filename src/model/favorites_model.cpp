#include "model/favorites_model.h"

#include <algorithm>

#include "model/browser_tab.h"
#include "model/window_model.h"

namespace zemblo {
namespace {

// Whether a favourite's address stands for the page: the same host as exact text, or, for an
// address without a host (a local file, "about:"), the very same address. Two host-less
// addresses are not one site, so letting them match would tie a favourite to any such page.
bool samePage(const Url& favorite, const Url& page) {
  const auto favoriteHost = favorite.host();
  const auto pageHost = page.host();
  if (favoriteHost || pageHost) return favoriteHost == pageHost;
  return favorite == page;
}

}  // namespace

FavoritesModel::FavoritesModel(std::function<void()> scheduleSave)
    : scheduleSave_(std::move(scheduleSave)) {}

bool FavoritesModel::isFavorite(const BrowserTab& tab) const {
  const auto& address = tab.url.peek();
  if (!address) return false;
  return std::ranges::any_of(
      list.peek(), [&](const Favorite& favorite) { return samePage(favorite.url, *address); });
}

void FavoritesModel::open(const Favorite& favorite, WindowModel& window) {
  const auto space = window.currentSpace();
  for (const auto& tab : space->tabs.peek()) {
    const auto& address = tab->url.peek();
    if (address && samePage(favorite.url, *address)) {
      window.select(*tab);
      return;
    }
  }
  window.openTab(favorite.url, false);
}

void FavoritesModel::toggle(const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  if (!address) return;
  if (!isFavorite(tab)) {
    Favorite favorite(Uuid::random(), tab.displayTitle(), *address, tab.faviconURL.peek());
    list.mutate([&](std::vector<Favorite>& list) { list.push_back(std::move(favorite)); });
  } else {
    const Url page = *address;
    list.mutate([&](std::vector<Favorite>& list) {
      std::erase_if(list, [&](const Favorite& favorite) { return samePage(favorite.url, page); });
    });
  }
  scheduleSave_();
}

void FavoritesModel::remove(const Uuid& id) {
  list.mutate([&](std::vector<Favorite>& list) {
    std::erase_if(list, [&](const Favorite& favorite) { return favorite.id == id; });
  });
  scheduleSave_();
}

void FavoritesModel::updateIcon(const BrowserTab& tab) {
  const auto& address = tab.url.peek();
  const auto host = address ? address->host() : std::nullopt;
  const auto& icon = tab.faviconURL.peek();
  if (!host || !icon) return;
  const size_t count = list.peek().size();
  for (size_t i = 0; i < count; ++i) {
    if (list.peek()[i].url.host() != host) continue;
    list.mutate([&](std::vector<Favorite>& list) { list[i].faviconURL = icon; });
  }
  scheduleSave_();
}

}  // namespace zemblo
