#include "model/spaces_model.h"

#include <array>

#include "model/app_preferences.h"
#include "model/list_moves.h"
#include "model/localization.h"
#include "model/space.h"

namespace zemblo {
namespace {

// Default space names in relabelling order; the product-named third space is never relabelled.
constexpr std::array<const char*, 3> kDefaultSpaceNames = {"Kişisel", "İş", "Yeni Alan"};

}  // namespace

SpacesModel::SpacesModel(std::function<void()> scheduleSave)
    : scheduleSave_(std::move(scheduleSave)) {}

void SpacesModel::restore(const std::vector<SpaceSnapshot>& saved) {
  List restored;
  for (const auto& space : saved) {
    restored.push_back(std::make_shared<SpaceIdentity>(space.name, space.symbol, space.colorA,
                                                       space.colorB, space.id));
  }
  if (restored.empty()) {
    for (const auto& space : Space::defaultSpaces()) restored.push_back(space->identity());
  }
  list.set(std::move(restored));
}

std::shared_ptr<SpaceIdentity> SpacesModel::find(const Uuid& id) const {
  for (const auto& space : list.peek()) {
    if (space->id == id) return space;
  }
  return nullptr;
}

std::shared_ptr<SpaceIdentity> SpacesModel::add() {
  const size_t count = list.peek().size();
  const auto presets = SpacePreset::all();
  const SpacePreset& preset = presets[count % presets.size()];
  const auto& symbols = spaceSymbols();
  auto space = std::make_shared<SpaceIdentity>(localized("Yeni Alan"),
                                               std::string(symbols[(7 * count) % symbols.size()]),
                                               preset.colorA, preset.colorB);
  list.mutate([&](List& spaces) { spaces.push_back(space); });
  scheduleSave_();
  return space;
}

void SpacesModel::remove(const Uuid& id) {
  if (list.peek().size() < 2 || !find(id)) return;
  list.mutate(
      [&](List& spaces) { std::erase_if(spaces, [&](const auto& s) { return s->id == id; }); });
  scheduleSave_();
}

void SpacesModel::move(const std::set<size_t>& fromOffsets, size_t toOffset) {
  list.mutate([&](List& spaces) { moveElements(spaces, fromOffsets, toOffset); });
  scheduleSave_();
}

void SpacesModel::relabelDefaults() {
  bool changed = false;
  for (const auto& space : list.peek()) {
    const std::string& name = space->name.peek();
    for (const char* turkish : kDefaultSpaceNames) {
      const std::string english = englishText(turkish);
      if (name != turkish && name != english) continue;
      const std::string target = L10n::isEnglish() ? english : std::string(turkish);
      if (name != target) {
        space->name.set(target);
        changed = true;
      }
      break;
    }
  }
  if (changed) scheduleSave_();
}

}  // namespace zemblo
