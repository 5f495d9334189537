#include "platform/json_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace zemblo::json {
namespace {

using namespace std::string_literals;

std::optional<std::string> parsedString(const std::string& text) {
  const auto document = JsonDocument::parse(text);
  if (!document || !document->root().isString()) return std::nullopt;
  return std::string(document->root().string());
}

std::optional<double> parsedNumber(const std::string& text) {
  const auto document = JsonDocument::parse(text);
  if (!document || !document->root().isNumber()) return std::nullopt;
  return document->root().number();
}

std::string nested(int depth) { return std::string(depth, '[') + std::string(depth, ']'); }

TEST(JsonReaderStrings, DecodesEveryEscapeAndSurrogatePairs) {
  EXPECT_EQ(parsedString(R"("a\"b\\c\/d\be\ff\ng\rh\ti")"), "a\"b\\c/d\be\ff\ng\rh\ti");
  EXPECT_EQ(parsedString(R"("\u0041\u00e9\u20AC")"), "Aé€");
  EXPECT_EQ(parsedString(R"("\uD83D\uDE00 \ud83d\ude00")"), "😀 😀");
  EXPECT_EQ(parsedString(R"("\uDBFF\uDFFF")"), "\xF4\x8F\xBF\xBF");  // U+10FFFF
  EXPECT_EQ(parsedString(R"("x\u0000y")"), "x\0y"s);
  EXPECT_EQ(parsedString(R"("https:\/\/example.com\/a?q=1")"), "https://example.com/a?q=1");
  EXPECT_EQ(parsedString("\"Kişisel ağ 😀\""), "Kişisel ağ 😀");
  EXPECT_EQ(parsedString(R"("")"), "");
  // Long runs go through the word-at-a-time scan; the stop must be found at every offset.
  for (size_t length = 0; length < 20; ++length) {
    const std::string plain(length, 'x');
    EXPECT_EQ(parsedString("\"" + plain + "\\n" + plain + "\""), plain + "\n" + plain);
    EXPECT_EQ(parsedString("\"" + plain + "ü\""), plain + "ü");
  }
}

TEST(JsonReaderStrings, RejectsBrokenEscapesSurrogatesAndUtf8) {
  const std::vector<std::string> rejected = {
      R"("\uD83D")",
      R"("\uD83D\u0041")",
      R"("\uD83Dx")",
      R"("\uDE00")",
      R"("\uDE00\uD83D")",
      R"("\u12G4")",
      R"("\u12")",
      R"("\x41")",
      R"("\'")",
      R"("\)",
      "\"\xC0\x80\"",
      "\"\xED\xA0\x80\"",
      "\"\xF4\x90\x80\x80\"",
      "\"\xE2\x82\"",
      "\"\x80\"",
      "\"\xFF\"",
      "\"a\nb\"",
      "\"\x01\"",
      "\"\x1F\"",
      "\"tab\tinside\"",
      "\"unterminated",
      "\"ends with escape\\",
  };
  for (const auto& text : rejected) EXPECT_FALSE(JsonDocument::parse(text)) << text;
}

