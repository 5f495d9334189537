#pragma once

namespace zemblo {

// The one isolated script world of all the browser's own page scripts and handlers. The page's
// scripts reach neither it nor its handlers; the scripts in it are all ours, so nothing is gained
// by keeping them apart, while every world a frame gets costs it a global object of its own in
// each document it loads.
inline constexpr const char* kPageScriptWorld = "Zemblo";

}  // namespace zemblo
