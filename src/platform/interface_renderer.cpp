#include "platform/interface_renderer.h"

#include <glib.h>

#include <array>
#include <cstdlib>
#include <string>
#include <system_error>

namespace zemblo::interface_renderer {
namespace {

// Mesa's own reading of a boolean variable.
bool isTrue(std::string_view value) {
  const std::string text(value);
  for (const char* yes : {"1", "true", "y", "yes"}) {
    if (g_ascii_strcasecmp(text.c_str(), yes) == 0) return true;
  }
  return false;
}

bool forcesSoftwareRasterizer(const Lookup& variable) {
  if (const auto always = variable("LIBGL_ALWAYS_SOFTWARE"); always && isTrue(*always)) {
    return true;
  }
  constexpr std::array<std::string_view, 3> kSoftwareDrivers = {"llvmpipe", "softpipe", "swr"};
  const auto driver = variable("GALLIUM_DRIVER");
  if (!driver) return false;
  for (const auto software : kSoftwareDrivers) {
    if (*driver == software) return true;
  }
  return false;
}

std::optional<std::string_view> processEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (!value) return std::nullopt;
  return std::string_view(value);
}

}  // namespace

bool softwareOnlyGL(const Lookup& variable, bool hasRenderNode) {
  return !hasRenderNode || forcesSoftwareRasterizer(variable);
}

namespace {

// The interface renderer and every web engine ask; the folder is listed once per process.
bool processHasRenderNode() {
  static const bool found = hasRenderNode();
  return found;
}

}  // namespace

bool softwareOnlyGL() { return softwareOnlyGL(processEnvironment, processHasRenderNode()); }

std::optional<std::string_view> choose(const Lookup& variable, bool hasRenderNode) {
  if (const auto chosen = variable(kVariable); chosen && !chosen->empty()) return std::nullopt;
  if (softwareOnlyGL(variable, hasRenderNode)) return kSoftwareRenderer;
  return std::nullopt;
}

bool hasRenderNode(const std::filesystem::path& folder) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->path().filename().string().starts_with("renderD")) return true;
  }
  return false;
}

void applyToProcess() {
  if (const auto renderer = choose(processEnvironment, processHasRenderNode())) {
    setenv(kVariable, std::string(*renderer).c_str(), 1);
  }
}

}  // namespace zemblo::interface_renderer
