// Compiles content-rule lists into the engine's store:
//   zemblo-compile-rules RULES FOLDER [IDENTIFIER]
// RULES is a file, or "-" for standard input; IDENTIFIER is by default the one the browser looks
// up for these bytes. The build runs it on the generated rule file, and the browser on a list it
// finds missing from every store. On failure it writes the engine's description of it to standard
// output and exits with 1. It needs no display.
#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "model/ad_blocker.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "web/content_rule_compiler.h"

namespace {

std::optional<std::string> readRules(const std::string& source) {
  if (source != "-") return zemblo::paths::readFile(source);
  std::string text((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
  if (std::cin.bad()) return std::nullopt;
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  // A helper of the browser goes with it.
  prctl(PR_SET_PDEATHSIG, SIGTERM);
  if (argc < 3 || argc > 4) {
    std::cerr << "usage: " << argv[0] << " RULES FOLDER [IDENTIFIER]\n";
    return 2;
  }
  const auto bytes = readRules(argv[1]);
  if (!bytes) {
    std::cout << "The rules could not be read.\n";
    return 1;
  }
  const std::string identifier =
      argc == 4 ? argv[3] : zemblo::AdBlocker::ruleListIdentifier(*bytes);
  const auto error =
      zemblo::content_rule_compiler::compileHere(argv[2], identifier, zemblo::validUtf8(*bytes));
  if (error) {
    std::cout << *error << '\n';
    return 1;
  }
  return 0;
}
