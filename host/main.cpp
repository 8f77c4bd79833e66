#include <iostream>

#include "host/app.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    return romhost::runRomhost(args, std::cout, std::cerr);
  } catch (const std::exception& e) {
    std::cerr << "romhost: internal error: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "romhost: internal error\n";
  }
  return 1;
}
