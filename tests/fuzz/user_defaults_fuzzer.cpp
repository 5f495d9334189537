#include <glib.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "fuzz_check.h"
#include "platform/foundation_json.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "platform/user_defaults.h"

namespace {

// Bad input is logged as a warning by design; thousands of them a second would drown the
// fuzzer's own report.
void silenceWarnings() {
  g_log_set_handler(
      "Zemblo", G_LOG_LEVEL_WARNING, [](const char*, GLogLevelFlags, const char*, gpointer) {},
      nullptr);
}

// One private folder for the run, in memory where there is such a folder: every input is written
// and rewritten, and atomic writes flush to disk.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::error_code error;
    const bool inMemory = std::filesystem::is_directory("/dev/shm", error);
    const std::string pattern =
        (inMemory ? std::filesystem::path("/dev/shm") : std::filesystem::path(g_get_tmp_dir())) /
        "zemblo-defaults-fuzz-XXXXXX";
    char* made = g_mkdtemp(g_strdup(pattern.c_str()));
    FUZZ_CHECK(made);
    path_ = made;
    g_free(made);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zemblo;
  static const ScratchFolder folder;
  static const bool silenced = (silenceWarnings(), true);
  (void)silenced;
  const auto file = folder.path() / "user-defaults.json";
  std::error_code ignored;
  std::filesystem::remove(std::filesystem::path(file) += ".bad", ignored);
  FUZZ_CHECK(paths::writeFileAtomically(file, fuzz::text(data, size)));

  UserDefaults defaults(file);
  // Text that is not UTF-8 is repaired rather than the whole file dropped.
  auto document = json::parse(fuzz::text(data, size));
  if (!document || !document->is_object())
    document = json::parse(validUtf8(fuzz::text(data, size)));
  const bool usable = document && document->is_object();
  FUZZ_CHECK(defaults.foundUnreadableFile() == !usable);
  if (!usable) return 0;

  // One change rewrites the whole file: every other value reads back as it did.
  constexpr const char* kWritten = "fuzz.written";
  defaults.setBool(kWritten, true);
  defaults.flush();
  const UserDefaults reread(file);
  FUZZ_CHECK(!reread.foundUnreadableFile());
  FUZZ_CHECK(reread.boolValue(kWritten) == true);
  for (const auto& [key, value] : document->items()) {
    if (key == kWritten) continue;
    FUZZ_CHECK(reread.contains(key));
    FUZZ_CHECK(reread.boolValue(key) == defaults.boolValue(key));
    FUZZ_CHECK(reread.stringValue(key) == defaults.stringValue(key));
    FUZZ_CHECK(reread.stringArray(key) == defaults.stringArray(key));
  }
  return 0;
}
