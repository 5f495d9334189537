#pragma once

#include <string>
#include <vector>

namespace zemblo {

// The command line as the application is given it. Each argument that is no option names what
// to open: a web address or file URL as written, or a path, which becomes a file URL here, in the
// process the user started, against its own working folder (the browser that opens it may run
// elsewhere). Options go on unchanged; after "--" every argument is an address.
class LaunchArguments {
 public:
  LaunchArguments(int argc, char** argv);

  // The arguments naming nothing the browser opens, as given.
  const std::vector<std::string>& refused() const { return refused_; }
  // The addresses among them, as URLs, in the order given.
  const std::vector<std::string>& addresses() const { return addresses_; }
  // Tells the user on the error output, in the interface language, which arguments were refused.
  void reportRefused() const;

  // The program's name, the options and the addresses, for the application to run with; valid
  // while this object is.
  int count() const { return int(pointers_.size()) - 1; }
  char** values() { return pointers_.data(); }

 private:
  std::vector<std::string> arguments_;
  std::vector<char*> pointers_;
  std::vector<std::string> refused_;
  std::vector<std::string> addresses_;
};

}  // namespace zemblo
