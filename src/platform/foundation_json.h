#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/date.h"
#include "platform/uuid.h"

// JSON with the conventions of the files the browser has always written: compact output, "/"
// escaped as "\/", whole numbers without a fraction, UUIDs upper-case, dates as seconds since
// 2001, absent optionals left out. Decoding is strict: one missing or mistyped required value
// fails the whole document.
namespace zemblo::json {

using Json = nlohmann::ordered_json;

// Thrown by the strict readers below; callers turn it into "no value".
struct DecodeError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The encoded text, or nothing when the value holds a non-finite number (which the format cannot
// represent, so nothing must be written).
std::optional<std::string> encode(const Json& value);

// The deepest nesting of arrays and objects a document may have: deeper ones are refused before
// they are parsed, so a hostile file costs neither stack nor time.
inline constexpr int kMaxDepth = 512;

// Parses exactly one JSON value (surrounding white space and a leading UTF-8 byte order mark
// allowed) without throwing; nothing on a syntax error, on anything after the value, or on
// nesting deeper than kMaxDepth.
std::optional<Json> parse(std::string_view text);

// Strict readers of one key of an object. A missing key, a null or a value of another JSON type
// throws DecodeError.
const Json& requireValue(const Json& object, std::string_view key);
std::string requireString(const Json& object, std::string_view key);
bool requireBool(const Json& object, std::string_view key);
double requireDouble(const Json& object, std::string_view key);
// A number that is whole and fits; 4.5 or 1e300 throw.
int64_t requireInt(const Json& object, std::string_view key);
const Json& requireArray(const Json& object, std::string_view key);
const Json& requireObject(const Json& value);
Uuid requireUuid(const Json& object, std::string_view key);
Date requireDate(const Json& object, std::string_view key);

// Optional keys: missing or null give nothing; any other mistyped value throws.
std::optional<std::string> optionalString(const Json& object, std::string_view key);
std::optional<Uuid> optionalUuid(const Json& object, std::string_view key);

// Value conversions for one element (arrays of strings, for instance).
std::string stringValue(const Json& value);

inline Json toJson(const Uuid& id) { return id.str(); }
inline Json toJson(const Date& date) { return date.secondsSince2001; }

}  // namespace zemblo::json
