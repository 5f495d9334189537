#include "filter_rule_converter.h"

#include <gtest/gtest.h>

namespace zemblo::filter_rules {
namespace {

using Json = nlohmann::ordered_json;

// The rules of one filter line as compact JSON texts.
std::vector<std::string> converted(std::string_view line) {
  std::vector<std::string> texts;
  for (const auto& rule : convertFilter(line)) texts.push_back(rule.json.dump());
  return texts;
}

std::string rule(const std::string& trigger, const std::string& action = R"({"type":"block"})") {
  return R"({"trigger":)" + trigger + R"(,"action":)" + action + "}";
}

TEST(FilterRuleConverterTest, PatternsBecomeTheEnginesRegularExpressionSubset) {
  // Anchors: the address's start, any subdomain of a host, the end.
  EXPECT_EQ(urlFilterFor("|https://ads."), "^https://ads\\.");
  EXPECT_EQ(urlFilterFor("||ads.example.com^"), "^[^:]+://+([^/]+\\.)?ads\\.example\\.com[/:]");
  EXPECT_EQ(urlFilterFor("||cdn.example.com/ads/*.js|"),
            "^[^:]+://+([^/]+\\.)?cdn\\.example\\.com/ads/.*\\.js$");
  // "^" is a separator in the middle, and a separator or the end after a path.
  EXPECT_EQ(urlFilterFor("/ad^slot"), "/ad[^a-zA-Z0-9_.%-]slot");
  EXPECT_EQ(urlFilterFor("/banner^"), "/banner([^a-zA-Z0-9_.%-].*)?$");
  // Wildcards at the ends add nothing to a search; regular-expression characters are literal.
  EXPECT_EQ(urlFilterFor("*-ad-banner-*"), "-ad-banner-");
  EXPECT_EQ(urlFilterFor("a+b?(c)[d]{2}$x|y"), "a\\+b\\?\\(c\\)\\[d\\]\\{2\\}\\$x\\|y");
  EXPECT_EQ(urlFilterFor("**"), ".*");
  // The engine takes ASCII only.
  EXPECT_EQ(urlFilterFor("/reklam-\xC3\xBC/"), std::nullopt);
}

TEST(FilterRuleConverterTest, NetworkFiltersKeepTheirPartyTypesAndSites) {
  const std::string host = R"("url-filter":"^[^:]+://+([^/]+\\.)?tracker\\.net[/:]")";
  // A blocked host is blocked for every kind of load, its pages included.
  EXPECT_EQ(converted("||tracker.net^"), std::vector{rule("{" + host + "}")});
  EXPECT_EQ(converted("||tracker.net^$third-party"),
            std::vector{rule("{" + host + R"(,"load-type":["third-party"]})")});
  EXPECT_EQ(converted("||tracker.net^$~third-party,script,domain=A.com|b.org"),
            std::vector{rule(R"({"url-filter":"^[^:]+://+([^/]+\\.)?tracker\\.net[/:]",)"
                             R"("load-type":["first-party"],"if-domain":["*a.com","*b.org"],)"
                             R"("resource-type":["script"]})")});
  EXPECT_EQ(converted("/pixel.gif$image,domain=~shop.example"),
            std::vector{rule(R"({"url-filter":"/pixel\\.gif","unless-domain":["*shop.example"],)"
                             R"("resource-type":["image"]})")});
  // An address pattern without types leaves the pages a user opens alone, frames included.
  EXPECT_EQ(
      converted("-ad-banner-"),
      (std::vector{rule(R"({"url-filter":"-ad-banner-","resource-type":["script","image",)"
                        R"("style-sheet","font","media","fetch","websocket","ping","other"]})"),
                   rule(R"({"url-filter":"-ad-banner-","resource-type":["document"],)"
                        R"("load-context":["child-frame"]})")}));
  EXPECT_EQ(converted("/adframe.$subdocument,~third-party"),
            std::vector{rule(R"({"url-filter":"/adframe\\.","load-type":["first-party"],)"
                             R"("resource-type":["document"],"load-context":["child-frame"]})")});
  // Excluded types leave the others.
  EXPECT_EQ(converted("/ads.$~script,~image,~stylesheet,~font,~media,~xmlhttprequest,~websocket,"
                      "~ping,~other")[0],
            rule(R"({"url-filter":"/ads\\.","resource-type":["document"],)"
                 R"("load-context":["child-frame"]})"));
  EXPECT_EQ(converted("||ads.example^$popup,match-case"),
            std::vector{rule(R"({"url-filter":"^[^:]+://+([^/]+\\.)?ads\\.example[/:]",)"
                             R"("url-filter-is-case-sensitive":true,"resource-type":["popup"]})")});
}

TEST(FilterRuleConverterTest, ExceptionsAndHidingRulesLandInTheirStages) {
  auto exception = convertFilter("@@||cdn.example.com/ads.js$script");
  ASSERT_EQ(exception.size(), 1u);
  EXPECT_EQ(exception[0].stage, Stage::exception);
  EXPECT_EQ(exception[0].json["action"]["type"], "ignore-previous-rules");
  // An exception without types never matches the page itself, which would lift its hiding.
  const auto untyped = convertFilter("@@/ads/allowed.");
  ASSERT_EQ(untyped.size(), 2u);
  for (const auto& rule : untyped) {
    const Json& trigger = rule.json["trigger"];
    ASSERT_TRUE(trigger.contains("resource-type"));
    if (trigger["resource-type"] == Json({"document"})) {
      EXPECT_EQ(trigger["load-context"], Json({"child-frame"}));
    } else {
      EXPECT_FALSE(trigger.contains("load-context"));
    }
  }
  EXPECT_EQ(convertFilter("||ads.example^$important")[0].stage, Stage::important);

  auto generic = convertFilter("##.ad-banner");
  ASSERT_EQ(generic.size(), 1u);
  EXPECT_EQ(generic[0].stage, Stage::genericHiding);
  EXPECT_EQ(generic[0].json.dump(), rule(R"({"url-filter":".*"})",
                                         R"({"type":"css-display-none","selector":".ad-banner"})"));
  auto site = convertFilter("example.com,News.example.org##div[id^=\"sponsor\"]");
  ASSERT_EQ(site.size(), 1u);
  EXPECT_EQ(site[0].stage, Stage::siteHiding);
  EXPECT_EQ(site[0].json["trigger"]["if-domain"], Json({"*example.com", "*news.example.org"}));
  EXPECT_EQ(convertFilter("~example.com##.promo")[0].json["trigger"]["unless-domain"],
            Json({"*example.com"}));
  // A site list the engine cannot name in part is narrowed, never widened.
  EXPECT_EQ(convertFilter("example.*,example.net##.ad")[0].json["trigger"]["if-domain"],
            Json({"*example.net"}));
}

TEST(FilterRuleConverterTest, WhatTheEngineCannotExpressIsSkipped) {
  for (const char* line : {
           "! comment",
           "[Adblock Plus 2.0]",
           "",
           "/banner[0-9]+\\.gif/",                  // regular expression
           "||ads.example^$redirect=noop.js",       // redirect
           "||ads.example^$csp=script-src 'none'",  // CSP
           "||ads.example^$removeparam=utm",        // unknown option
           "@@||example.com^$document",             // whole-page exception
           "@@||example.com^$generichide",          // hiding exception
           "##.ad:has(> .sponsored)",               // procedural
           "example.com##.ad:-abp-contains(Sponsored)",
           "example.com##+js(set-constant, ads, false)",  // scriptlet
           "example.com#@#.ad",                           // hiding exception
           "example.com#?#.ad",                           // extended syntax
           "example.*##.ad",                              // no site the engine can name
           "example.com,~shop.example.com##.ad",          // sites both named and spared
           "||ads.example^$domain=a.com|~b.a.com",
           "||ads.example^$domain=~example.*",  // a spared site that cannot be named
           "$script,third-party",               // every address, everywhere
           "|",                                 // ... however anchored
           "||$third-party",
           "|*|$script",
           "*^",  // separators alone name no address
           "||^$domain=example.com",
           "/r\xC3\xA9klam/",  // not ASCII
       }) {
    EXPECT_TRUE(convertFilter(line).empty()) << line;
  }
}

TEST(FilterRuleConverterTest, BuilderOrdersStagesDropsDuplicatesAndStaysWithinTheLimit) {
  RuleListBuilder builder;
  const auto first = builder.addList(
      "! Title: one\n@@||cdn.example^$script\n||ads.example^\r\n##.ad\n||ads.example^$important\n"
      "example.com##.promo\n/regex[0-9]/\n");
  EXPECT_EQ(first.filters, 6u);
  EXPECT_EQ(first.kept, 5u);
  EXPECT_EQ(first.rules, 5u);
  const auto second = builder.addList("||ads.example^\n||more.example^\n");
  EXPECT_EQ(second.kept, 2u);
  EXPECT_EQ(second.rules, 1u);  // the first is already there

  const Json list = Json::parse(builder.json());
  ASSERT_EQ(list.size(), 6u);
  EXPECT_EQ(list[0]["action"]["selector"], ".ad");
  EXPECT_EQ(list[1]["trigger"]["url-filter"], "^[^:]+://+([^/]+\\.)?ads\\.example[/:]");
  EXPECT_EQ(list[2]["trigger"]["url-filter"], "^[^:]+://+([^/]+\\.)?more\\.example[/:]");
  EXPECT_EQ(list[3]["action"]["selector"], ".promo");
  EXPECT_EQ(list[4]["action"]["type"], "ignore-previous-rules");
  EXPECT_EQ(list[5]["action"]["type"], "block");  // important: after the exceptions

  // Over the limit, the last block rules go first.
  EXPECT_EQ(builder.limitTo(4), 2u);
  const Json limited = Json::parse(builder.json());
  ASSERT_EQ(limited.size(), 4u);
  EXPECT_EQ(limited[1]["action"]["selector"], ".promo");
  EXPECT_EQ(limited[2]["action"]["type"], "ignore-previous-rules");
}

}  // namespace
}  // namespace zemblo::filter_rules
