#pragma once

#include <string>
#include <vector>

namespace zemblo::testing {

// Every critical logged in this process until now, as "domain: message". A critical means the
// program broke a toolkit's rule even where it went on working, so the walks over what the user
// meets fail on any.
std::vector<std::string> loggedCriticals();

// Called once, first thing in every test program.
void recordCriticals();

}  // namespace zemblo::testing
