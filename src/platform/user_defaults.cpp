#include "platform/user_defaults.h"

#include <glib.h>

#include <algorithm>
#include <system_error>

#include "platform/foundation_json.h"
#include "platform/paths.h"
#include "platform/text.h"

namespace zemblo {

UserDefaults::UserDefaults(std::filesystem::path file) : file_(std::move(file)), keepAside_(file_) {
  paths::removeLeftoverTemporaries(file_);
  const paths::FileContents contents = paths::readRegularFile(file_);
  if (contents.state == paths::FileContents::State::missing) return;  // empty defaults
  if (contents.state == paths::FileContents::State::read && read(contents.bytes)) return;
  g_warning("%s could not be read; the defaults are used", file_.c_str());
  keepAside_.mark();
  foundUnreadableFile_ = true;
}

bool UserDefaults::read(const std::string& bytes) {
  auto parsed = json::parse(bytes);
  if (parsed && parsed->is_object()) {
    values_ = std::move(*parsed);
    return true;
  }
  // One stray byte must not cost every setting: the text is repaired, and the file as it was is
  // kept beside it before the first write replaces it.
  const std::string repaired = validUtf8(bytes);
  if (repaired == bytes) return false;
  parsed = json::parse(repaired);
  if (!parsed || !parsed->is_object()) return false;
  g_warning("%s held text that is not UTF-8; it was repaired", file_.c_str());
  values_ = std::move(*parsed);
  repairedFile_ = RepairedFile{paths::copyAside(file_, bytes)};
  if (!repairedFile_->keptAs) keepAside_.mark();
  return true;
}

UserDefaults::~UserDefaults() { flush(); }

UserDefaults& UserDefaults::standard() {
  static UserDefaults defaults(paths::configDirectory() / "user-defaults.json");
  return defaults;
}

bool UserDefaults::contains(std::string_view key) const {
  return values_.contains(std::string(key));
}

std::optional<bool> UserDefaults::boolValue(std::string_view key) const {
  const auto it = values_.find(std::string(key));
  if (it == values_.end() || !it->is_boolean()) return std::nullopt;
  return it->get<bool>();
}

std::optional<std::string> UserDefaults::stringValue(std::string_view key) const {
  const auto it = values_.find(std::string(key));
  if (it == values_.end() || !it->is_string()) return std::nullopt;
  return it->get<std::string>();
}

std::optional<std::vector<std::string>> UserDefaults::stringArray(std::string_view key) const {
  const auto it = values_.find(std::string(key));
  if (it == values_.end() || !it->is_array()) return std::nullopt;
  std::vector<std::string> out;
  for (const auto& element : *it) {
    if (!element.is_string()) return std::nullopt;
    out.push_back(element.get<std::string>());
  }
  return out;
}

std::optional<std::string> UserDefaults::data(std::string_view key) const {
  return stringValue(key);
}

void UserDefaults::setBool(std::string_view key, bool value) { set(key, value); }
void UserDefaults::setString(std::string_view key, std::string_view value) {
  set(key, std::string(value));
}
void UserDefaults::setStringArray(std::string_view key, const std::vector<std::string>& value) {
  set(key, value);
}
void UserDefaults::setData(std::string_view key, std::string_view bytes) {
  set(key, std::string(bytes));
}

void UserDefaults::remove(std::string_view key) {
  if (values_.erase(std::string(key)) > 0) write();
}

void UserDefaults::set(std::string_view key, nlohmann::ordered_json value) {
  values_[std::string(key)] = std::move(value);
  write();
}

void UserDefaults::write() {
  ++changes_;
  submitWrite();
}

void UserDefaults::submitWrite() {
  auto text = json::encode(values_);
  if (!text) return;
  writes_.submit(
      "defaults",
      [file = file_, text = std::move(*text), keep = keepAside_] {
        if (!keep.clearTheWay()) return false;
        std::error_code ignored;
        std::filesystem::create_directories(file.parent_path(), ignored);
        return paths::writeFileAtomically(file, text);
      },
      [this, change = changes_](bool written) {
        if (written) written_ = std::max(written_, change);
        if (writeObserver) writeObserver(written);
      });
}

void UserDefaults::retryWrite() {
  if (hasUnwrittenChanges()) submitWrite();
}

void UserDefaults::flush() {
  writes_.finish();
  if (!hasUnwrittenChanges()) return;
  submitWrite();
  writes_.finish();
}

}  // namespace zemblo
