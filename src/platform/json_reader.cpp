#include "platform/json_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <string>

namespace zemblo::json {
namespace {

constexpr bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }

// Bytes that end the plain run of a string: the closing quote, an escape, a control character
// or the start of a multi-byte UTF-8 sequence (which is checked on its own).
constexpr std::array<bool, 256> kStringStops = [] {
  std::array<bool, 256> stops{};
  for (int c = 0; c < 256; ++c) stops[c] = c < 0x20 || c >= 0x80 || c == '"' || c == '\\';
  return stops;
}();

// Moves past the plain bytes of a string, eight at a time on little-endian machines. With
// kCopy they are copied to `out` as well; whole words may be stored there, which the unescaped
// buffer always has room for (it is as large as the text and never ahead of it).
template <bool kCopy>
const char* plainRun(const char* p, const char* end, char*& out) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    constexpr uint64_t kHighBits = 0x8080808080808080ULL;
    // Flags the bytes below n (n <= 0x80); the lowest flag always marks a true one.
    const auto below = [](uint64_t word, uint64_t n) {
      return (word - kOnes * n) & ~word & kHighBits;
    };
    while (end - p >= 8) {
      uint64_t word;
      std::memcpy(&word, p, sizeof word);
      const uint64_t stops = below(word ^ (kOnes * '"'), 1) | below(word ^ (kOnes * '\\'), 1) |
                             below(word, 0x20) | (word & kHighBits);
      const size_t plain = stops == 0 ? 8 : static_cast<size_t>(std::countr_zero(stops) / 8);
      if constexpr (kCopy) {
        std::memcpy(out, &word, sizeof word);
        out += plain;
      }
      p += plain;
      if (stops != 0) return p;
    }
  }
  while (p < end && !kStringStops[static_cast<unsigned char>(*p)]) {
    if constexpr (kCopy) *out++ = *p;
    ++p;
  }
  return p;
}