TEST(JsonReaderNumbers, ReadsIntegersFractionsExponentsAndExtremes) {
  EXPECT_EQ(parsedNumber("0"), 0.0);
  EXPECT_EQ(parsedNumber("-17"), -17.0);
  EXPECT_EQ(parsedNumber("752000061.25"), 752000061.25);
  EXPECT_EQ(parsedNumber("0.1"), 0.1);
  EXPECT_EQ(parsedNumber("1E3"), 1000.0);
  EXPECT_EQ(parsedNumber("2.5e-3"), 0.0025);
  EXPECT_EQ(parsedNumber("-1e+2"), -100.0);
  EXPECT_EQ(parsedNumber("123456789012345"), 123456789012345.0);
  EXPECT_EQ(parsedNumber("9007199254740993"), 9007199254740992.0);  // rounds to nearest even
  EXPECT_EQ(parsedNumber("18446744073709551616"), 18446744073709551616.0);
  EXPECT_EQ(parsedNumber("1.7976931348623157e308"), 1.7976931348623157e308);
  EXPECT_EQ(parsedNumber("4.9e-324"), 4.9e-324);
  // "-0" is the integer zero; "-0.0" keeps its sign.
  EXPECT_FALSE(std::signbit(*parsedNumber("-0")));
  EXPECT_TRUE(std::signbit(*parsedNumber("-0.0")));
  // Too small underflows to a signed zero; too large is refused rather than made infinite.
  EXPECT_EQ(parsedNumber("1e-400"), 0.0);
  EXPECT_TRUE(std::signbit(*parsedNumber("-1e-400")));
  EXPECT_EQ(parsedNumber("0." + std::string(400, '0') + "1"), 0.0);
  EXPECT_FALSE(parsedNumber("1e400"));
  EXPECT_FALSE(parsedNumber("-1e400"));
  EXPECT_FALSE(parsedNumber("1" + std::string(400, '0')));
  EXPECT_FALSE(parsedNumber("1e99999999999999999999"));
  EXPECT_EQ(parsedNumber("1e-99999999999999999999"), 0.0);
}

TEST(JsonReaderNumbers, RejectsWhatTheGrammarForbids) {
  for (const char* text : {"01", "-01", "00", "1.", ".5", "+1", "1e", "1e+", "-", "--1", "0x10",
                           "1.e5", "NaN", "Infinity", "-Infinity", "1_000"}) {
    EXPECT_FALSE(JsonDocument::parse(text)) << text;
  }
}

TEST(JsonReaderStructure, RejectsMalformedDocuments) {
  const std::vector<std::string> rejected = {
      "",        " ",       "[1,]",     "{\"a\":1,}",   "[,1]",     "{\"a\" 1}", "{\"a\"}",
      "{1:2}",   "{'a':1}", "[1 2]",    "[1",           "{\"a\":1", "[",         "{",
      "]",       "{} x",    "[1]]",     "1 2",          "nul",      "truex",     "[true,fals]",
      "// c\n1", "[1]\0"s,  "\xEF\xBB", "\xEF\xBB\xBF",
  };
  for (const auto& text : rejected) EXPECT_FALSE(JsonDocument::parse(text)) << text;
}

TEST(JsonReaderStructure, CapsNestingWithoutExhaustingTheStack) {
  EXPECT_TRUE(JsonDocument::parse(nested(JsonDocument::kMaxDepth)));
  EXPECT_FALSE(JsonDocument::parse(nested(JsonDocument::kMaxDepth + 1)));
  EXPECT_FALSE(JsonDocument::parse(std::string(1'000'000, '[')));
  std::string objects;
  for (int i = 0; i <= JsonDocument::kMaxDepth; ++i) objects += "{\"a\":";
  EXPECT_FALSE(JsonDocument::parse(objects + "1" + std::string(JsonDocument::kMaxDepth + 1, '}')));
}

TEST(JsonReaderTree, WalksContainersAndKeepsTheLastDuplicateKey) {
  const std::string text =
      "\xEF\xBB\xBF {\"a\" : [1, {\"b\":[]}, \"s\"], \"n\":null, \"a\":true, \"t\":false}\r\n";
  const auto document = JsonDocument::parse(text);
  ASSERT_TRUE(document);
  const JsonValue root = document->root();
  ASSERT_TRUE(root.isObject());
  EXPECT_EQ(root.size(), 4u);
  std::vector<std::string> keys;
  for (const auto& member : root.members()) keys.emplace_back(member.key);
  EXPECT_EQ(keys, (std::vector<std::string>{"a", "n", "a", "t"}));
  EXPECT_TRUE(root.find("a")->boolean());
  EXPECT_TRUE(root.find("n")->isNull());
  EXPECT_FALSE(root.find("missing"));

  const JsonValue array = (*root.members().begin()).value;
  ASSERT_EQ(array.size(), 3u);
  std::vector<JsonValue::Type> types;
  for (const JsonValue element : array.elements()) types.push_back(element.type());
  EXPECT_EQ(types, (std::vector{JsonValue::Type::number, JsonValue::Type::object,
                                JsonValue::Type::string}));
  EXPECT_EQ((*std::next(array.elements().begin(), 2)).string(), "s");
  EXPECT_TRUE(root.elements().begin() == root.elements().end());  // an object has no elements

  // Values stay valid when the document moves.
  std::optional<JsonDocument> moved = std::move(*JsonDocument::parse(R"({"u":"a\/b"})"));
  const JsonValue value = moved->root();
  std::optional<JsonDocument> again = std::move(moved);
  EXPECT_EQ(value.requireString("u"), "a/b");
}

