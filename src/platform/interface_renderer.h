#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

// The toolkit's renderer for the interface. GL is the toolkit's default, and on a GPU it is the
// fastest; on software-only GL (no GPU render node, or Mesa told to rasterise on the CPU) every
// shader program of the interface is compiled by LLVM and every frame is drawn by CPU threads,
// which costs seconds at start-up and tens of megabytes. There the cairo renderer draws the same
// interface for a fraction of that, and the web engine composites pages on the CPU too.
namespace zemblo::interface_renderer {

// Looks up an environment variable; none when it is not set.
using Lookup = std::function<std::optional<std::string_view>(const char* name)>;

// The environment variable the toolkit reads; a value the user set always wins.
inline constexpr const char* kVariable = "GSK_RENDERER";
inline constexpr std::string_view kSoftwareRenderer = "cairo";

// Whether GL is rasterised by the CPU: no GPU render node, or Mesa told to use a software driver.
bool softwareOnlyGL(const Lookup& variable, bool hasRenderNode);
// The same for this process's environment and devices.
bool softwareOnlyGL();

// The renderer to ask for, or none to leave the toolkit's own choice.
std::optional<std::string_view> choose(const Lookup& variable, bool hasRenderNode);

// Whether `folder` holds a GPU render node ("renderD128", ...).
bool hasRenderNode(const std::filesystem::path& folder = "/dev/dri");

// Sets the variable for this process from the real environment and devices; call before the
// toolkit starts.
void applyToProcess();

}  // namespace zemblo::interface_renderer
