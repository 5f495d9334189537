#include "model/password_import.h"

#include <glib.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <utility>

#include "model/host_rules.h"
#include "model/localization.h"
#include "platform/text.h"

namespace zemblo {

const std::vector<std::string_view> ImportColumnAliases::url = {
    "url",       "login_uri", "website",  "web site", "web_site",
    "login url", "origin",    "hostname", "address",  "site"};
const std::vector<std::string_view> ImportColumnAliases::password = {"password", "login_password",
                                                                     "pass"};
const std::vector<std::string_view> ImportColumnAliases::username = {
    "username", "login_username", "user name", "user", "login", "email", "e-mail", "login name"};
const std::vector<std::string_view> ImportColumnAliases::title = {"name", "title"};
const std::vector<std::string_view> ImportColumnAliases::notes = {"note", "notes", "extra",
                                                                  "comments"};

namespace {

std::string latin1ToUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 8);
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (c < 0x80) {
      text += byte;
    } else {
      text += static_cast<char>(0xC0 | (c >> 6));
      text += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return text;
}

// Whether the character at `position` stands on its own rather than joining the one before it.
bool startsCharacter(std::string_view text, size_t position) {
  if (position >= text.size()) return true;
  if (static_cast<unsigned char>(text[position]) < 0x80) return true;
  const gunichar c =
      g_utf8_get_char_validated(text.data() + position, gssize(text.size() - position));
  return c >= 0x110000 || !extendsPreviousCharacter(c);
}

std::string trimmed(std::string_view text) {
  return std::string(trimmedWhitespaceAndNewlines(text));
}

// "scheme://" at the start of `text`.
bool startsWithScheme(std::string_view text) {
  const size_t separator = text.find("://");
  if (separator == 0 || separator == std::string_view::npos) return false;
  if (!g_ascii_isalpha(text[0])) return false;
  return std::all_of(text.begin(), text.begin() + separator,
                     [](char c) { return g_ascii_isalnum(c) || c == '+' || c == '-' || c == '.'; });
}

// Some password managers export every address of a login into one cell, separated by commas or
// line breaks; the first one is the login's. A comma inside a single address stays.
std::string_view firstAddress(std::string_view cell) {
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] != ',' && cell[i] != '\n' && cell[i] != '\r') continue;
    const std::string_view rest = trimmedWhitespaceAndNewlines(cell.substr(i + 1));
    if (!startsWithScheme(rest)) continue;
    const std::string_view first = trimmedWhitespaceAndNewlines(cell.substr(0, i));
    return first.empty() ? firstAddress(rest) : first;
  }
  return cell;
}

// Whether an address can belong to a login: a web page's, or a bare host.
bool isWebAddress(std::string_view url) {
  const size_t separator = url.find("://");
  if (separator == std::string_view::npos) return !url.empty();
  const std::string scheme = asciiLowercased(url.substr(0, separator));
  return scheme == "http" || scheme == "https";
}

std::string loginKey(std::string_view host, std::string_view username) {
  std::string key;
  key.reserve(host.size() + username.size() + 1);
  key.append(host).append(1, '\0').append(username);
  return key;
}

}  // namespace

std::string localizedDescription(PasswordImportError error) {
  switch (error) {
    case PasswordImportError::unreadable:
      return localized("Dosya okunamadı. UTF-8 biçiminde bir CSV dosyası olduğundan emin ol.");
    case PasswordImportError::empty:
      return localized("Dosyada içe aktarılacak şifre bulunamadı.");
    case PasswordImportError::unrecognized:
      return localized(
          "Bu CSV biçimi tanınmadı. Dosyada url, username ve password sütunları olmalı.");
    case PasswordImportError::vaultUnavailable:
      return localized("Anahtarlığa erişilemedi. Oturumunun kilidini açıp tekrar dene.");
    case PasswordImportError::notSaved:
      return localized("Şifreler anahtarlığa kaydedilemedi. Hiçbir şey içe aktarılmadı.");
  }
  return {};
}

std::string importHeadline(const ImportResult& result) {
  const int imported = result.added + result.updated;
  if (imported > 0) return localized("%@ şifre içe aktarıldı", imported);
  return localized("Tüm şifreler zaten kayıtlı");
}

std::string importSummaryLine(const ImportResult& result) {
  const std::pair<const char*, int> parts[] = {{"%@ yeni", result.added},
                                               {"%@ güncellendi", result.updated},
                                               {"%@ zaten vardı", result.unchanged},
                                               {"%@ atlandı", result.skipped}};
  std::string line;
  for (const auto& [text, count] : parts) {
    if (count <= 0) continue;
    if (!line.empty()) line += " · ";
    line += localized(text, count);
  }
  return line;
}

std::string decodedCsvText(std::string_view bytes) {
  return isValidUtf8(bytes) ? std::string(bytes) : latin1ToUtf8(bytes);
}

