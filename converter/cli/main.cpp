#include <iostream>
#include <string>
#include <vector>

#include "converter/cli/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return cli::runCommandLine(args, std::cout, std::cerr);
}
