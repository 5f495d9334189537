#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/date.h"
#include "platform/foundation_json.h"
#include "platform/uuid.h"

// A fast strict reader for the large files read at start-up (session and history). The whole text
// is parsed at once into a compact read-only tree; strings without escapes point straight into
// the text. It accepts what the general parser of foundation_json.h accepts (a leading UTF-8 byte
// order mark included) and reads the same values, with two refusals of its own: nesting deeper
// than kMaxDepth, so that a hostile file cannot exhaust the stack, and anything after the value
// but white space (the general parser stops at a NUL byte and ignores what follows it).
namespace zemblo::json {

struct JsonMember;

class JsonValue {
  struct Node;

 public:
  enum class Type : uint8_t { null, boolean, number, string, array, object };

  // Walks siblings: the elements of an array, or the members of an object.
  template <class Item, bool kMembers>
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = Item;
    using difference_type = std::ptrdiff_t;
    using pointer = void;
    using reference = Item;

    Iterator() = default;
    explicit Iterator(const Node* node) : node_(node) {}
    Item operator*() const;
    Iterator& operator++();
    Iterator operator++(int) {
      Iterator old = *this;
      ++*this;
      return old;
    }
    friend bool operator==(const Iterator&, const Iterator&) = default;

   private:
    const Node* node_ = nullptr;
  };

  template <class It>
  struct Range {
    It first, last;
    It begin() const { return first; }
    It end() const { return last; }
  };

  using ElementIterator = Iterator<JsonValue, false>;
  using MemberIterator = Iterator<JsonMember, true>;

  Type type() const { return node_->type; }
  bool isNull() const { return type() == Type::null; }
  bool isBool() const { return type() == Type::boolean; }
  bool isNumber() const { return type() == Type::number; }
  bool isString() const { return type() == Type::string; }
  bool isArray() const { return type() == Type::array; }
  bool isObject() const { return type() == Type::object; }

  // The value when the type matches; otherwise false, 0 or "".
  bool boolean() const { return isBool() && node_->flag; }
  double number() const { return isNumber() ? node_->number : 0; }
  std::string_view string() const;
  // Elements of an array or members of an object (duplicate keys counted); 0 for the rest.
  size_t size() const;

  // Empty unless the value is of that type.
  Range<ElementIterator> elements() const;
  Range<MemberIterator> members() const;
  // The value of the last member named `key` (as the general parser keeps it); nothing when the
  // key is missing or this is no object.
  std::optional<JsonValue> find(std::string_view key) const;

  // Strict readers with the rules of foundation_json.h: a missing key, a null or a value of
  // another JSON type throws DecodeError, and so does asking a non-object for a key.
  JsonValue requireValue(std::string_view key) const;
  std::string_view requireString(std::string_view key) const;
  bool requireBool(std::string_view key) const;
  double requireDouble(std::string_view key) const;
  JsonValue requireArray(std::string_view key) const;
  const JsonValue& requireObject() const;
  Uuid requireUuid(std::string_view key) const;
  Date requireDate(std::string_view key) const;
  // Missing or null give nothing; any other mistyped value throws.
  std::optional<std::string_view> optionalString(std::string_view key) const;
  std::optional<Uuid> optionalUuid(std::string_view key) const;

 private:
  friend class JsonDocument;
  friend class JsonParser;

  // Values are stored in document order; a container is followed by its whole subtree, an
  // object member by its key and then its value.
  // Sixteen bytes, so that the tree of a large file stays small next to its text.
  struct Node {
    union {
      double number = 0;
      const char* chars;
      uint32_t span;  // of a container: the nodes of its subtree, itself included
    };
    uint32_t size = 0;  // bytes of a string, children of a container
    Type type = Type::null;
    bool flag = false;  // the value of a boolean

    bool isContainer() const { return type == Type::array || type == Type::object; }
    const Node* nextSibling() const { return this + (isContainer() ? span : 1); }
  };

  explicit JsonValue(const Node* node) : node_(node) {}

  const Node* node_;
};

struct JsonMember {
  std::string_view key;
  JsonValue value;
};

// Owns the tree of one parsed text. Values point into the tree and, for strings without
// escapes, into the text: both must outlive them. Moving the document keeps its values valid.
class JsonDocument {
 public:
  static constexpr int kMaxDepth = 512;

  // Nothing for anything that is not exactly one JSON value (surrounding white space allowed).
  static std::optional<JsonDocument> parse(std::string_view text);

  JsonValue root() const { return JsonValue(nodes_.data()); }

 private:
  friend class JsonParser;
  JsonDocument() = default;

  std::vector<JsonValue::Node> nodes_;
  // Unescaped strings; never larger than the text, so it is allocated once and never moves.
  std::unique_ptr<char[]> unescaped_;
};

template <class Item, bool kMembers>
Item JsonValue::Iterator<Item, kMembers>::operator*() const {
  if constexpr (kMembers) {
    return JsonMember{JsonValue(node_).string(), JsonValue(node_ + 1)};
  } else {
    return JsonValue(node_);
  }
}

template <class Item, bool kMembers>
auto JsonValue::Iterator<Item, kMembers>::operator++() -> Iterator& {
  node_ = kMembers ? node_[1].nextSibling() : node_->nextSibling();
  return *this;
}

}  // namespace zemblo::json