std::vector<std::vector<std::string>> parseCSV(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  bool quoted = false;
  size_t i = 0;
  const size_t n = text.size();
  // Runs of ordinary text are copied whole; only the four punctuation bytes are looked at one by
  // one, which keeps large files fast.
  while (i < n) {
    if (quoted) {
      const size_t quote = text.find('"', i);
      if (quote == std::string_view::npos) {
        field.append(text.substr(i));
        break;
      }
      field.append(text.substr(i, quote - i));
      i = quote + 1;
      if (!startsCharacter(text, i)) {
        field += '"';
      } else if (i < n && text[i] == '"' && startsCharacter(text, i + 1)) {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    const size_t special = text.find_first_of("\",\r\n", i);
    if (special == std::string_view::npos) {
      field.append(text.substr(i));
      break;
    }
    field.append(text.substr(i, special - i));
    const char c = text[special];
    i = special + 1;
    if (c == '"' || c == ',') {
      if (!startsCharacter(text, i)) {
        field += c;
      } else if (c == '"') {
        quoted = true;
      } else {
        row.push_back(std::exchange(field, {}));
      }
      continue;
    }
    if (c == '\r' && i < n && text[i] == '\n') ++i;
    row.push_back(std::exchange(field, {}));
    if (row.size() != 1 || !row.front().empty()) rows.push_back(std::move(row));
    row.clear();
  }
  if (!field.empty() || !row.empty()) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string normalizedHeader(std::string_view cell) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  for (;;) {
    const std::string_view before = cell;
    cell = trimmedWhitespaceAndNewlines(cell);
    if (cell.starts_with(kByteOrderMark)) cell.remove_prefix(kByteOrderMark.size());
    if (cell.ends_with(kByteOrderMark)) cell.remove_suffix(kByteOrderMark.size());
    if (cell.starts_with('"')) cell.remove_prefix(1);
    if (cell.ends_with('"')) cell.remove_suffix(1);
    if (cell.size() == before.size()) break;
  }
  return unicodeLowercased(cell);
}

std::optional<size_t> columnIndex(std::span<const std::string_view> aliases,
                                  std::span<const std::string> headers) {
  for (size_t i = 0; i < headers.size(); ++i) {
    if (std::find(aliases.begin(), aliases.end(), headers[i]) != aliases.end()) return i;
  }
  return std::nullopt;
}

std::variant<CsvMerge, PasswordImportError> mergeCsvLogins(std::string_view bytes,
                                                           std::vector<Credential> vault) {
  const std::vector<std::vector<std::string>> rows = parseCSV(decodedCsvText(bytes));
  if (rows.size() < 2) return PasswordImportError::empty;

  std::vector<std::string> headers;
  for (const std::string& cell : rows.front()) headers.push_back(normalizedHeader(cell));
  const auto urlColumn = columnIndex(ImportColumnAliases::url, headers);
  const auto passwordColumn = columnIndex(ImportColumnAliases::password, headers);
  if (!urlColumn || !passwordColumn) return PasswordImportError::unrecognized;
  const auto titleColumn = columnIndex(ImportColumnAliases::title, headers);
  const auto notesColumn = columnIndex(ImportColumnAliases::notes, headers);
  // Every username column, leftmost first: some exports put an often empty "email" column before
  // "username", and a row takes the first of them that holds a name.
  std::vector<size_t> usernameColumns;
  for (size_t i = 0; i < headers.size(); ++i) {
    const auto& aliases = ImportColumnAliases::username;
    if (std::find(aliases.begin(), aliases.end(), headers[i]) != aliases.end()) {
      usernameColumns.push_back(i);
    }
  }

  // The first login of each host and username, so that a large file is not a search of the
  // whole vault per row.
  std::unordered_map<std::string, size_t> firstLogin;
  firstLogin.reserve(vault.size() + rows.size());
  for (size_t i = 0; i < vault.size(); ++i) {
    firstLogin.try_emplace(loginKey(vault[i].host, vault[i].username), i);
  }

  ImportResult result;
  for (auto row = rows.begin() + 1; row != rows.end(); ++row) {
    const auto cell = [&](std::optional<size_t> column) -> std::string_view {
      if (!column || *column >= row->size()) return {};
      return (*row)[*column];
    };
    const std::string url = trimmed(firstAddress(trimmedWhitespaceAndNewlines(cell(urlColumn))));
    const std::string_view password = cell(passwordColumn);
    if (password.empty() || !isWebAddress(url)) {
      ++result.skipped;
      continue;
    }
    const std::optional<std::string> host = normalizedHost(url);
    if (!host) {
      ++result.skipped;
      continue;
    }
    std::string username;
    for (const size_t column : usernameColumns) {
      username = trimmed(cell(column));
      if (!username.empty()) break;
    }
    const std::string notes = trimmed(cell(notesColumn));

    const auto [found, isNew] = firstLogin.try_emplace(loginKey(*host, username), vault.size());
    if (!isNew) {
      Credential& saved = vault[found->second];
      if (saved.password == password) {
        ++result.unchanged;
        continue;
      }
      saved.password = std::string(password);
      saved.modified = Date::now();
      if (saved.notes.empty()) saved.notes = notes;
      ++result.updated;
      continue;
    }
    Credential added;
    added.host = *host;
    added.url = url;
    added.username = std::move(username);
    added.password = std::string(password);
    added.title = trimmed(cell(titleColumn));
    added.notes = notes;
    added.created = Date::now();
    added.modified = Date::now();
    vault.push_back(std::move(added));
    ++result.added;
  }
  if (result.added + result.updated + result.unchanged == 0) return PasswordImportError::empty;
  return CsvMerge{result, std::move(vault)};
}

}  // namespace zemblo
