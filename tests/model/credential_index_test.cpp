#include "model/credential_index.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zemblo {
namespace {

Credential login(std::string host, std::string username, std::string title = {}) {
  Credential credential;
  credential.host = std::move(host);
  credential.username = std::move(username);
  credential.title = std::move(title);
  credential.url = "https://private.example/path";
  credential.notes = "notes hold secret words";
  credential.password = "hunter2";
  return credential;
}

std::vector<std::string> shown(const std::vector<Credential>& vault, const CredentialIndex& index,
                               const std::string& search) {
  std::vector<std::string> names;
  for (const size_t position : index.matching(CredentialIndex::query(search))) {
    const Credential& credential = vault[index.order()[position]];
    names.push_back(credential.host + "/" + credential.username);
  }
  return names;
}

TEST(CredentialIndex, SortsByHostIgnoringCaseThenUsernameThenVaultOrder) {
  const std::vector<Credential> vault = {
      login("zeta.example", "a"),   login("Beta.example", "zed"), login("beta.example", "Amy"),
      login("beta.example", "amy"), login("alpha.example", "z"),  login("beta.example", "Amy")};
  const CredentialIndex index(vault);
  EXPECT_EQ(index.order(), (std::vector<size_t>{4, 2, 5, 3, 1, 0}));
}

TEST(CredentialIndex, SearchesHostUsernameAndTitleOnly) {
  const std::vector<Credential> vault = {login("mail.example", "ada", "Work Mail"),
                                         login("shop.example", "bob"),
                                         login("bank.example", "İlkay")};
  const CredentialIndex index(vault);
  EXPECT_EQ(shown(vault, index, "  WORK \t"), (std::vector<std::string>{"mail.example/ada"}));
  EXPECT_EQ(shown(vault, index, "OP.EX"), (std::vector<std::string>{"shop.example/bob"}));
  EXPECT_EQ(shown(vault, index, "i̇lkay"), (std::vector<std::string>{"bank.example/İlkay"}));
  EXPECT_EQ(shown(vault, index, "   ").size(), 3u);
  for (const char* elsewhere : {"private", "secret", "hunter2", "ada work"}) {
    EXPECT_TRUE(shown(vault, index, elsewhere).empty()) << elsewhere;
  }
}

}  // namespace
}  // namespace zemblo