TEST(JsonReaderTree, StrictReadersFollowTheFileRules) {
  const auto document = JsonDocument::parse(
      R"({"s":"x","b":true,"n":4.5,"nul":null,"arr":[],"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","bad":"nope"})");
  ASSERT_TRUE(document);
  const JsonValue object = document->root();
  EXPECT_EQ(object.requireString("s"), "x");
  EXPECT_THROW(object.requireString("b"), DecodeError);
  EXPECT_THROW(object.requireString("missing"), DecodeError);
  EXPECT_THROW(object.requireString("nul"), DecodeError);
  EXPECT_TRUE(object.requireBool("b"));
  EXPECT_THROW(object.requireBool("n"), DecodeError);
  EXPECT_EQ(object.requireDouble("n"), 4.5);
  EXPECT_THROW(object.requireDouble("b"), DecodeError);
  EXPECT_EQ(object.requireDate("n").secondsSince2001, 4.5);
  EXPECT_EQ(object.requireArray("arr").size(), 0u);
  EXPECT_THROW(object.requireArray("s"), DecodeError);
  EXPECT_EQ(object.requireUuid("id").str(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  EXPECT_THROW(object.requireUuid("bad"), DecodeError);
  EXPECT_FALSE(object.optionalString("nul"));
  EXPECT_FALSE(object.optionalString("missing"));
  EXPECT_THROW(object.optionalString("b"), DecodeError);
  EXPECT_FALSE(object.optionalUuid("nul"));
  EXPECT_THROW(object.optionalUuid("bad"), DecodeError);
  EXPECT_THROW(object.requireArray("arr").requireString("s"), DecodeError);
  EXPECT_THROW(object.requireValue("s").requireObject(), DecodeError);
}

// Same accept/reject and the same values as the general parser.
bool sameValue(const JsonValue& mine, const Json& theirs) {
  switch (theirs.type()) {
    case Json::value_t::null:
      return mine.isNull();
    case Json::value_t::boolean:
      return mine.isBool() && mine.boolean() == theirs.get<bool>();
    case Json::value_t::number_integer:
    case Json::value_t::number_unsigned:
    case Json::value_t::number_float:
      return mine.isNumber() && std::bit_cast<uint64_t>(mine.number()) ==
                                    std::bit_cast<uint64_t>(theirs.get<double>());
    case Json::value_t::string:
      return mine.isString() && mine.string() == theirs.get_ref<const std::string&>();
    case Json::value_t::array: {
      if (!mine.isArray() || mine.size() != theirs.size()) return false;
      auto element = mine.elements().begin();
      for (const auto& other : theirs) {
        if (!sameValue(*element++, other)) return false;
      }
      return true;
    }
    case Json::value_t::object: {
      if (!mine.isObject()) return false;
      std::vector<std::string_view> keys;
      for (const auto& member : mine.members()) {
        if (std::find(keys.begin(), keys.end(), member.key) == keys.end())
          keys.push_back(member.key);
      }
      if (keys.size() != theirs.size()) return false;
      for (const auto& [key, other] : theirs.items()) {
        const auto value = mine.find(key);
        if (!value || !sameValue(*value, other)) return false;
      }
      return true;
    }
    default:
      return false;
  }
}

void expectSameAsGeneralParser(const std::string& text) {
  const auto mine = JsonDocument::parse(text);
  const auto theirs = parse(text);
  ASSERT_EQ(mine.has_value(), theirs.has_value()) << text;
  if (mine) {
    EXPECT_TRUE(sameValue(mine->root(), *theirs)) << text;
  }
}

TEST(JsonReaderDifferential, AgreesWithTheGeneralParserOnHandPickedDocuments) {
  const std::vector<std::string> documents = {
      R"({"spaces":[{"id":"6B0B3A4E-1C2D-4E5F-8A9B-0C1D2E3F4A5B","tabs":[]}],"x":null})",
      R"([0,-0,-0.0,1e-400,1.5E+10,9007199254740993,18446744073709551615,18446744073709551616])",
      R"([-9223372036854775808,-9223372036854775809,123456789012345678901234567890])",
      R"(["\u00e9\uD83D\uDE00\/\b","\u0000",""])",
      R"({"a":1,"a":{"b":2},"c":[{"a":[]}],"a":[3]})",
      "\xEF\xBB\xBF[true,false,null]",
      " \t\r\n{ } ",
      "[1e400]",
      "[1,]",
      "[01]",
      "\"\\uDE00\"",
      "\"\xED\xA0\x80\"",
      "[\"a\"\"b\"]",
      "{\"a\"1}",
      "[\"\x7F\"]",
      "tru",
      "[-]",
      "[1.5e]",
      "\"\\u00G0\"",
  };
  for (const auto& text : documents) expectSameAsGeneralParser(text);
}

// Random documents, then random damage to them: deletions, insertions of characters that
// matter to the grammar, and truncations.
TEST(JsonReaderDifferential, AgreesWithTheGeneralParserOnRandomAndDamagedDocuments) {
  std::mt19937 random(20240611);
  const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  const std::vector<std::string> atoms = {
      "0",
      "-0",
      "12",
      "-3.25",
      "1e5",
      "2E-3",
      "1e309",
      "true",
      "false",
      "null",
      "\"\"",
      "\"a b\"",
      "\"\\/\"",
      "\"\\u00e9\"",
      "\"ç😀\"",
      "\"\\n\"",
      "\"\\uD83D\\uDE00\"",
      "1.0e+2",
      "9007199254740993",
      "\"\\\"\"",
  };
  const std::function<std::string(int)> generate = [&](int depth) -> std::string {
    const int kind = depth > 4 ? 0 : pick(3);
    if (kind == 0) return atoms[pick(static_cast<int>(atoms.size()))];
    const int count = pick(4);
    std::string out = kind == 1 ? "[" : "{";
    for (int i = 0; i < count; ++i) {
      if (i > 0) out += pick(8) == 0 ? " , " : ",";
      if (kind == 2) out += "\"k" + std::to_string(pick(3)) + "\":";
      out += generate(depth + 1);
    }
    return out + (kind == 1 ? "]" : "}");
  };
  const std::string noise = "[]{}\",:\\ 0-.eEu/\x01\xC3\xA9\xFF";
  for (int round = 0; round < 3000; ++round) {
    std::string text = generate(0);
    expectSameAsGeneralParser(text);
    for (int damage = 0; damage < 3; ++damage) {
      std::string damaged = text;
      const size_t at = static_cast<size_t>(pick(static_cast<int>(damaged.size()) + 1));
      switch (pick(3)) {
        case 0:
          if (at < damaged.size()) damaged.erase(at, 1);
          break;
        case 1:
          damaged.insert(at, 1, noise[static_cast<size_t>(pick(static_cast<int>(noise.size())))]);
          break;
        default:
          damaged.resize(at);
      }
      expectSameAsGeneralParser(damaged);
    }
  }
}

}  // namespace
}  // namespace zemblo::json
