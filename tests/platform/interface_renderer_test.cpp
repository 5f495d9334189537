#include "platform/interface_renderer.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/temp_home.h"

namespace zemblo {
namespace {

using Environment = std::map<std::string, std::string>;

interface_renderer::Lookup lookupIn(const Environment& environment) {
  return [&environment](const char* name) -> std::optional<std::string_view> {
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return std::string_view(found->second);
  };
}

std::optional<std::string_view> chosen(const Environment& environment, bool hasRenderNode) {
  // Pages go to the CPU exactly where the interface does, unless the user chose a renderer.
  if (!environment.contains("GSK_RENDERER")) {
    EXPECT_EQ(interface_renderer::softwareOnlyGL(lookupIn(environment), hasRenderNode),
              interface_renderer::choose(lookupIn(environment), hasRenderNode).has_value());
  }
  return interface_renderer::choose(lookupIn(environment), hasRenderNode);
}

TEST(InterfaceRenderer, CairoOnlyWhereGlIsRasterisedByTheCpuAndTheUserChoseNothing) {
  EXPECT_EQ(chosen({}, false), "cairo");
  EXPECT_EQ(chosen({}, true), std::nullopt);
  EXPECT_EQ(chosen({{"LIBGL_ALWAYS_SOFTWARE", "true"}}, true), "cairo");
  EXPECT_EQ(chosen({{"LIBGL_ALWAYS_SOFTWARE", "0"}}, true), std::nullopt);
  EXPECT_EQ(chosen({{"GALLIUM_DRIVER", "llvmpipe"}}, true), "cairo");
  EXPECT_EQ(chosen({{"GALLIUM_DRIVER", "radeonsi"}}, true), std::nullopt);
  // The user's own choice stands, whatever the machine.
  EXPECT_EQ(chosen({{"GSK_RENDERER", "gl"}}, false), std::nullopt);
  EXPECT_TRUE(interface_renderer::softwareOnlyGL(lookupIn({{"GSK_RENDERER", "gl"}}), false));
  EXPECT_EQ(chosen({{"GSK_RENDERER", "ngl"}, {"LIBGL_ALWAYS_SOFTWARE", "1"}}, true), std::nullopt);
  // An empty value is no choice.
  EXPECT_EQ(chosen({{"GSK_RENDERER", ""}}, false), "cairo");
}

TEST(InterfaceRenderer, FindsRenderNodesOnlyByTheirName) {
  testing::TempHome home;
  const auto dri = home.root() / "dri";
  EXPECT_FALSE(interface_renderer::hasRenderNode(dri));  // no folder at all
  home.writeFile(dri / "card0", "");
  EXPECT_FALSE(interface_renderer::hasRenderNode(dri));  // a display card is no render node
  home.writeFile(dri / "renderD128", "");
  EXPECT_TRUE(interface_renderer::hasRenderNode(dri));
}

}  // namespace
}  // namespace zemblo