int hexDigit(unsigned char c) {
  if (isDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char* appendUtf8(char* out, uint32_t codePoint) {
  if (codePoint < 0x80) {
    *out++ = static_cast<char>(codePoint);
  } else if (codePoint < 0x800) {
    *out++ = static_cast<char>(0xC0 | (codePoint >> 6));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else if (codePoint < 0x10000) {
    *out++ = static_cast<char>(0xE0 | (codePoint >> 12));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  } else {
    *out++ = static_cast<char>(0xF0 | (codePoint >> 18));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = static_cast<char>(0x80 | (codePoint & 0x3F));
  }
  return out;
}

// The length of the well-formed UTF-8 sequence (RFC 3629: no overlong forms, no surrogates,
// nothing above U+10FFFF) starting with a byte >= 0x80 at `p`, or 0.
size_t utf8SequenceLength(const unsigned char* p, const unsigned char* end) {
  const auto within = [&](size_t i, unsigned char low, unsigned char high) {
    return static_cast<size_t>(end - p) > i && p[i] >= low && p[i] <= high;
  };
  const unsigned char lead = p[0];
  if (lead >= 0xC2 && lead <= 0xDF) return within(1, 0x80, 0xBF) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
    return within(1, low, high) && within(2, 0x80, 0xBF) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
    return within(1, low, high) && within(2, 0x80, 0xBF) && within(3, 0x80, 0xBF) ? 4 : 0;
  }
  return 0;
}

// A number beyond the range of double: nothing when it is too large (like the general parser,
// which refuses infinities), a zero of the same sign when it is too small.
std::optional<double> outOfRange(std::string_view number) {
  const bool negative = number.front() == '-';
  if (negative) number.remove_prefix(1);
  const size_t exponentAt = number.find_first_of("eE");
  const std::string_view mantissa = number.substr(0, exponentAt);
  const size_t dot = std::min(mantissa.find('.'), mantissa.size());
  const size_t firstNonZero = mantissa.find_first_not_of("0.");
  if (firstNonZero == std::string_view::npos) return negative ? -0.0 : 0.0;
  // The decimal exponent of the leading digit, plus the written exponent (saturated).
  int64_t magnitude = firstNonZero < dot ? static_cast<int64_t>(dot - firstNonZero) - 1
                                         : -static_cast<int64_t>(firstNonZero - dot);
  if (exponentAt != std::string_view::npos) {
    std::string_view exponent = number.substr(exponentAt + 1);
    const bool negativeExponent = exponent.front() == '-';
    if (exponent.front() == '-' || exponent.front() == '+') exponent.remove_prefix(1);
    int64_t value = 0;
    for (const char c : exponent) value = std::min<int64_t>(value * 10 + (c - '0'), 1'000'000'000);
    magnitude += negativeExponent ? -value : value;
  }
  if (magnitude > 0) return std::nullopt;
  return negative ? -0.0 : 0.0;
}

}  // namespace

// Recursive descent over the whole text. Every routine returns false at the first error; the
// document is then dropped, so partial trees never escape.
class JsonParser {
 public:
  JsonParser(std::string_view text, JsonDocument& document)
      : p_(text.data()), end_(text.data() + text.size()), textSize_(text.size()), doc_(document) {}

  bool parseDocument() {
    if (textSize_ > std::numeric_limits<uint32_t>::max()) return false;
    if (end_ - p_ >= 3 && std::string_view(p_, 3) == "\xEF\xBB\xBF") p_ += 3;
    doc_.nodes_.reserve(textSize_ / 16 + 1);
    if (!parseValue(0)) return false;
    skipWhitespace();
    return p_ == end_;
  }

 private:
  using Node = JsonValue::Node;

  void skipWhitespace() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\n' || *p_ == '\r' || *p_ == '\t')) ++p_;
  }

  bool parseValue(int depth) {
    skipWhitespace();
    if (p_ == end_) return false;
    switch (*p_) {
      case '{':
        return parseObject(depth + 1);
      case '[':
        return parseArray(depth + 1);
      case '"':
        return parseString();
      case 't':
        return parseLiteral("true", JsonValue::Type::boolean, true);
      case 'f':
        return parseLiteral("false", JsonValue::Type::boolean, false);
      case 'n':
        return parseLiteral("null", JsonValue::Type::null, false);
      default:
        return parseNumber();
    }
  }

  bool parseLiteral(std::string_view word, JsonValue::Type type, bool flag) {
    if (static_cast<size_t>(end_ - p_) < word.size() || std::string_view(p_, word.size()) != word) {
      return false;
    }
    p_ += word.size();
    Node& node = doc_.nodes_.emplace_back();
    node.type = type;
    node.flag = flag;
    return true;
  }

  // An array or an object: `parseChild` reads one element or one member.
  template <class ParseChild>
  bool parseContainer(JsonValue::Type type, char close, int depth, ParseChild parseChild) {
    if (depth > JsonDocument::kMaxDepth) return false;
    const size_t index = doc_.nodes_.size();
    doc_.nodes_.emplace_back().type = type;
    ++p_;
    skipWhitespace();
    uint32_t count = 0;
    if (p_ < end_ && *p_ == close) {
      ++p_;
    } else {
      while (true) {
        if (!parseChild()) return false;
        ++count;
        skipWhitespace();
        if (p_ == end_) return false;
        if (*p_ == ',') {
          ++p_;
          continue;
        }
        if (*p_ != close) return false;
        ++p_;
        break;
      }
    }
    Node& node = doc_.nodes_[index];
    node.size = count;
    node.span = static_cast<uint32_t>(doc_.nodes_.size() - index);
    return true;
  }

  bool parseArray(int depth) {
    return parseContainer(JsonValue::Type::array, ']', depth, [&] { return parseValue(depth); });
  }

  bool parseObject(int depth) {
    return parseContainer(JsonValue::Type::object, '}', depth, [&] {
      skipWhitespace();
      if (p_ == end_ || *p_ != '"' || !parseString()) return false;
      skipWhitespace();
      if (p_ == end_ || *p_ != ':') return false;
      ++p_;
      return parseValue(depth);
    });
  }

  // Strings without escapes stay where they are in the text; the others are unescaped into the
  // document's buffer from their first escape on.
  bool parseString() {
    // Local cursors: the compiler would otherwise store the members back after every byte.
    const char* const begin = p_ + 1;  // past the opening quote
    const char* p = begin;
    char* out = nullptr;
    while (true) {
      p = plainRun<false>(p, end_, out);
      if (p == end_) return false;
      const auto c = static_cast<unsigned char>(*p);
      if (c == '"') return addString(begin, static_cast<size_t>(p - begin), p);
      if (c == '\\') break;
      if (c < 0x80 || !skipUtf8(p)) return false;  // a raw control character or broken UTF-8
    }
    char* const outStart = unescapedCursor();
    out = std::copy(begin, p, outStart);
    while (true) {
      p = plainRun<true>(p, end_, out);
      if (p == end_) return false;
      const auto c = static_cast<unsigned char>(*p);
      if (c == '"') break;
      if (c == '\\') {
        p_ = p;
        if (!unescape(out)) return false;
        p = p_;
        continue;
      }
      const char* const sequence = p;
      if (c < 0x80 || !skipUtf8(p)) return false;
      out = std::copy(sequence, p, out);
    }
    unescapedUsed_ = static_cast<size_t>(out - doc_.unescaped_.get());
    return addString(outStart, static_cast<size_t>(out - outStart), p);
  }

  // Moves past the multi-byte UTF-8 sequence at p, if it is well formed.
  bool skipUtf8(const char*& p) const {
    const size_t length = utf8SequenceLength(reinterpret_cast<const unsigned char*>(p),
                                             reinterpret_cast<const unsigned char*>(end_));
    p += length;
    return length != 0;
  }

  bool addString(const char* chars, size_t size, const char* closingQuote) {
    Node& node = doc_.nodes_.emplace_back();
    node.type = JsonValue::Type::string;
    node.chars = chars;
    node.size = static_cast<uint32_t>(size);
    p_ = closingQuote + 1;
    return true;
  }

  // Unescaped text is never longer than the escaped text it comes from, so one buffer the size
  // of the whole text holds every string of the document.
  char* unescapedCursor() {
    if (!doc_.unescaped_) doc_.unescaped_ = std::make_unique_for_overwrite<char[]>(textSize_);
    return doc_.unescaped_.get() + unescapedUsed_;
  }

  // Reads the escape at p_ (a backslash) and writes what it stands for.
  bool unescape(char*& out) {
    if (end_ - p_ < 2) return false;
    const char kind = p_[1];
    p_ += 2;
    switch (kind) {
      case '"':
        *out++ = '"';
        return true;
      case '\\':
        *out++ = '\\';
        return true;
      case '/':
        *out++ = '/';
        return true;
      case 'b':
        *out++ = '\b';
        return true;
      case 'f':
        *out++ = '\f';
        return true;
      case 'n':
        *out++ = '\n';
        return true;
      case 'r':
        *out++ = '\r';
        return true;
      case 't':
        *out++ = '\t';
        return true;
      case 'u':
        break;
      default:
        return false;
    }
    std::optional<uint32_t> unit = hexUnit();
    if (!unit || (*unit >= 0xDC00 && *unit <= 0xDFFF)) return false;
    uint32_t codePoint = *unit;
    if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
      // A high surrogate must be followed at once by an escaped low one.
      if (end_ - p_ < 2 || p_[0] != '\\' || p_[1] != 'u') return false;
      p_ += 2;
      const std::optional<uint32_t> low = hexUnit();
      if (!low || *low < 0xDC00 || *low > 0xDFFF) return false;
      codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*low - 0xDC00);
    }
    out = appendUtf8(out, codePoint);
    return true;
  }

  // Four hex digits of a "\u" escape.
  std::optional<uint32_t> hexUnit() {
    if (end_ - p_ < 4) return std::nullopt;
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const int digit = hexDigit(static_cast<unsigned char>(p_[i]));
      if (digit < 0) return std::nullopt;
      value = value * 16 + static_cast<uint32_t>(digit);
    }
    p_ += 4;
    return value;
  }

  void skipDigits() {
    while (p_ < end_ && isDigit(*p_)) ++p_;
  }

  bool parseNumber() {
    const char* start = p_;
    if (*p_ == '-') ++p_;
    if (p_ == end_ || !isDigit(*p_)) return false;
    if (*p_ == '0') {
      ++p_;
    } else {
      skipDigits();
    }
    bool whole = true;
    if (p_ < end_ && *p_ == '.') {
      whole = false;
      ++p_;
      if (p_ == end_ || !isDigit(*p_)) return false;
      skipDigits();
    }
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
      whole = false;
      ++p_;
      if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      if (p_ == end_ || !isDigit(*p_)) return false;
      skipDigits();
    }
    const std::optional<double> value =
        numberValue(std::string_view(start, static_cast<size_t>(p_ - start)), whole);
    if (!value) return false;
    Node& node = doc_.nodes_.emplace_back();
    node.type = JsonValue::Type::number;
    node.number = *value;
    return true;
  }

  // The text is already known to be a valid JSON number.
  static std::optional<double> numberValue(std::string_view text, bool whole) {
    // Whole numbers of up to 15 digits are exact in a double: no need for the general routine.
    const bool negative = text.front() == '-';
    const std::string_view digits = negative ? text.substr(1) : text;
    if (whole && digits.size() <= 15) {
      int64_t value = 0;
      for (const char c : digits) value = value * 10 + (c - '0');
      // A whole "-0" is the integer 0, as the general parser reads it.
      return static_cast<double>(negative ? -value : value);
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) return outOfRange(text);
    return value;
  }

  const char* p_;
  const char* const end_;
  const size_t textSize_;
  size_t unescapedUsed_ = 0;
  JsonDocument& doc_;
};

