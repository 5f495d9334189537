#include "model/download_manager.h"

#include <glib.h>

#include <algorithm>

#include "model/download_names.h"
#include "model/localization.h"
#include "platform/desktop.h"
#include "platform/paths.h"

namespace zemblo {
namespace {

// Bounds the search for a free partial name and the retries of a final name taken meanwhile.
constexpr int kMaxAttempts = 100;

std::string defaultName() { return localized("İndirme"); }

void removePartial(const std::optional<std::filesystem::path>& partial) {
  if (!partial) return;
  std::error_code error;
  std::filesystem::remove(*partial, error);
}

}  // namespace

DownloadItem::DownloadItem(std::string filename, std::shared_ptr<const DownloadDesktop> desktop)
    : filename(std::move(filename)), desktop_(std::move(desktop)) {}

void DownloadItem::revealInFileManager() const {
  if (const auto& file = destination.peek()) desktop_->reveal(*file);
}

void DownloadItem::open() {
  const auto& file = destination.peek();
  if (!file || state.peek() != State::finished) return;
  openFailure.set(std::nullopt);
  desktop_->open(*file, [weak = weak_from_this()](const std::string& reason) {
    if (const auto self = weak.lock()) self->openFailure.set(reason);
  });
}

DownloadManager::DownloadManager(DownloadManagerEnvironment environment)
    : environment_(std::move(environment)),
      scheduler_(environment_.scheduler ? *environment_.scheduler : Scheduler::mainLoop()),
      desktop_(std::make_shared<const DownloadDesktop>(environment_.desktop.value_or(
          DownloadDesktop{[](const std::filesystem::path& file,
                             std::function<void(const std::string&)> failed) {
                            desktop::openFile(file, std::move(failed));
                          },
                          desktop::revealFile}))) {}

DownloadManager::~DownloadManager() { cancelAll(); }

std::shared_ptr<DownloadItem> DownloadManager::track(const std::optional<Url>& address,
                                                     std::unique_ptr<DownloadTransfer> transfer) {
  const std::string fallback = defaultName();
  const std::string name =
      address ? plainDownloadName(address->lastPathComponent(), fallback) : fallback;
  auto item = std::make_shared<DownloadItem>(name, desktop_);
  active_[item.get()] = Active{item, std::move(transfer)};
  items.mutate([&](auto& list) { list.insert(list.begin(), item); });
  unseen.set(unseen.peek() + 1);
  return item;
}

std::filesystem::path DownloadManager::folder() const {
  return environment_.folder ? environment_.folder() : paths::downloadsDirectory();
}

std::optional<std::filesystem::path> DownloadManager::decideDestination(
    const DownloadItem& item, std::string_view suggestedName) {
  return decideIn(item, folder(), plainDownloadName(suggestedName, defaultName()));
}

void DownloadManager::chooseDestination(
    const DownloadItem& item, std::string_view suggestedName,
    std::function<void(const std::filesystem::path& partial)> write, bool userAsked) {
  const auto found = active_.find(&item);
  if (found == active_.end()) return;
  const bool asks =
      chooser_ && (userAsked || (environment_.asksWhereToSave && environment_.asksWhereToSave()));
  if (!asks) {
    if (const auto partial = decideDestination(item, suggestedName)) write(*partial);
    return;
  }
  const std::string name = plainDownloadName(suggestedName, defaultName());
  chooser_(folder() / name,
           [alive = alive_.watch(), this, weak = std::weak_ptr<DownloadItem>(found->second.item),
            name, write = std::move(write)](std::optional<std::filesystem::path> chosen) {
             if (!alive.expired()) answered(weak, name, chosen, write);
           });
}

void DownloadManager::answered(const std::weak_ptr<DownloadItem>& weak, const std::string& name,
                               const std::optional<std::filesystem::path>& chosen,
                               const std::function<void(const std::filesystem::path&)>& write) {
  const auto item = weak.lock();
  if (!item || !active_.contains(item.get())) return;
  if (!chosen || chosen->filename().empty()) {
    dismiss(*item);
    return;
  }
  // The chosen name is the user's, but it is still only ever given to a free path.
  const std::string chosenName = plainDownloadName(chosen->filename().string(), name);
  if (const auto partial = decideIn(*item, chosen->parent_path(), chosenName)) write(*partial);
}

void DownloadManager::dismiss(const DownloadItem& item) {
  auto node = active_.extract(&item);
  if (node.empty()) return;
  Active& download = node.mapped();
  if (download.transfer) download.transfer->cancel();
  removePartial(download.partial);
  download.progressTask.reset();
  items.mutate([&](auto& list) {
    std::erase_if(list, [&](const auto& each) { return each.get() == &item; });
  });
  // A download the user declined to save is nothing new to look at.
  if (unseen.peek() > 0) unseen.set(unseen.peek() - 1);
}

std::optional<std::filesystem::path> DownloadManager::decideIn(const DownloadItem& item,
                                                               const std::filesystem::path& folder,
                                                               const std::string& name) {
  const auto found = active_.find(&item);
  if (found == active_.end()) return std::nullopt;
  Active& download = found->second;
  const std::filesystem::path destination = uniqueDestination(folder, name, reservedDestinations());
  removePartial(download.partial);  // decided once; a second answer replaces the first
  download.partial = createPartialFile(destination);
  if (!download.partial) {
    g_warning("Cannot write a download into %s", folder.c_str());
    auto node = active_.extract(found);
    if (node.mapped().transfer) node.mapped().transfer->cancel();
    end(node.mapped(), DownloadItem::State::failed);
    return std::nullopt;
  }
  download.name = name;
  download.item->filename.set(destination.filename().string());
  download.item->destination.set(destination);
  return download.partial;
}

void DownloadManager::reportProgress(const DownloadItem& item, double fraction) {
  const auto found = active_.find(&item);
  if (found == active_.end()) return;
  Active& download = found->second;
  fraction = std::clamp(fraction, 0.0, 1.0);
  if (download.progressTask && !download.progressTask->finished()) {
    download.pendingProgress = fraction;
    return;
  }
  download.item->progress.set(fraction);
  download.progressTask =
      scheduler_.after(kProgressInterval, [this, key = &item] { publishProgress(key); });
}

void DownloadManager::publishProgress(const DownloadItem* item) {
  const auto found = active_.find(item);
  if (found == active_.end()) return;
  Active& download = found->second;
  if (!download.pendingProgress) return;
  download.item->progress.set(*std::exchange(download.pendingProgress, std::nullopt));
  // Reports keep coming while the transfer runs: the next one waits for the next interval.
  download.progressTask =
      scheduler_.after(kProgressInterval, [this, item] { publishProgress(item); });
}

void DownloadManager::finish(const DownloadItem& item) {
  auto node = active_.extract(&item);
  if (node.empty()) return;
  Active& download = node.mapped();
  if (!place(download)) {
    removePartial(download.partial);
    end(download, DownloadItem::State::failed);
    return;
  }
  download.item->progress.set(1);
  end(download, DownloadItem::State::finished);
}

void DownloadManager::fail(const DownloadItem& item) {
  auto node = active_.extract(&item);
  if (node.empty()) return;
  removePartial(node.mapped().partial);
  end(node.mapped(), DownloadItem::State::failed);
}

void DownloadManager::end(Active& download, DownloadItem::State state) {
  download.progressTask.reset();
  download.item->state.set(state);
}

bool DownloadManager::place(Active& download) {
  DownloadItem& item = *download.item;
  const auto& destination = item.destination.peek();
  if (!download.partial || !destination) return false;
  std::filesystem::path target = *destination;
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    switch (paths::moveWithoutReplacing(*download.partial, target)) {
      case paths::MoveResult::moved:
        item.filename.set(target.filename().string());
        item.destination.set(target);
        return true;
      case paths::MoveResult::destinationTaken:
        target = uniqueDestination(target.parent_path(), download.name, reservedDestinations());
        break;
      case paths::MoveResult::failed:
        g_warning("Cannot name the download %s", target.c_str());
        return false;
    }
  }
  return false;
}

