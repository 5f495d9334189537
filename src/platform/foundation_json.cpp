#include "platform/foundation_json.h"

#include <algorithm>
#include <cmath>

#include "platform/json_writer.h"

namespace zemblo::json {
namespace {

constexpr double kLargestExactInteger = 9007199254740992.0;  // 2^53

void write(JsonWriter& writer, const Json& value) {
  switch (value.type()) {
    case Json::value_t::object:
      writer.beginObject();
      for (const auto& [key, member] : value.items()) {
        writer.key(key);
        write(writer, member);
      }
      writer.endObject();
      break;
    case Json::value_t::array:
      writer.beginArray();
      for (const auto& element : value) write(writer, element);
      writer.endArray();
      break;
    case Json::value_t::string:
      writer.string(value.get_ref<const std::string&>());
      break;
    case Json::value_t::boolean:
      writer.boolean(value.get<bool>());
      break;
    case Json::value_t::number_integer:
      writer.integer(value.get<int64_t>());
      break;
    case Json::value_t::number_unsigned:
      writer.number(value.get<double>());
      break;
    case Json::value_t::number_float:
      writer.number(value.get<double>());
      break;
    default:
      writer.null();
      break;
  }
}

[[noreturn]] void fail(std::string_view key, const char* what) {
  throw DecodeError(std::string(key) + ": " + what);
}

// The deepest nesting of brackets outside strings; malformed text is left to the parser.
int nestingDepth(std::string_view text) {
  int depth = 0, deepest = 0;
  bool inString = false, escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

const Json* find(const Json& object, std::string_view key) {
  if (!object.is_object()) throw DecodeError("expected an object");
  const auto it = object.find(std::string(key));
  return it == object.end() ? nullptr : &*it;
}

}  // namespace

std::optional<std::string> encode(const Json& value) {
  JsonWriter writer;
  write(writer, value);
  return std::move(writer).finish();
}

std::optional<Json> parse(std::string_view text) {
  // JSON has no raw NUL anywhere; the parser would stop at one and ignore the rest.
  if (text.find('\0') != std::string_view::npos) return std::nullopt;
  if (nestingDepth(text) > kMaxDepth) return std::nullopt;
  Json value = Json::parse(text.begin(), text.end(), nullptr, false);
  if (value.is_discarded()) return std::nullopt;
  return value;
}

const Json& requireValue(const Json& object, std::string_view key) {
  const Json* value = find(object, key);
  if (!value) fail(key, "missing");
  if (value->is_null()) fail(key, "null");
  return *value;
}

std::string requireString(const Json& object, std::string_view key) {
  const Json& value = requireValue(object, key);
  if (!value.is_string()) fail(key, "not a string");
  return value.get<std::string>();
}

bool requireBool(const Json& object, std::string_view key) {
  const Json& value = requireValue(object, key);
  if (!value.is_boolean()) fail(key, "not a boolean");
  return value.get<bool>();
}

double requireDouble(const Json& object, std::string_view key) {
  const Json& value = requireValue(object, key);
  if (!value.is_number()) fail(key, "not a number");
  return value.get<double>();
}

int64_t requireInt(const Json& object, std::string_view key) {
  const Json& value = requireValue(object, key);
  if (value.is_number_integer()) return value.get<int64_t>();
  if (value.is_number_unsigned()) {
    const auto number = value.get<uint64_t>();
    if (number > static_cast<uint64_t>(INT64_MAX)) fail(key, "out of range");
    return static_cast<int64_t>(number);
  }
  if (!value.is_number_float()) fail(key, "not a number");
  const double number = value.get<double>();
  if (number != std::trunc(number) || std::fabs(number) >= kLargestExactInteger) {
    fail(key, "not a whole number");
  }
  return static_cast<int64_t>(number);
}

const Json& requireArray(const Json& object, std::string_view key) {
  const Json& value = requireValue(object, key);
  if (!value.is_array()) fail(key, "not an array");
  return value;
}

const Json& requireObject(const Json& value) {
  if (!value.is_object()) throw DecodeError("expected an object");
  return value;
}

Uuid requireUuid(const Json& object, std::string_view key) {
  auto id = Uuid::parse(requireString(object, key));
  if (!id) fail(key, "not a UUID");
  return *id;
}

Date requireDate(const Json& object, std::string_view key) {
  return Date{requireDouble(object, key)};
}

std::optional<std::string> optionalString(const Json& object, std::string_view key) {
  const Json* value = find(object, key);
  if (!value || value->is_null()) return std::nullopt;
  if (!value->is_string()) fail(key, "not a string");
  return value->get<std::string>();
}

std::optional<Uuid> optionalUuid(const Json& object, std::string_view key) {
  auto text = optionalString(object, key);
  if (!text) return std::nullopt;
  auto id = Uuid::parse(*text);
  if (!id) fail(key, "not a UUID");
  return id;
}

std::string stringValue(const Json& value) {
  if (!value.is_string()) throw DecodeError("expected a string");
  return value.get<std::string>();
}

}  // namespace zemblo::json
