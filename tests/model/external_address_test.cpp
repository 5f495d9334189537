#include "model/external_address.h"
#include "model/dropped_address.h"

#include <gtest/gtest.h>

#include "support/temp_home.h"

namespace zemblo {
namespace {

TEST(ExternalAddressTest, WebAddressesAndLocalFilesOpenAndNothingElseDoes) {
  EXPECT_EQ(openableAddress("HTTPS://example.com/a?b#c")->str(), "HTTPS://example.com/a?b#c");
  EXPECT_EQ(openableAddress("file:///tmp/x.html")->str(), "file:///tmp/x.html");
  EXPECT_TRUE(openableAddress("file://localhost/tmp/x.html"));
  for (const char* refused :
       {"javascript:alert(1)", "data:text/html,<script>alert(1)</script>", "http:///nohost",
        "file://elsewhere/share/x.html", "ftp://example.com/", "about:blank", "example.com", ""}) {
    EXPECT_FALSE(openableAddress(refused)) << refused;
  }

  testing::TempHome home;
  home.writeFile(home.root() / "my docs" / "notes.html", "<p>notes</p>");
  EXPECT_EQ(addressFromArgument("my docs/../my docs/notes.html", home.root())->str(),
            "file://" + (home.root() / "my%20docs" / "notes.html").string());
  EXPECT_EQ(addressFromArgument((home.root() / "my docs").string(), "/")->str(),
            "file://" + (home.root() / "my%20docs").string());
  EXPECT_EQ(addressFromArgument("http://127.0.0.1:8431/x.html", "/")->str(),
            "http://127.0.0.1:8431/x.html");
  EXPECT_FALSE(addressFromArgument("no such page", home.root()));
  EXPECT_FALSE(addressFromArgument("javascript:alert(1)", home.root()));
}

// Links and text dragged out of a hostile page reach the browser as they were written there.
TEST(ExternalAddressTest, DropsOpenOnlyWhatATabMayOpenFromOutside) {
  EXPECT_EQ(addressFromDroppedUriList("# a comment\r\njavascript:alert(1)\r\ndata:text/html,x\r\n"
                                      "http://127.0.0.1:8431/a\r\nfile:///tmp/b\r\n")
                ->str(),
            "http://127.0.0.1:8431/a");
  EXPECT_FALSE(addressFromDroppedUris({"javascript:alert(1)", "about:blank", "  "}));
  EXPECT_TRUE(everyDroppedUriOpens("# links\r\nhttps://a.example/\r\nfile:///tmp/b\r\n"));
  EXPECT_FALSE(everyDroppedUriOpens("https://a.example/\r\njavascript:alert(1)\r\n"));
  EXPECT_FALSE(everyDroppedUriOpens("# nothing\r\n"));

  const SearchEngine engine = SearchEngine::google;
  EXPECT_EQ(addressForDroppedText(" example.com/x \n", engine)->str(), "https://example.com/x");
  for (const char* searched : {"javascript:alert(1)", "data:text/html,<b>x</b>", "two words"}) {
    EXPECT_EQ(addressForDroppedText(searched, engine), engine.searchURL(searched)) << searched;
  }
  EXPECT_FALSE(addressForDroppedText(" \n", engine));
}

}  // namespace
}  // namespace zemblo
