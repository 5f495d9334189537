#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/child_process.h"

namespace zemblo::testing {

// The local site of site_data_server.py, on a free port of 127.0.0.1, with the lines it logs of
// what it saw.
class SiteServer {
 public:
  explicit SiteServer(std::filesystem::path log)
      : log_(std::move(log)), process_({"python3", ZEMBLO_SITE_DATA_SERVER, log_.string()}, &out_) {
    // The whole line: the number and the line's end may come apart.
    std::string port;
    for (char c = 0; port.find('\n') == std::string::npos && read(out_, &c, 1) == 1;) port += c;
    close(out_);
    if (port.find('\n') != std::string::npos) port_ = std::stoi(port);
  }

  bool started() const { return port_ > 0; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::vector<std::string> lines() const {
    std::ifstream in(log_);
    std::vector<std::string> all;
    for (std::string line; std::getline(in, line);) all.push_back(line);
    return all;
  }
  // The lines that start with `prefix`, in order.
  std::vector<std::string> linesStarting(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : lines()) {
      if (line.rfind(prefix, 0) == 0) found.push_back(line);
    }
    return found;
  }

 private:
  std::filesystem::path log_;
  int out_ = -1;
  ChildProcess process_;
  int port_ = 0;
};

}  // namespace zemblo::testing