void DownloadManager::clearCompleted() {
  items.mutate([](auto& list) {
    std::erase_if(list, [](const auto& item) {
      return item->state.peek() != DownloadItem::State::downloading;
    });
  });
}

void DownloadManager::cancelAll() {
  auto running = std::exchange(active_, {});
  for (auto& [key, download] : running) {
    if (download.transfer) download.transfer->cancel();
    removePartial(download.partial);
    end(download, DownloadItem::State::failed);
  }
}

std::optional<std::filesystem::path> DownloadManager::partialFile(const DownloadItem& item) const {
  const auto found = active_.find(&item);
  return found == active_.end() ? std::nullopt : found->second.partial;
}

size_t DownloadManager::runningCount() const {
  return static_cast<size_t>(std::count_if(items.get().begin(), items.get().end(), [](auto& item) {
    return item->state.get() == DownloadItem::State::downloading;
  }));
}

bool DownloadManager::hasCompleted() const {
  for (const auto& item : items.get()) {
    if (item->state.get() != DownloadItem::State::downloading) return true;
  }
  return false;
}

std::set<std::filesystem::path> DownloadManager::reservedDestinations() const {
  std::set<std::filesystem::path> reserved;
  for (const auto& [key, download] : active_) {
    if (const auto& destination = download.item->destination.peek()) reserved.insert(*destination);
  }
  return reserved;
}

std::optional<std::filesystem::path> DownloadManager::createPartialFile(
    const std::filesystem::path& destination) {
  const std::string base = destination.string();
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string candidate = base;
    if (attempt > 0) candidate += "." + std::to_string(attempt);
    candidate += kPartialSuffix;
    if (paths::createNewFile(candidate)) return candidate;
    std::error_code error;
    // Only a name held by a stale partial file is worth another try.
    if (!std::filesystem::exists(std::filesystem::symlink_status(candidate, error))) break;
  }
  return std::nullopt;
}

}  // namespace zemblo
