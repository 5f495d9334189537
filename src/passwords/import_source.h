#pragma once

#include <array>
#include <string>
#include <vector>

namespace zemblo {

// Where the user exports passwords from, with the steps that export them as CSV.
enum class ImportSource { chrome, safari, firefox, edge, brave, other };

inline constexpr std::array<ImportSource, 6> kImportSources = {
    ImportSource::chrome, ImportSource::safari, ImportSource::firefox,
    ImportSource::edge,   ImportSource::brave,  ImportSource::other};

// The name shown in the source picker; browser names stand as they are.
std::string importSourceTitle(ImportSource source);
// Three steps, in the interface language of the moment.
std::vector<std::string> importSourceSteps(ImportSource source);

}  // namespace zemblo
