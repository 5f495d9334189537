#include "platform/public_suffix.h"

#include <gtest/gtest.h>

namespace zemblo {
namespace {

TEST(RegistrableDomain, ComesFromThePublicSuffixListWithItsPrivateEntries) {
  EXPECT_EQ(registrableDomain("www.example.co.uk"), (RegistrableDomain{"example.co.uk", false}));
  EXPECT_EQ(registrableDomain("login.site.test"), (RegistrableDomain{"site.test", false}));
  EXPECT_EQ(registrableDomain("a.b.alice.github.io"), (RegistrableDomain{"alice.github.io", true}));
  EXPECT_EQ(registrableDomain("shop.m%C3%BCller.de"), (RegistrableDomain{"müller.de", false}));
  // Suffixes themselves, addresses, single labels and names with an empty label have none.
  for (const char* host : {"co.uk", "github.io", "localhost", "127.0.0.1", "::1", "fe80::1%25eth0",
                           "a..site.test", "site.test.", "%FF.site.test", ""}) {
    EXPECT_FALSE(registrableDomain(host)) << host;
  }
}

}  // namespace
}  // namespace zemblo
