#include "model/ad_blocker.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <set>

#include "model/localization.h"
#include "support/fake_web_view.h"
#include "support/temp_home.h"
#include "support/wait.h"

namespace zemblo {
namespace {

using namespace std::chrono_literals;

constexpr const char* kRules =
    R"([{"trigger":{"url-filter":"/ads/"},"action":{"type":"block"}},)"
    R"({"trigger":{"url-filter":".*"},"action":{"type":"css-display-none","selector":".ad"}}])";

// The engine's rule-list store, answering on a later turn like the real one.
class FakeRuleStore : public ContentRuleStore {
 public:
  void lookUp(const std::string& identifier, LookUpDone done) override {
    calls.push_back("lookUp " + identifier);
    later([this, identifier, done] {
      done(stored.contains(identifier) ? std::make_shared<testing::FakeRuleList>() : nullptr);
    });
  }
  void compile(const std::string& identifier, std::string encodedRules, CompileDone done) override {
    calls.push_back("compile " + identifier);
    compiledText = std::move(encodedRules);
    later([this, identifier, done] {
      if (compileFails) return done({nullptr, compileError});
      stored.insert(identifier);
      done({std::make_shared<testing::FakeRuleList>(), std::nullopt});
    });
  }
  void identifiers(IdentifiersDone done) override {
    calls.push_back("identifiers");
    later([this, done] { done(std::vector<std::string>(stored.begin(), stored.end())); });
  }
  void remove(const std::string& identifier) override {
    calls.push_back("remove " + identifier);
    stored.erase(identifier);
  }

  // The blocker reads the rule file on a thread of its own and asks on a later turn of the
  // main loop; waits a second at most for that.
  void waitUntilAsked() {
    testing::waitUntil([this] { return !pending.empty(); }, 1s);
  }
  void answerAll() {
    waitUntilAsked();
    while (!pending.empty()) {
      auto answer = std::move(pending.front());
      pending.pop_front();
      answer();
    }
  }

  std::set<std::string> stored;
  std::vector<std::string> calls;
  std::string compiledText;
  bool compileFails = false;
  std::optional<std::string> compileError;
  std::deque<std::function<void()>> pending;

 private:
  void later(std::function<void()> answer) { pending.push_back(std::move(answer)); }
};

// Runs the main loop until the background count has arrived, or a second has passed.
bool waitForCount(const AdBlocker& blocker) {
  return testing::waitUntil([&] { return blocker.ruleCount.peek() != 0; }, 1s);
}

class AdBlockerTest : public ::testing::Test {
 protected:
  void SetUp() override { L10n::setEnglish(false); }
  void TearDown() override { L10n::setEnglish(false); }

