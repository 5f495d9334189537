#pragma once

// The memory of this process and of every process it started (the engine's web and network
// processes), read from /proc, by the kind of process.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace zemblo::bench {

// Kilobytes of proportional set size, by the kind of process, and of what no other process on
// the machine shares (private). The proportional size of the libraries' pages falls and rises
// as other programs using them start and end; the private size is this tree's own, but its
// libraries' pages in it also come and go with other programs. What the processes wrote (private
// dirty: their heaps, stacks and other anonymous memory) is theirs alone and stays until they free
// it.
struct Footprint {
  std::map<std::string, double> kilobytes;
  std::map<std::string, int> processes;
  std::map<std::string, double> writtenKilobytes;
  double privateKilobytes = 0;
  double written() const {
    double sum = 0;
    for (const auto& [kind, kb] : writtenKilobytes) sum += kb;
    return sum;
  }
  double total() const {
    double sum = 0;
    for (const auto& [kind, kb] : kilobytes) sum += kb;
    return sum;
  }
};

inline std::string processName(int pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name;
}

inline int parentOf(int pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream rest(text.substr(close + 2));
  std::string state;
  int parent = -1;
  rest >> state >> parent;
  return parent;
}

struct Sizes {
  double pss = 0, uss = 0, written = 0;
};

inline Sizes sizesOf(int pid) {
  std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
  std::string line;
  Sizes sizes;
  while (std::getline(rollup, line)) {
    const auto colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = line.substr(0, colon);
    const double kb = std::atof(line.c_str() + colon + 1);
    if (key == "Pss") sizes.pss = kb;
    if (key == "Private_Clean" || key == "Private_Dirty") sizes.uss += kb;
    if (key == "Private_Dirty" || key == "Swap") sizes.written += kb;
  }
  return sizes;
}

// This process and every process below it.
inline Footprint footprint() {
  std::map<int, int> parents;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string name = entry.path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const int pid = std::atoi(name.c_str());
    parents[pid] = parentOf(pid);
  }
  std::vector<int> tree{int(getpid())};
  for (size_t i = 0; i < tree.size(); ++i) {
    for (const auto& [pid, parent] : parents) {
      if (parent == tree[i]) tree.push_back(pid);
    }
  }
  Footprint result;
  for (int pid : tree) {
    const Sizes sizes = sizesOf(pid);
    if (sizes.pss <= 0) continue;
    const std::string kind = pid == getpid() ? "browser" : processName(pid);
    result.kilobytes[kind] += sizes.pss;
    result.processes[kind] += 1;
    result.privateKilobytes += sizes.uss;
    result.writtenKilobytes[kind] += sizes.written;
  }
  return result;
}

inline void printFootprint(const char* when, const Footprint& f, const Footprint& base,
                           int closed) {
  std::printf("%-10s PSS %6.1f MB", when, f.total() / 1024);
  if (closed > 0) std::printf(" %+6.3f MB a tab", (f.total() - base.total()) / 1024 / closed);
  std::printf(", private %6.1f MB", f.privateKilobytes / 1024);
  if (closed > 0) {
    std::printf(" %+6.3f MB a tab", (f.privateKilobytes - base.privateKilobytes) / 1024 / closed);
  }
  for (const auto& [kind, kb] : f.kilobytes) {
    std::printf("  %s×%d %.1f", kind.c_str(), f.processes.at(kind), kb / 1024);
  }
  std::printf("\n");
  std::fflush(stdout);
}

}  // namespace zemblo::bench
