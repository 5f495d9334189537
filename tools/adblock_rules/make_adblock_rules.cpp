// Builds the browser's content-blocker rule file from ad-block filter lists:
//   make-adblock-rules OUTPUT.json LIST.txt...
// and prints how many filters of each list it kept.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "filter_rule_converter.h"

namespace {

std::optional<std::string> readAll(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool writeAll(const std::filesystem::path& file, const std::string& text) {
  // Renamed into place, so a failed run never leaves half a file for the next build step.
  const std::filesystem::path partial = file.string() + ".partial";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!(out << text) || !out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, file, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: " << argv[0] << " OUTPUT.json LIST.txt...\n";
    return 2;
  }
  const std::filesystem::path output = argv[1];
  zemblo::filter_rules::RuleListBuilder builder;
  for (int i = 2; i < argc; ++i) {
    const std::filesystem::path list = argv[i];
    const auto text = readAll(list);
    if (!text) {
      std::cerr << "cannot read " << list << "\n";
      return 1;
    }
    const auto stats = builder.addList(*text);
    std::cout << "AdBlockRules: " << list.filename().string() << ": kept " << stats.kept << " of "
              << stats.filters << " filters, " << stats.rules << " rules\n";
  }
  if (const size_t dropped = builder.limitTo(zemblo::filter_rules::kEngineRuleLimit)) {
    std::cout << "AdBlockRules: " << dropped << " block rules dropped to stay within the engine's "
              << zemblo::filter_rules::kEngineRuleLimit << " rules\n";
  }
  std::cout << "AdBlockRules: " << builder.ruleCount() << " rules in total\n";
  if (builder.ruleCount() == 0) {
    std::cerr << "no rule could be converted\n";
    return 1;
  }
  std::error_code ignored;
  std::filesystem::create_directories(output.parent_path(), ignored);
  if (!writeAll(output, builder.json())) {
    std::cerr << "cannot write " << output << "\n";
    return 1;
  }
  return 0;
}