std::optional<JsonDocument> JsonDocument::parse(std::string_view text) {
  JsonDocument document;
  if (!JsonParser(text, document).parseDocument()) return std::nullopt;
  return document;
}

std::string_view JsonValue::string() const {
  if (!isString()) return {};
  return std::string_view(node_->chars, node_->size);
}

size_t JsonValue::size() const { return isArray() || isObject() ? node_->size : 0; }

auto JsonValue::elements() const -> Range<ElementIterator> {
  if (!isArray()) return {ElementIterator(node_ + 1), ElementIterator(node_ + 1)};
  return {ElementIterator(node_ + 1), ElementIterator(node_->nextSibling())};
}

auto JsonValue::members() const -> Range<MemberIterator> {
  if (!isObject()) return {MemberIterator(node_ + 1), MemberIterator(node_ + 1)};
  return {MemberIterator(node_ + 1), MemberIterator(node_->nextSibling())};
}

std::optional<JsonValue> JsonValue::find(std::string_view key) const {
  std::optional<JsonValue> found;
  for (const auto& member : members()) {
    if (member.key == key) found = member.value;
  }
  return found;
}

namespace {

[[noreturn]] void fail(std::string_view key, const char* what) {
  throw DecodeError(std::string(key) + ": " + what);
}

}  // namespace