  std::filesystem::path writeRules(const std::string& text, const char* name = "rules.json") {
    const auto file = home.root() / name;
    home.writeFile(file, text);
    return file;
  }
  std::unique_ptr<AdBlocker> blocker(std::optional<std::filesystem::path> file) {
    auto made = std::make_unique<AdBlocker>(defaults, std::move(file));
    made->onChange = [this] { ++changes; };
    return made;
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "defaults.json"};
  std::shared_ptr<FakeRuleStore> store = std::make_shared<FakeRuleStore>();
  int changes = 0;
};

TEST_F(AdBlockerTest, IdentifierAndCountComeFromTheFileBytes) {
  // The SHA-256 test vectors of "abc" and of no bytes.
  EXPECT_EQ(AdBlocker::ruleListIdentifier("abc"), "zemblo.adblock.ba7816bf8f01");
  EXPECT_EQ(AdBlocker::ruleListIdentifier(""), "zemblo.adblock.e3b0c44298fc");

  EXPECT_EQ(AdBlocker::countRules(kRules), 2);
  EXPECT_EQ(AdBlocker::countRules(""), 0);
  // Only the quoted word counts, occurrences do not overlap, and nothing is parsed.
  EXPECT_EQ(AdBlocker::countRules(R"(trigger "Trigger" "trigger"trigger")"), 1);
  EXPECT_EQ(AdBlocker::countRules(R"(not json "trigger" "trigger")"), 2);
}

TEST_F(AdBlockerTest, AStoredListIsUsedWithoutCompilingOrRemovingAnything) {
  const auto file = writeRules(kRules);
  const std::string identifier = AdBlocker::ruleListIdentifier(kRules);
  store->stored = {identifier, "zemblo.adblock.000000000000"};
  auto adBlocker = blocker(file);
  EXPECT_EQ(adBlocker->statusText(), "Kurallar hazırlanıyor…");

  adBlocker->prepareRules(store);
  EXPECT_EQ(adBlocker->status.peek(), AdBlocker::Status(AdBlocker::Preparing{}));
  store->answerAll();

  EXPECT_EQ(adBlocker->status.peek(), AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_TRUE(adBlocker->ruleList);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(store->calls, std::vector<std::string>{"lookUp " + identifier});
  EXPECT_EQ(store->stored.size(), 2u);  // stale lists stay after a look-up
  EXPECT_TRUE(waitForCount(*adBlocker));
  EXPECT_EQ(adBlocker->ruleCount.peek(), 2);

  // Runs once.
  adBlocker->prepareRules(store);
  EXPECT_EQ(store->calls.size(), 1u);
}

TEST_F(AdBlockerTest, AMissingListIsCompiledAndOnlyOurStaleListsAreRemoved) {
  const auto file = writeRules(kRules);
  const std::string identifier = AdBlocker::ruleListIdentifier(kRules);
  store->stored = {"zemblo.adblock.0123456789ab", "zemblo.adblock.ba7816bf8f01", "other.list"};
  auto adBlocker = blocker(file);
  adBlocker->prepareRules(store);
  store->answerAll();

  EXPECT_EQ(adBlocker->status.peek(), AdBlocker::Status(AdBlocker::Ready{}));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(store->compiledText, kRules);
  EXPECT_EQ(store->stored, (std::set<std::string>{identifier, "other.list"}));
  EXPECT_EQ(store->calls[0], "lookUp " + identifier);
  EXPECT_EQ(store->calls[1], "compile " + identifier);
  EXPECT_EQ(store->calls[2], "identifiers");
}

TEST_F(AdBlockerTest, FailuresBecomeTheFailedStatusWithTheirMessage) {
  // The engine's own description of a failed compile.
  {
    store->compileFails = true;
    store->compileError = "Invalid or unsupported regular expression.";
    auto adBlocker = blocker(writeRules(kRules));
    adBlocker->prepareRules(store);
    store->answerAll();
    EXPECT_EQ(adBlocker->status.peek(),
              AdBlocker::Status(AdBlocker::Failed{"Invalid or unsupported regular expression."}));
    EXPECT_FALSE(adBlocker->ruleList);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(store->calls.back(), "compile " + AdBlocker::ruleListIdentifier(kRules));
    // The count does not depend on how the pipeline ends.
    EXPECT_TRUE(waitForCount(*adBlocker));
  }
  // A failure without a description, in the language active when it happens.
  {
    store = std::make_shared<FakeRuleStore>();
    store->compileFails = true;
    auto adBlocker = blocker(writeRules(kRules));
    adBlocker->prepareRules(store);
    L10n::setEnglish(true);
    store->answerAll();
    EXPECT_EQ(adBlocker->status.peek(),
              AdBlocker::Status(AdBlocker::Failed{"Rules couldn't be compiled."}));
    EXPECT_EQ(adBlocker->statusText(), "Couldn't start: Rules couldn't be compiled.");
    L10n::setEnglish(false);
  }
  // No engine to compile with.
  {
    auto adBlocker = blocker(writeRules(kRules));
    adBlocker->prepareRules(nullptr);
    EXPECT_EQ(adBlocker->status.peek(),
              AdBlocker::Status(AdBlocker::Failed{"İçerik engelleme kullanılamıyor."}));
  }
}

TEST_F(AdBlockerTest, AMissingOrUnreadableRuleFileFailsWithoutTouchingTheStore) {
  for (auto file :
       {std::optional<std::filesystem::path>(), std::optional(home.root() / "no-such-file.json"),
        std::optional(home.root())}) {  // a folder cannot be read as a file
    auto adBlocker = blocker(file);
    adBlocker->prepareRules(store);
    EXPECT_EQ(adBlocker->status.peek(),
              AdBlocker::Status(AdBlocker::Failed{"Kural dosyası bulunamadı."}));
    EXPECT_EQ(adBlocker->statusText(), "Başlatılamadı: Kural dosyası bulunamadı.");
    EXPECT_EQ(adBlocker->ruleCount.peek(), 0);
  }
  EXPECT_TRUE(store->calls.empty());
  EXPECT_EQ(changes, 0);
}

TEST_F(AdBlockerTest, AnInvalidRuleFileReachesTheEngineAsValidText) {
  // Invalid UTF-8 becomes the replacement character; the engine then refuses the text.
  store->compileFails = true;
  store->compileError = "Failed to parse the JSON String.";
  auto adBlocker = blocker(writeRules("[{\"trigger\"\xff\xfe"));
  adBlocker->prepareRules(store);
  store->answerAll();
  EXPECT_EQ(store->compiledText, "[{\"trigger\"\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(adBlocker->status.peek(),
            AdBlocker::Status(AdBlocker::Failed{"Failed to parse the JSON String."}));
  EXPECT_TRUE(waitForCount(*adBlocker));
  EXPECT_EQ(adBlocker->ruleCount.peek(), 1);
}

TEST_F(AdBlockerTest, AnswersArrivingAfterTheBlockerIsGoneAreIgnored) {
  auto adBlocker = blocker(writeRules(kRules));
  adBlocker->prepareRules(store);
  store->waitUntilAsked();
  adBlocker.reset();
  store->answerAll();  // the look-up's answer would otherwise start a compile
  EXPECT_EQ(store->calls.size(), 1u);
  // The count's result may still be queued on the main loop.
  while (g_main_context_iteration(nullptr, FALSE)) {
  }

  // Gone while its file is still being read: the store is never asked.
  auto early = blocker(writeRules(kRules));
  early->prepareRules(store);
  early.reset();
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_EQ(store->calls.size(), 1u);
}

TEST_F(AdBlockerTest, StatusLineFollowsTheStatusAndTheSwitch) {
  auto adBlocker = blocker(writeRules(kRules));
  adBlocker->status.set(AdBlocker::Ready{});
  EXPECT_EQ(adBlocker->statusText(), "Reklamlar ve izleyiciler engelleniyor");
  adBlocker->setEnabled(false);
  EXPECT_EQ(adBlocker->statusText(), "Kapalı");
  L10n::setEnglish(true);
  EXPECT_EQ(adBlocker->statusText(), "Off");
  adBlocker->status.set(AdBlocker::Preparing{});
  EXPECT_EQ(adBlocker->statusText(), "Preparing rules…");
  // The stored message keeps the language it was made in.
  adBlocker->status.set(AdBlocker::Failed{"Kural dosyası bulunamadı."});
  EXPECT_EQ(adBlocker->statusText(), "Couldn't start: Kural dosyası bulunamadı.");
}

TEST_F(AdBlockerTest, AllowListMatchesParentAndChildDomainsAfterNormalising) {
  auto adBlocker = blocker(std::nullopt);
  adBlocker->setAllowed(true, "Example.COM");
  EXPECT_TRUE(adBlocker->isAllowed("example.com"));
  EXPECT_TRUE(adBlocker->isAllowed("www.example.com"));
  EXPECT_TRUE(adBlocker->isAllowed("news.example.com"));  // subdomain of an entry
  EXPECT_FALSE(adBlocker->isAllowed("notexample.com"));
  EXPECT_FALSE(adBlocker->isAllowed(std::nullopt));

  adBlocker->setAllowed(true, "https://shop.sub.example.org/cart");
  EXPECT_TRUE(adBlocker->isAllowed("example.org"));  // parent of an entry
  EXPECT_EQ(adBlocker->allowedHosts.peek(),
            (std::set<std::string>{"example.com", "shop.sub.example.org"}));

  adBlocker->setAllowed(true, "localhost");
  EXPECT_TRUE(adBlocker->isAllowed("localhost"));
  EXPECT_FALSE(adBlocker->isAllowed("a.localhost"));  // no dot: only the equal host

  // Text without a host changes nothing, writes nothing and tells no one.
  const int before = changes;
  adBlocker->setAllowed(false, "   ");
  EXPECT_EQ(changes, before);
  EXPECT_EQ(adBlocker->allowedHosts.peek().size(), 3u);

  // The list survives a restart.
  AdBlocker reopened(defaults, std::nullopt);
  EXPECT_EQ(reopened.allowedHosts.peek(), adBlocker->allowedHosts.peek());
  EXPECT_TRUE(reopened.isAllowed("www.example.com"));
}

TEST_F(AdBlockerTest, BlockingASiteAgainRemovesItsParentAndChildEntries) {
  auto adBlocker = blocker(std::nullopt);
  adBlocker->setAllowed(true, "example.com");
  adBlocker->setAllowed(true, "a.news.example.com");
  adBlocker->setAllowed(true, "other.org");
  changes = 0;

  adBlocker->setAllowed(false, "www.news.example.com");
  EXPECT_FALSE(adBlocker->isAllowed("news.example.com"));
  EXPECT_EQ(adBlocker->allowedHosts.peek(), std::set<std::string>{"other.org"});
  EXPECT_EQ(defaults.stringArray(AdBlocker::kAllowedHostsKey),
            std::vector<std::string>{"other.org"});
  EXPECT_EQ(changes, 1);

  // Stored and announced even when nothing matched.
  adBlocker->setAllowed(false, "unrelated.net");
  EXPECT_EQ(changes, 2);
}

TEST_F(AdBlockerTest, SwitchPersistsAndDecidesBlockingAndThePageScriptAnswer) {
  auto adBlocker = blocker(std::nullopt);
  EXPECT_TRUE(adBlocker->isEnabled.peek());
  // The page script is answered by the switch and the allow list alone, ready or not.
  EXPECT_TRUE(adBlocker->replyEnabled("www.youtube.com"));
  EXPECT_FALSE(adBlocker->isBlocking(Url::parse("https://www.youtube.com/")));
  adBlocker->status.set(AdBlocker::Ready{});
  EXPECT_TRUE(adBlocker->isBlocking(Url::parse("https://www.youtube.com/")));

  adBlocker->setAllowed(true, "youtube.com");
  EXPECT_FALSE(adBlocker->replyEnabled("m.youtube.com"));
  EXPECT_FALSE(adBlocker->isBlocking(Url::parse("https://m.youtube.com/")));
  EXPECT_TRUE(adBlocker->replyEnabled("example.com"));

  adBlocker->setEnabled(false);
  EXPECT_FALSE(adBlocker->replyEnabled("example.com"));
  EXPECT_FALSE(adBlocker->isBlocking(Url::parse("https://example.com/")));
  EXPECT_EQ(AdBlocker(defaults, std::nullopt).isEnabled.peek(), false);

  // A stored value that is not a Bool counts as on.
  defaults.setString(AdBlocker::kEnabledKey, "no");
  EXPECT_TRUE(AdBlocker(defaults, std::nullopt).isEnabled.peek());
}

}  // namespace
}  // namespace zemblo
