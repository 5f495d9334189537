#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/site_permission.h"
#include "platform/observable.h"

namespace zemblo {

// One question a page put: which site asks, for what, and for storage access the embedded site
// that would get its cookies.
struct PermissionRequest {
  std::string origin;
  PermissionKind kind = PermissionKind::notifications;
  std::string detail;
  friend bool operator==(const PermissionRequest&, const PermissionRequest&) = default;
};

// What the camera, the microphone and the screen are doing for a tab's page now.
struct MediaCapture {
  bool camera = false;
  bool microphone = false;
  bool display = false;
  bool any() const { return camera || microphone || display; }
  friend bool operator==(const MediaCapture&, const MediaCapture&) = default;
};

// A tab's permission questions that wait for the user, oldest first, and what its page captures.
// The page goes on meanwhile: every question is answered later through its callback. A question
// the page repeats while one like it waits joins it rather than queueing again, so a page can't
// pile up bars; whatever still waits when the tab goes, or its page is left, is refused.
class TabPermissions {
 public:
  using Answer = std::function<void(bool allowed)>;

  TabPermissions() = default;
  ~TabPermissions();
  TabPermissions(const TabPermissions&) = delete;
  TabPermissions& operator=(const TabPermissions&) = delete;

  // Whether the user's answers are kept for the site; a private window's hold for the page only.
  bool remembersAnswers = true;

  // The oldest question waiting: the one the bar asks.
  Observable<std::optional<PermissionRequest>> shown;
  Observable<MediaCapture> capture;

  void add(PermissionRequest request, Answer answer);
  // Answers the question the bar asks, with every repeat of it.
  void answerShown(bool allowed);
  // Answers every waiting question that `decide` has an answer for.
  void settle(const std::function<std::optional<bool>(const PermissionRequest&)>& decide);
  void refuseAll();

 private:
  struct Waiting {
    PermissionRequest request;
    std::vector<Answer> answers;
  };
  void showFront();

  std::deque<Waiting> queue_;
};

}  // namespace zemblo
