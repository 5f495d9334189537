#include "model/password_import.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/localization.h"
#include "model/password_store.h"
#include "support/memory_vault_storage.h"
#include "support/temp_home.h"

namespace zemblo {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using testing::MemoryVaultStorage;

TEST(CsvTokenizer, QuotesLineEndsAndJoinedCharacters) {
  EXPECT_EQ(parseCSV("a,\"b,c\",\"say \"\"hi\"\"\"\r\nx\"y\"z,\"line\nbreak\"\r\r\n\n,\nlast"),
            (Rows{{"a", "b,c", "say \"hi\""}, {"xyz", "line\nbreak"}, {"", ""}, {"last"}}));
  EXPECT_EQ(parseCSV("a,\"open\nto the end"), (Rows{{"a", "open\nto the end"}}));
  EXPECT_EQ(parseCSV(" spaced , kept \r"), (Rows{{" spaced ", " kept "}}));
  EXPECT_TRUE(parseCSV("").empty());
  EXPECT_TRUE(parseCSV("\n\r\n").empty());
  // A comma or quote that a combining accent joins is one character, and text.
  EXPECT_EQ(parseCSV("a,\xCC\x81"
                     "b,c"),
            (Rows{{"a,\xCC\x81"
                   "b",
                   "c"}}));
  EXPECT_EQ(parseCSV("\"\xCC\x81x,y"), (Rows{{"\"\xCC\x81x", "y"}}));
}

TEST(CsvTokenizer, HeadersAreTrimmedLowerCasedAndFoundLeftmostFirst) {
  EXPECT_EQ(normalizedHeader("\xEF\xBB\xBF\"Login_URI\" "), "login_uri");
  EXPECT_EQ(normalizedHeader(" \"\xEF\xBB\xBFPASSWORD\"\n"), "password");
  const std::vector<std::string> headers = {"name", "url", "email", "username", "password", "note"};
  EXPECT_EQ(columnIndex(ImportColumnAliases::title, headers), 0u);
  EXPECT_EQ(columnIndex(ImportColumnAliases::url, headers), 1u);
  EXPECT_EQ(columnIndex(ImportColumnAliases::username, headers), 2u);
  EXPECT_EQ(columnIndex(ImportColumnAliases::password, headers), 4u);
  EXPECT_EQ(columnIndex(ImportColumnAliases::notes, headers), 5u);
  EXPECT_EQ(columnIndex(ImportColumnAliases::notes, std::vector<std::string>{"url"}), std::nullopt);
}

TEST(CsvTokenizer, TextIsUtf8WithNulOrElseLatin1) {
  EXPECT_EQ(decodedCsvText("caf\xC3\xA9"), "caf\xC3\xA9");
  EXPECT_EQ(decodedCsvText(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_EQ(decodedCsvText("caf\xE9,\xFF"), "caf\xC3\xA9,\xC3\xBF");
}

class PasswordImportTest : public ::testing::Test {
 protected:
  PasswordImportTest() { vault = std::make_unique<PasswordStore>(defaults, storage); }

  ImportOutcome import(const std::string& bytes) {
    std::optional<ImportOutcome> outcome;
    vault->importCSV(bytes, [&](ImportOutcome answer) { outcome = answer; });
    EXPECT_TRUE(outcome.has_value());
    return outcome.value_or(ImportOutcome{});
  }
  ImportResult imported(const std::string& bytes) {
    const ImportOutcome outcome = import(bytes);
    EXPECT_FALSE(outcome.error) << localizedDescription(*outcome.error);
    return outcome.result;
  }
  const std::vector<Credential>& logins() { return vault->credentials.peek(); }
  const Credential* find(const std::string& host, const std::string& username) {
    for (const Credential& c : logins()) {
      if (c.host == host && c.username == username) return &c;
    }
    return nullptr;
  }

  testing::TempHome home;
  UserDefaults defaults{home.root() / "user-defaults.json"};
  std::shared_ptr<MemoryVaultStorage> storage = std::make_shared<MemoryVaultStorage>();
  std::unique_ptr<PasswordStore> vault;
};

TEST_F(PasswordImportTest, BrowserExportsAreRead) {
  // The format of Chromium browsers, with an app login that is no web page.
  EXPECT_EQ(imported("name,url,username,password,note\n"
                     "Example,https://www.example.test/login,ada,pw1,work account\n"
                     "App,android://hash@com.example.app/,ada,pw2,\n"),
            (ImportResult{1, 0, 0, 1}));
  const Credential* chrome = find("example.test", "ada");
  ASSERT_TRUE(chrome);
  EXPECT_EQ(chrome->url, "https://www.example.test/login");
  EXPECT_EQ(chrome->title, "Example");
  EXPECT_EQ(chrome->notes, "work account");
  EXPECT_FALSE(chrome->lastUsed);

  // Every header quoted, more columns than needed, and an internal address.
  EXPECT_EQ(
      imported("\"url\",\"username\",\"password\",\"httpRealm\",\"formActionOrigin\",\"guid\","
               "\"timeCreated\",\"timeLastUsed\",\"timePasswordChanged\"\n"
               "\"https://mail.example.test\",\"bob\",\"p,w\",,\"https://mail.example.test\","
               "\"{1}\",\"1700000000000\",\"1700000000000\",\"1700000000000\"\n"
               "\"chrome://FirefoxAccounts\",\"bob\",\"x\",,,,,,\n"),
      (ImportResult{1, 0, 0, 1}));
  EXPECT_EQ(find("mail.example.test", "bob")->password, "p,w");

  // Capitalised headers with a one-time-code column.
  EXPECT_EQ(imported("Title,URL,Username,Password,Notes,OTPAuth\r\n"
                     "Shop,HTTPS://shop.example.test/,  carol  , padded pw ,,otpauth://x\r\n"),
            (ImportResult{1, 0, 0, 0}));
  EXPECT_EQ(find("shop.example.test", "carol")->password, " padded pw ");
}

TEST_F(PasswordImportTest, PasswordManagerExportsAreRead) {
  // A byte-order mark, CR LF line ends, a secure note without password, and a login with
  // several addresses in one cell.
  EXPECT_EQ(
      imported("\xEF\xBB\xBF"
               "folder,favorite,type,name,notes,fields,reprompt,login_uri,"
               "login_username,login_password,login_totp\r\n"
               ",,note,Wifi,the code is 1234,,0,,,,\r\n"
               ",1,login,Forum,,,0,\"https://forum.example.test/a,b,https://old.example.test\","
               "dave,pw4,\r\n"),
      (ImportResult{1, 0, 0, 1}));
  const Credential* bitwarden = find("forum.example.test", "dave");
  ASSERT_TRUE(bitwarden);
  EXPECT_EQ(bitwarden->url, "https://forum.example.test/a,b");

  // A bare host as the address.
  EXPECT_EQ(imported("Title,Url,Username,Password,OTPAuth,Favorite,Archived,Tags,Notes\n"
                     "Code,git.example.test,erin,pw5,,false,false,,\n"),
            (ImportResult{1, 0, 0, 0}));
  EXPECT_EQ(find("git.example.test", "erin")->url, "git.example.test");

  // "email" stands before "username"; a row takes the first of them that holds a name, so two
  // accounts without an email stay two logins.
  EXPECT_EQ(imported("type,name,url,email,username,password,note,totp,createTime,modifyTime,vault\n"
                     "login,A,\"https://app.example.test, https://app2.example.test\",,frank,pw6,,,"
                     "1,1,Personal\n"
                     "login,B,https://app.example.test,,grace,pw7,,,1,1,Personal\n"
                     "login,C,https://app.example.test,heidi@example.test,,pw8,,,1,1,Personal\n"),
            (ImportResult{3, 0, 0, 0}));
  EXPECT_TRUE(find("app.example.test", "frank"));
  EXPECT_TRUE(find("app.example.test", "grace"));
  EXPECT_EQ(find("app.example.test", "heidi@example.test")->url, "https://app.example.test");
}

TEST_F(PasswordImportTest, FilesWithoutUsableLoginsAreRefusedAndChangeNothing) {
  const std::vector<std::pair<std::string, PasswordImportError>> refused = {
      {"", PasswordImportError::empty},
      {"url,username,password\n", PasswordImportError::empty},
      {"url,username,password\nhttps://a.example.test,ada,\n,\nftp://b.example.test,bo,pw\n"
       " ,x,pw\n",
       PasswordImportError::empty},
      {"website;login;password\nhttps://a.example.test;ada;pw\n",
       PasswordImportError::unrecognized},
      {"url,username,secret\nhttps://a.example.test,ada,pw\n", PasswordImportError::unrecognized},
  };
  for (const auto& [file, error] : refused) {
    const ImportOutcome outcome = import(file);
    EXPECT_EQ(outcome.error, error) << file;
  }
  EXPECT_TRUE(logins().empty());
  EXPECT_EQ(storage->writeCount, 0);
  L10n::setEnglish(true);
  EXPECT_EQ(localizedDescription(PasswordImportError::unrecognized),
            "This CSV format wasn't recognized. The file needs url, username and password "
            "columns.");
  L10n::setEnglish(false);
}

TEST_F(PasswordImportTest, RowsMergeByExactSiteAndUsername) {
  vault->upsert({.host = "example.test",
                 .url = "https://example.test",
                 .username = "ada",
                 .password = "old"});
  const int writesBefore = storage->writeCount;
  const std::string file =
      "url,username,password,notes\n"
      "https://example.test,ada,new,from the file\n"   // updates the saved login
      "https://login.example.test,ada,other,\n"        // a subdomain is another login
      "https://login.example.test,ada,other,\n"        // the same row again
      "https://login.example.test,ada,changed,late\n"  // a later password for it
      "https://example.test,Ada,new,\n";               // usernames are case-sensitive
  EXPECT_EQ(imported(file), (ImportResult{2, 2, 1, 0}));
  EXPECT_EQ(storage->writeCount, writesBefore + 1);  // written once, at the end
  EXPECT_EQ(find("example.test", "ada")->password, "new");
  EXPECT_EQ(find("example.test", "ada")->notes, "from the file");
  EXPECT_EQ(find("login.example.test", "ada")->password, "changed");
  EXPECT_EQ(find("login.example.test", "ada")->notes, "late");  // it had none
  EXPECT_EQ(logins().size(), 3u);

  // The same file again finds everything saved.
  EXPECT_EQ(imported(file), (ImportResult{0, 2, 3, 0}));
  EXPECT_EQ(imported("url,username,password\nhttps://example.test,ada,new\n"),
            (ImportResult{0, 0, 1, 0}));
}

TEST_F(PasswordImportTest, AnImportTheKeyringRefusesIsTakenBackAndReportedAsNotSaved) {
  vault->upsert({.host = "example.test",
                 .url = "https://example.test",
                 .username = "ada",
                 .password = "old"});
  storage->refuseWrites = true;
  const ImportOutcome outcome = import(
      "url,username,password,notes\nhttps://example.test,ada,new,n\nhttps://"
      "b.example.test,bo,pw,\n");
  EXPECT_EQ(outcome.error, PasswordImportError::notSaved);
  ASSERT_EQ(logins().size(), 1u);
  EXPECT_EQ(logins().front().password, "old");
  EXPECT_EQ(logins().front().notes, "");
}

TEST_F(PasswordImportTest, AVaultThatIsNotReadYetOrUnreadableRefusesImports) {
  const std::string file = "url,username,password\nhttps://a.example.test,ada,pw\n";
  storage->deferAnswers = true;
  vault = std::make_unique<PasswordStore>(defaults, storage);
  EXPECT_EQ(import(file).error, PasswordImportError::vaultUnavailable);

  storage = std::make_shared<MemoryVaultStorage>();
  storage->stored = {VaultStorage::ReadStatus::failed, {}, "no keyring"};
  vault = std::make_unique<PasswordStore>(defaults, storage);
  EXPECT_EQ(import(file).error, PasswordImportError::vaultUnavailable);
  EXPECT_TRUE(logins().empty());
}

TEST(ImportTexts, SummaryLeavesOutZeroCountsAndTheHeadlineCountsImportedRows) {
  L10n::setEnglish(true);
  EXPECT_EQ(importHeadline({1, 0, 0, 0}), "1 password imported");
  EXPECT_EQ(importSummaryLine({1, 0, 0, 0}), "1 new");
  EXPECT_EQ(importHeadline({5, 2, 0, 2}), "7 passwords imported");
  EXPECT_EQ(importSummaryLine({5, 0, 0, 2}), "5 new · 2 skipped");
  EXPECT_EQ(importHeadline({0, 0, 4, 0}), "All passwords are already saved");
  EXPECT_EQ(importSummaryLine({0, 3, 4, 0}), "3 updated · 4 already saved");
  EXPECT_EQ(importSummaryLine({}), "");
  L10n::setEnglish(false);
  EXPECT_EQ(importSummaryLine({2, 0, 1, 0}), "2 yeni · 1 zaten vardı");
}

}  // namespace
}  // namespace zemblo
