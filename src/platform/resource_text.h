#pragma once

#include <gio/gio.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>

// Style sheets and page scripts live as files under resources/, compiled into one bundle per
// layer. A file marks each value it takes at run time as {{NAME}}; the build makes, for each
// file, a function whose arguments are exactly the file's placeholders, so the code and the file
// cannot disagree without the build failing.
namespace zemblo {

// A value for one placeholder. It has no default, so a placeholder left out of a designated
// initializer fails to compile.
class ResourceValue {
 public:
  ResourceValue(std::string_view text) : text_(text) {}
  ResourceValue(const std::string& text) : text_(text) {}
  ResourceValue(const char* text) : text_(text) {}

  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

using ResourceValues = std::initializer_list<std::pair<std::string_view, ResourceValue>>;

// The text of `path` in `bundle`, each {{NAME}} replaced by the value given for NAME; values
// are inserted as they are, never searched for placeholders themselves. A missing file gives an
// empty text, and a placeholder without a value stays as written; both, and a value no
// placeholder takes, are logged as warnings.
std::string resourceText(GResource* bundle, const char* path, ResourceValues values);

}  // namespace zemblo
