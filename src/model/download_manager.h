#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/alive_token.h"
#include "platform/observable.h"
#include "platform/scheduler.h"
#include "platform/url.h"
#include "platform/uuid.h"

namespace zemblo {

// What the desktop does with a downloaded file: the platform's by default, a test's own in tests.
struct DownloadDesktop {
  // The second argument learns why the file could not be opened, if it could not.
  std::function<void(const std::filesystem::path&, std::function<void(const std::string& reason)>)>
      open;
  std::function<void(const std::filesystem::path&)> reveal;
};

// One file being downloaded into the Downloads folder.
class DownloadItem : public std::enable_shared_from_this<DownloadItem> {
 public:
  enum class State { downloading, finished, failed };

  DownloadItem(std::string filename, std::shared_ptr<const DownloadDesktop> desktop);

  const Uuid id = Uuid::random();
  // First the name the address suggests, then the name the file really gets.
  Observable<std::string> filename;
  // Where the file is, or will be once complete; none until that is decided.
  Observable<std::optional<std::filesystem::path>> destination;
  Observable<double> progress{0};
  Observable<State> state{State::downloading};
  // Why the last attempt to open the file failed; nothing before one, or while one is under way.
  Observable<std::optional<std::string>> openFailure;

  // Shows the file in the file manager, in any state; nothing without a destination.
  void revealInFileManager() const;
  // Hands a finished file to the desktop's application for its type; nothing otherwise. A failure
  // lands in `openFailure`.
  void open();

 private:
  std::shared_ptr<const DownloadDesktop> desktop_;
};

// The engine's hold on one running download.
class DownloadTransfer {
 public:
  virtual ~DownloadTransfer() = default;
  // Stops the transfer; the engine reports nothing about it afterwards.
  virtual void cancel() = 0;
};

struct DownloadManagerEnvironment {
  std::function<std::filesystem::path()> folder;  // the user's Downloads folder when absent
  std::function<bool()> asksWhereToSave;          // never asks when absent
  Scheduler* scheduler = nullptr;                 // the main loop when absent
  std::optional<DownloadDesktop> desktop;         // the platform's when absent
};

// The downloads of this run, newest first, and the files they write. The engine writes each
// download into a partial file of its own that takes the final name only once complete, and
// only when nothing has that name: no other file is ever overwritten or removed, whatever the
// engine does with a failed download, and a failed download leaves nothing under its name.
class DownloadManager {
 public:
  // Asks the user where one download goes, proposing the suggested name in the download folder;
  // `answer` gets the chosen path, or nothing when the user declined. May answer later.
  using DestinationChooser =
      std::function<void(const std::filesystem::path& proposed,
                         std::function<void(std::optional<std::filesystem::path>)> answer)>;

  // A download's progress reaches the views at most this often.
  static constexpr std::chrono::milliseconds kProgressInterval{250};
  static constexpr std::string_view kPartialSuffix = ".part";

  explicit DownloadManager(DownloadManagerEnvironment environment = {});
  // Stops what is still running, as quitting does.
  ~DownloadManager();
  DownloadManager(const DownloadManager&) = delete;
  DownloadManager& operator=(const DownloadManager&) = delete;

  Observable<std::vector<std::shared_ptr<DownloadItem>>, NeverEqual> items;
  // Downloads started since the user last opened the list: the downloads button stays marked
  // while there are any, however quickly they finished.
  Observable<size_t> unseen{0};
  // The user opened the list and saw every download in it.
  void markSeen() { unseen.set(0); }

  // Follows a download the engine started for `address`; its item goes to the front of `items`
  // under the address's file name (or "İndirme") until the destination is decided.
  std::shared_ptr<DownloadItem> track(const std::optional<Url>& address,
                                      std::unique_ptr<DownloadTransfer> transfer);
  // Where the engine is to write: the first free name for the suggested one (the names of running
  // downloads count as taken) becomes the item's destination, and a new partial file beside it is
  // the answer. Nothing when the folder cannot take it: the download is then stopped and failed.
  std::optional<std::filesystem::path> decideDestination(const DownloadItem& item,
                                                         std::string_view suggestedName);
  // decideDestination, but when the environment says so (or `userAsked`, for a file the user
  // chose to save under a name of their own) and a chooser is set, the user names the file
  // first. `write` gets the partial file once decided (perhaps later); declining stops the
  // download and removes its item, leaving no file.
  void chooseDestination(const DownloadItem& item, std::string_view suggestedName,
                         std::function<void(const std::filesystem::path& partial)> write,
                         bool userAsked = false);
  void setDestinationChooser(DestinationChooser chooser) { chooser_ = std::move(chooser); }
  // The engine's progress, passed on at most once per kProgressInterval.
  void reportProgress(const DownloadItem& item, double fraction);
  // The engine wrote everything: the file takes its name (the next free one if something took it
  // meanwhile).
  void finish(const DownloadItem& item);
  // The engine gave up; the partial file goes.
  void fail(const DownloadItem& item);
  // Removes finished and failed items in one change; running ones keep their order.
  void clearCompleted();
  // Stops every running download without waiting for the engine and removes their partial
  // files, so that quitting never waits on a download.
  void cancelAll();

  bool isActive(const DownloadItem& item) const { return active_.contains(&item); }
  // The partial file the engine writes, once decided.
  std::optional<std::filesystem::path> partialFile(const DownloadItem& item) const;
  // Observed reads for the views.
  size_t runningCount() const;
  bool hasCompleted() const;

 private:
  struct Active {
    std::shared_ptr<DownloadItem> item;
    std::unique_ptr<DownloadTransfer> transfer;
    std::optional<std::filesystem::path> partial;
    std::string name;  // the plain suggested name, numbered again if taken at the end
    std::optional<double> pendingProgress;
    std::unique_ptr<ScheduledTask> progressTask;
  };

  std::set<std::filesystem::path> reservedDestinations() const;
  std::optional<std::filesystem::path> decideIn(const DownloadItem& item,
                                                const std::filesystem::path& folder,
                                                const std::string& name);
  void answered(const std::weak_ptr<DownloadItem>& item, const std::string& name,
                const std::optional<std::filesystem::path>& chosen,
                const std::function<void(const std::filesystem::path&)>& write);
  void dismiss(const DownloadItem& item);
  std::filesystem::path folder() const;
  std::optional<std::filesystem::path> createPartialFile(const std::filesystem::path& destination);
  // Gives the partial file its final name; false when it could not be placed.
  bool place(Active& download);
  void publishProgress(const DownloadItem* item);
  void end(Active& download, DownloadItem::State state);

  DownloadManagerEnvironment environment_;
  Scheduler& scheduler_;
  std::shared_ptr<const DownloadDesktop> desktop_;
  std::map<const DownloadItem*, Active> active_;
  DestinationChooser chooser_;
  // Answers from the chooser that come after the manager is gone find this expired.
  AliveToken alive_;
};

}  // namespace zemblo
