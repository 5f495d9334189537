#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/credential.h"

// Logins brought in from the CSV files that other browsers and password managers export. Every
// function here works on bytes in memory, so that any byte string can be fed to it.
namespace zemblo {

// The counts of one import. Empty lines and the header row are in none of them.
struct ImportResult {
  int added = 0;      // rows that became new logins
  int updated = 0;    // rows that changed the password of a saved login
  int unchanged = 0;  // rows whose login was already saved with the same password
  // Rows without a password, with an address that is not a web page's, or without a host.
  int skipped = 0;

  friend bool operator==(const ImportResult&, const ImportResult&) = default;
};

enum class PasswordImportError {
  unreadable,
  empty,
  unrecognized,
  // The vault could not be read from the keyring, or is still being read.
  vaultUnavailable,
  // The keyring refused the merged vault; the vault is as it was before the import.
  notSaved,
};

// The error's text in the interface language of the moment.
std::string localizedDescription(PasswordImportError error);

// "%@ passwords imported" over the added and updated rows, or "All passwords are already saved".
std::string importHeadline(const ImportResult& result);
// The counts that are not 0, in the order new, updated, already saved, skipped, joined by " · ".
std::string importSummaryLine(const ImportResult& result);

// Larger files are refused as unreadable: a file this size holds far more logins than anyone
// keeps, and reading a huge file whole would take the memory and the main loop with it.
inline constexpr size_t kMaximumImportFileSize = size_t(64) << 20;

// How an import ended: the counts, or why nothing was imported.
struct ImportOutcome {
  std::optional<PasswordImportError> error;
  ImportResult result;
};

// The file's bytes as text: UTF-8 when they are valid UTF-8 (NUL characters included), else
// read as ISO Latin-1, which accepts any bytes.
std::string decodedCsvText(std::string_view bytes);

// The rows of a comma-separated text. Double quotes switch quoting on and off anywhere in a
// field and are not kept; two of them inside quotes stand for one. A line feed, a carriage return
// or both end a row outside quotes; a row of one empty field (an empty line) is dropped. Fields
// are kept as written; a quote left open takes the rest of the text. A quote or comma that a
// combining character joins is text, not punctuation.
std::vector<std::vector<std::string>> parseCSV(std::string_view text);

// A header cell as the columns are recognised by: trimmed of white space, line breaks, the
// byte-order mark and double quotes, then lower-cased.
std::string normalizedHeader(std::string_view cell);

// The leftmost of the normalised `headers` that equals one of `aliases`.
std::optional<size_t> columnIndex(std::span<const std::string_view> aliases,
                                  std::span<const std::string> headers);

// The header names each column is recognised by.
struct ImportColumnAliases {
  static const std::vector<std::string_view> url;
  static const std::vector<std::string_view> password;
  static const std::vector<std::string_view> username;
  static const std::vector<std::string_view> title;
  static const std::vector<std::string_view> notes;
};

// What importing a file does to a vault.
struct CsvMerge {
  ImportResult result;
  std::vector<Credential> credentials;  // the whole vault afterwards
};

// Merges the logins of a CSV file's bytes into `vault`: a row updates the first login of the
// same host and username, else it is appended. Rows see the logins of earlier rows. A site and
// its subdomains are different logins here, unlike for pages, where the user confirms each
// update: one file can hold both. Fails, leaving nothing merged, when the file has no header and
// data row, lacks the url or password column, or has no usable row.
std::variant<CsvMerge, PasswordImportError> mergeCsvLogins(std::string_view bytes,
                                                           std::vector<Credential> vault);

}  // namespace zemblo
