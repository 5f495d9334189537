#include <glib.h>

#include <string>

#include "fuzz_check.h"
#include "platform/url.h"

namespace {

using zemblo::Url;

void checkSameComponents(const Url& a, const Url& b) {
  FUZZ_CHECK(a.scheme() == b.scheme());
  FUZZ_CHECK(a.host() == b.host());
  FUZZ_CHECK(a.port() == b.port());
  FUZZ_CHECK(a.path() == b.path());
  FUZZ_CHECK(a.query() == b.query());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text = zemblo::fuzz::text(data, size);
  if (const auto url = Url::parse(text)) {
    // Every Url re-parses to itself, so stored addresses survive a save and reload.
    const auto again = Url::parse(url->str());
    FUZZ_CHECK(again && *again == *url);
    checkSameComponents(*url, *again);
    (void)url->lastPathComponent();
    (void)url->isHttpOrHttps();
  }

  // A search term reaches the engine unchanged: it stays one query value and decodes back.
  const std::string encoded = zemblo::percentEncodeQueryValue(text);
  const auto search = Url::parse("https://example.com/search?q=" + encoded);
  // Its query is all the rest of the address: nothing of the term became a fragment.
  FUZZ_CHECK(search && search->query() == "q=" + encoded);
  if (g_utf8_validate_len(text.data(), text.size(), nullptr)) {
    FUZZ_CHECK(zemblo::percentDecoded(encoded) == std::string(text));
  }
  return 0;
}
