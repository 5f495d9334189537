#include <glib.h>

#include <string>
#include <variant>
#include <vector>

#include "fuzz_check.h"
#include "model/credential.h"
#include "model/password_import.h"
#include "platform/text.h"

namespace zemblo::fuzz {
namespace {

bool isUtf8AllowingNul(std::string_view text) {
  for (size_t start = 0; start <= text.size();) {
    const size_t nul = std::min(text.find('\0', start), text.size());
    if (!g_utf8_validate(text.data() + start, gssize(nul - start), nullptr)) return false;
    start = nul + 1;
  }
  return true;
}

// A quote or comma that a combining character follows is one character with it, not
// punctuation, so a field that starts with one, or has one after a quote, is not written back
// the same way.
bool quotesSafely(const std::string& field) {
  bool atStart = true;
  bool afterQuote = false;
  for (const char* p = field.c_str(); p < field.c_str() + field.size(); p = g_utf8_next_char(p)) {
    const gunichar c = g_utf8_get_char(p);
    if ((atStart || afterQuote) && extendsPreviousCharacter(c)) return false;
    atStart = false;
    afterQuote = c == '"';
  }
  return true;
}

std::string quotedCsv(const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += ',';
      text += '"';
      for (const char c : row[i]) text += c == '"' ? std::string("\"\"") : std::string(1, c);
      text += '"';
    }
    text += "\r\n";
  }
  return text;
}

// Rows written back with every field quoted read as the same rows.
void checkRowsRoundTrip(const std::string& text) {
  const auto rows = parseCSV(text);
  for (const auto& row : rows) {
    for (const auto& field : row) {
      if (!quotesSafely(field)) return;
    }
  }
  FUZZ_CHECK(parseCSV(quotedCsv(rows)) == rows);
}

std::vector<Credential> savedLogins() {
  Credential saved;
  saved.host = "example.test";
  saved.url = "https://example.test";
  saved.username = "ada";
  saved.password = "saved";
  return {saved};
}

// Every data row is counted once, the saved logins stay in place, new ones are usable, and a
// second import of the same file adds nothing and skips the same rows.
void checkMerge(std::string_view bytes, const std::string& text) {
  const std::vector<Credential> vault = savedLogins();
  auto merged = mergeCsvLogins(bytes, vault);
  const auto* merge = std::get_if<CsvMerge>(&merged);
  if (!merge) return;
  const ImportResult& result = merge->result;
  const size_t dataRows = parseCSV(text).size() - 1;
  FUZZ_CHECK(size_t(result.added + result.updated + result.unchanged + result.skipped) == dataRows);
  FUZZ_CHECK(result.added + result.updated + result.unchanged > 0);
  FUZZ_CHECK(merge->credentials.size() == vault.size() + size_t(result.added));
  FUZZ_CHECK(merge->credentials.front().id == vault.front().id);
  for (size_t i = vault.size(); i < merge->credentials.size(); ++i) {
    const Credential& added = merge->credentials[i];
    FUZZ_CHECK(!added.host.empty() && !added.password.empty());
    FUZZ_CHECK(g_utf8_validate(added.host.data(), gssize(added.host.size()), nullptr));
  }
  FUZZ_CHECK(encodeCredentials(merge->credentials));

  auto again = mergeCsvLogins(bytes, merge->credentials);
  const auto* second = std::get_if<CsvMerge>(&again);
  FUZZ_CHECK(second);
  FUZZ_CHECK(second->result.added == 0);
  FUZZ_CHECK(second->result.skipped == result.skipped);
}

}  // namespace
}  // namespace zemblo::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = zemblo::fuzz::text(data, size);
  const std::string text = zemblo::decodedCsvText(bytes);
  FUZZ_CHECK(zemblo::fuzz::isUtf8AllowingNul(text));
  zemblo::fuzz::checkRowsRoundTrip(text);
  zemblo::fuzz::checkMerge(bytes, text);
  return 0;
}
