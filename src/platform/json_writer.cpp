#include "platform/json_writer.h"

#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace zemblo::json {
namespace {

constexpr double kLargestExactInteger = 9007199254740992.0;  // 2^53

}  // namespace

void JsonWriter::beforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!needsComma_.empty()) {
    if (needsComma_.back()) out_.push_back(',');
    needsComma_.back() = true;
  }
}

JsonWriter& JsonWriter::beginObject() {
  beforeValue();
  out_.push_back('{');
  needsComma_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::endObject() {
  out_.push_back('}');
  needsComma_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::beginArray() {
  beforeValue();
  out_.push_back('[');
  needsComma_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::endArray() {
  out_.push_back(']');
  needsComma_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
  beforeValue();
  appendEscaped(name);
  out_.push_back(':');
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::string(std::string_view text) {
  beforeValue();
  appendEscaped(text);
  return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
  beforeValue();
  out_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::integer(int64_t value) {
  beforeValue();
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_.append(buffer, result.ptr);
  return *this;
}

JsonWriter& JsonWriter::number(double value) {
  if (!std::isfinite(value)) {
    failed_ = true;
    beforeValue();
    return *this;
  }
  if (value == std::trunc(value) && std::fabs(value) < kLargestExactInteger) {
    return integer(static_cast<int64_t>(value));
  }
  beforeValue();
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out_.append(buffer, result.ptr);
  return *this;
}

JsonWriter& JsonWriter::null() {
  beforeValue();
  out_ += "null";
  return *this;
}

std::optional<std::string> JsonWriter::finish() && {
  if (failed_) return std::nullopt;
  return std::move(out_);
}

void JsonWriter::appendEscaped(std::string_view text) {
  std::string repaired;
  if (!isValidUtf8(text)) {
    repaired = validUtf8(text, NulCharacter::kept);
    text = repaired;
  }
  static constexpr char kHex[] = "0123456789abcdef";
  out_.push_back('"');
  size_t plainStart = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\' && c != '/') continue;
    out_.append(text.data() + plainStart, i - plainStart);
    plainStart = i + 1;
    switch (c) {
      case '"':
        out_ += "\\\"";
        break;
      case '\\':
        out_ += "\\\\";
        break;
      case '/':
        out_ += "\\/";
        break;
      case '\b':
        out_ += "\\b";
        break;
      case '\f':
        out_ += "\\f";
        break;
      case '\n':
        out_ += "\\n";
        break;
      case '\r':
        out_ += "\\r";
        break;
      case '\t':
        out_ += "\\t";
        break;
      default:
        out_ += "\\u00";
        out_.push_back(kHex[c >> 4]);
        out_.push_back(kHex[c & 0xF]);
    }
  }
  out_.append(text.data() + plainStart, text.size() - plainStart);
  out_.push_back('"');
}

}  // namespace zemblo::json
