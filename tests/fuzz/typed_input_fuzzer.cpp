#include <glib.h>

#include <string>

#include "fuzz_check.h"
#include "model/typed_input.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zemblo;
  const std::string_view text = fuzz::text(data, size);
  const std::string_view trimmed = trimmedWhitespaceAndNewlines(text);
  (void)isIPv4Address(text);

  const std::optional<Url> address = urlFromUserInput(text);
  if (address) {
    FUZZ_CHECK(Url::parse(address->str()) == address);
    FUZZ_CHECK(trimmed.find(' ') == std::string_view::npos);
  }
  for (const SearchEngine engine : SearchEngine::allCases) {
    const std::optional<Url> target = urlForInputOrSearch(text, engine);
    // Anything but blank text goes somewhere: the address it names, else a search for it.
    FUZZ_CHECK(target.has_value() == !trimmed.empty());
    if (!target) continue;
    FUZZ_CHECK(Url::parse(target->str()) == target);
    if (address) {
      FUZZ_CHECK(target == address);
    } else if (g_utf8_validate_len(trimmed.data(), trimmed.size(), nullptr)) {
      const std::string query = target->query().value_or("");
      FUZZ_CHECK(query.starts_with("q=") &&
                 percentDecoded(query.substr(2)) == std::string(trimmed));
    }
  }
  return 0;
}
