#include "platform/file_to_keep_aside.h"

#include <glib.h>

#include <system_error>

#include "platform/paths.h"

namespace zemblo {

FileToKeepAside::FileToKeepAside(std::filesystem::path file) : file_(std::move(file)) {}

bool FileToKeepAside::clearTheWay() const {
  if (!pending_->load()) return true;
  std::error_code error;
  // Gone meanwhile (the user moved it): there is nothing left to protect.
  const bool present =
      std::filesystem::symlink_status(file_, error).type() != std::filesystem::file_type::not_found;
  if (present && !paths::setAside(file_)) {
    g_warning("%s is still in the way: nothing is written over it", file_.c_str());
    return false;
  }
  pending_->store(false);
  return true;
}

}  // namespace zemblo