const JsonValue& JsonValue::requireObject() const {
  if (!isObject()) throw DecodeError("expected an object");
  return *this;
}

JsonValue JsonValue::requireValue(std::string_view key) const {
  const std::optional<JsonValue> value = requireObject().find(key);
  if (!value) fail(key, "missing");
  if (value->isNull()) fail(key, "null");
  return *value;
}

std::string_view JsonValue::requireString(std::string_view key) const {
  const JsonValue value = requireValue(key);
  if (!value.isString()) fail(key, "not a string");
  return value.string();
}

bool JsonValue::requireBool(std::string_view key) const {
  const JsonValue value = requireValue(key);
  if (!value.isBool()) fail(key, "not a boolean");
  return value.boolean();
}

double JsonValue::requireDouble(std::string_view key) const {
  const JsonValue value = requireValue(key);
  if (!value.isNumber()) fail(key, "not a number");
  return value.number();
}

JsonValue JsonValue::requireArray(std::string_view key) const {
  const JsonValue value = requireValue(key);
  if (!value.isArray()) fail(key, "not an array");
  return value;
}

Uuid JsonValue::requireUuid(std::string_view key) const {
  std::optional<Uuid> id = Uuid::parse(requireString(key));
  if (!id) fail(key, "not a UUID");
  return std::move(*id);
}

Date JsonValue::requireDate(std::string_view key) const { return Date{requireDouble(key)}; }

std::optional<std::string_view> JsonValue::optionalString(std::string_view key) const {
  const std::optional<JsonValue> value = requireObject().find(key);
  if (!value || value->isNull()) return std::nullopt;
  if (!value->isString()) fail(key, "not a string");
  return value->string();
}

std::optional<Uuid> JsonValue::optionalUuid(std::string_view key) const {
  const std::optional<std::string_view> text = optionalString(key);
  if (!text) return std::nullopt;
  std::optional<Uuid> id = Uuid::parse(*text);
  if (!id) fail(key, "not a UUID");
  return id;
}

}  // namespace zemblo::json
