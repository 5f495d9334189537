#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zemblo::json {

// Streams JSON text with the file conventions straight into one buffer: compact, "/" escaped as
// "\/", whole numbers without a fraction, raw UTF-8 (invalid sequences replaced). Used for the
// session and history files, which are rewritten whole on every save and must stay cheap.
class JsonWriter {
 public:
  JsonWriter& beginObject();
  JsonWriter& endObject();
  JsonWriter& beginArray();
  JsonWriter& endArray();
  JsonWriter& key(std::string_view name);

  JsonWriter& string(std::string_view text);
  JsonWriter& boolean(bool value);
  JsonWriter& integer(int64_t value);
  // A non-finite number cannot be written: the whole document then fails.
  JsonWriter& number(double value);
  JsonWriter& null();

  // The text, or nothing when a value could not be written.
  std::optional<std::string> finish() &&;

 private:
  void beforeValue();
  void appendEscaped(std::string_view text);

  std::string out_;
  std::vector<bool> needsComma_;
  bool afterKey_ = false;
  bool failed_ = false;
};

}  // namespace zemblo::json
