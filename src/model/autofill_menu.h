#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/uuid.h"

namespace zemblo {

// The browser's own menu of saved logins for one login field of a page, opened by the user's
// press in that field. It lists usernames and hosts, never a password: only the login the user
// chooses leaves the vault, and only into the frame that asked.
struct AutofillMenu {
  struct Row {
    Uuid id;
    std::string username;  // may be empty
    std::string host;      // the host the login was saved for
    // Saved for another host of the page's site: shown, but never highlighted at first.
    bool otherHost = false;
    friend bool operator==(const Row&, const Row&) = default;
  };
  // The field's rectangle in the web view, in the view's own pixels.
  struct Box {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const Box&, const Box&) = default;
  };

  std::vector<Row> rows;  // the page host's own logins first
  Box field;

  // The row highlighted when the menu opens: the first, when it is the page host's own.
  std::optional<size_t> firstHighlight() const {
    if (rows.empty() || rows.front().otherHost) return std::nullopt;
    return 0;
  }

  friend bool operator==(const AutofillMenu&, const AutofillMenu&) = default;
};

}  // namespace zemblo
