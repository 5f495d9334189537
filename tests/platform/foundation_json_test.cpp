#include "platform/foundation_json.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zemblo::json {
namespace {

TEST(FoundationJson, EncodesWithTheFileConventions) {
  Json value = {{"url", "https://example.com/a/b"},
                {"date", 0.0},
                {"width", 264.0},
                {"strength", 0.33},
                {"negative", -2.0},
                {"text", "çağrı \"quoted\""},
                {"flag", true}};
  EXPECT_EQ(encode(value).value(),
            R"({"url":"https:\/\/example.com\/a\/b","date":0,"width":264,"strength":0.33,)"
            R"("negative":-2,"text":"çağrı \"quoted\"","flag":true})");
}

TEST(FoundationJson, KeepsFractionsAndHugeNumbersAsDoubles) {
  EXPECT_EQ(encode(Json::array({752000000.123456, 1e300})).value(), "[752000000.123456,1e+300]");
}

TEST(FoundationJson, RefusesNonFiniteNumbersAnywhere) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_FALSE(encode(Json(nan)).has_value());
  EXPECT_FALSE(encode(Json{{"nested", Json::array({1, inf})}}).has_value());
  EXPECT_FALSE(encode(Json{{"a", -inf}}).has_value());
}

TEST(FoundationJson, InvalidUtf8IsReplacedButNulIsKept) {
  const std::string broken = std::string("a") + char(0xC3) + "b";
  EXPECT_EQ(encode(Json(broken)), "\"a\uFFFDb\"");
  const std::string withNul = std::string("a\0b", 3);
  EXPECT_EQ(encode(Json(withNul)), "\"a\\u0000b\"");
  EXPECT_EQ(encode(Json(withNul + char(0xC3))), "\"a\\u0000b\uFFFD\"");
  EXPECT_EQ(parse(*encode(Json(withNul)))->get<std::string>(), withNul);
}

TEST(FoundationJson, ParseNeverThrows) {
  EXPECT_FALSE(parse("{").has_value());
  EXPECT_FALSE(parse("").has_value());
  EXPECT_TRUE(parse(R"({"a":"\/"})").has_value());
  EXPECT_EQ(parse(R"({"a":"\/x"})")->at("a"), "/x");
}

TEST(FoundationJson, ParseTakesExactlyOneValueAndCapsNesting) {
  using namespace std::string_literals;
  for (const std::string& text : {"[1,]"s, "{\"a\":1,}"s, "{} x"s, "[1]]"s, "1 2"s, "// c\n1"s,
                                  "[1]\0"s, "\xEF\xBB\xBF"s, "01"s, "NaN"s}) {
    EXPECT_FALSE(parse(text)) << text;
  }
  EXPECT_EQ(parse("\xEF\xBB\xBF [1] \n")->size(), 1u);
  EXPECT_EQ(parse(R"({"a":1,"a":2})")->at("a"), 2);  // the last duplicate wins
  const auto nested = [](int depth) { return std::string(depth, '[') + std::string(depth, ']'); };
  EXPECT_TRUE(parse(nested(kMaxDepth)));
  EXPECT_FALSE(parse(nested(kMaxDepth + 1)));
  EXPECT_FALSE(parse(std::string(1'000'000, '[')));
  EXPECT_TRUE(parse(R"(["[[[[", "\"{{{"])"));  // brackets inside strings are no nesting
}

TEST(FoundationJson, StrictReadersRejectMissingNullAndMistypedValues) {
  const Json object = *parse(
      R"({"s":"x","b":true,"n":4.5,"i":4,"whole":4.0,"big":1e300,"nul":null,"id":"e621e1f8-c36c-495a-93fc-0c247a3e6e5f","bad":"nope"})");
  EXPECT_EQ(requireString(object, "s"), "x");
  EXPECT_THROW(requireString(object, "b"), DecodeError);
  EXPECT_THROW(requireString(object, "missing"), DecodeError);
  EXPECT_THROW(requireString(object, "nul"), DecodeError);
  EXPECT_TRUE(requireBool(object, "b"));
  EXPECT_THROW(requireBool(object, "i"), DecodeError);    // a number is no boolean
  EXPECT_THROW(requireDouble(object, "b"), DecodeError);  // nor is a boolean a number
  EXPECT_DOUBLE_EQ(requireDouble(object, "i"), 4.0);
  EXPECT_EQ(requireInt(object, "i"), 4);
  EXPECT_EQ(requireInt(object, "whole"), 4);
  EXPECT_THROW(requireInt(object, "n"), DecodeError);
  EXPECT_THROW(requireInt(object, "big"), DecodeError);
  EXPECT_EQ(requireUuid(object, "id").str(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  EXPECT_THROW(requireUuid(object, "bad"), DecodeError);
  EXPECT_FALSE(optionalString(object, "nul").has_value());
  EXPECT_FALSE(optionalString(object, "missing").has_value());
  EXPECT_THROW(optionalString(object, "b"), DecodeError);
  EXPECT_THROW(optionalUuid(object, "bad"), DecodeError);
  EXPECT_THROW(requireString(Json::array(), "s"), DecodeError);
}

}  // namespace
}  // namespace zemblo::json
