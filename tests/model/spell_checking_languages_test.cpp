#include "model/spell_checking_languages.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zemblo {
namespace {

using Names = std::vector<std::string>;

// The interface's dictionary comes first; each system language adds its own once, whatever form
// GLib lists it in, and "C" adds none.
TEST(SpellCheckingLanguages, InterfaceLanguageFirstThenEachSystemLanguageOnce) {
  const Names german{"de_DE.UTF-8@euro", "de_DE.UTF-8", "de_DE", "de", "C"};
  EXPECT_EQ(spellCheckingLanguages(false, german), (Names{"tr_TR", "de_DE"}));
  const Names turkish{"tr_TR.UTF-8", "tr_TR", "tr", "C"};
  EXPECT_EQ(spellCheckingLanguages(true, turkish), (Names{"en_US", "tr_TR"}));
  EXPECT_EQ(spellCheckingLanguages(false, turkish), (Names{"tr_TR"}));
  const Names bare{"en", "fr", "C", "POSIX", "../../etc", "xx_Y/Z"};
  EXPECT_EQ(spellCheckingLanguages(false, bare), (Names{"tr_TR", "en_US", "fr_FR"}));
}

}  // namespace
}  // namespace zemblo
