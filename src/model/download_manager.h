#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/observable.h"
#include "platform/uuid.h"

namespace zemblo {

// One file being downloaded into the Downloads folder.
class DownloadItem {
 public:
  enum class State { downloading, finished, failed };

  explicit DownloadItem(std::string filename, std::string destination = {})
      : filename(std::move(filename)), destination(std::move(destination)) {}

  const Uuid id = Uuid::random();
  Observable<std::string> filename;
  Observable<std::string> destination;
  Observable<double> progress{0};
  Observable<State> state{State::downloading};
};

// The downloads of this run, newest first.
class DownloadManager {
 public:
  Observable<std::vector<std::shared_ptr<DownloadItem>>, NeverEqual> items;
};

}  // namespace zemblo
