#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zemblo {

// A UUID in its canonical upper-case 8-4-4-4-12 form, which is how the session files store it.
class Uuid {
 public:
  // The nil UUID (all zeros); a placeholder until a real identifier is assigned.
  Uuid() : text_("00000000-0000-0000-0000-000000000000") {}
  static Uuid random();
  // Accepts either case; rejects anything that is not a 36-character canonical UUID.
  static std::optional<Uuid> parse(std::string_view text);

  const std::string& str() const { return text_; }

  friend bool operator==(const Uuid&, const Uuid&) = default;
  friend auto operator<=>(const Uuid&, const Uuid&) = default;

 private:
  explicit Uuid(std::string text) : text_(std::move(text)) {}
  std::string text_;
};

}  // namespace zemblo

template <>
struct std::hash<zemblo::Uuid> {
  size_t operator()(const zemblo::Uuid& id) const noexcept {
    return std::hash<std::string>{}(id.str());
  }
};
