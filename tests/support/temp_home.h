#pragma once

#include <filesystem>
#include <string>

namespace zemblo::testing {

// Points HOME and the XDG folders at a fresh temporary directory for the life of the object and
// restores the previous values afterwards, so tests never touch the real user's files. The
// directory itself is removed when the test program ends.
class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::filesystem::path& root() const { return root_; }
  std::filesystem::path dataDir() const { return root_ / "data" / "Zemblo Browser"; }
  std::filesystem::path configDir() const { return root_ / "config" / "Zemblo Browser"; }

  // Writes a file below the root, creating folders on the way.
  void writeFile(const std::filesystem::path& file, const std::string& contents) const;
  std::string readFile(const std::filesystem::path& file) const;

 private:
  std::filesystem::path root_;
  std::string savedHome_, savedData_, savedConfig_, savedCache_;
};

}  // namespace zemblo::testing
