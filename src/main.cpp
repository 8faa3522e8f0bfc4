// KivHelp: the help viewer's entry point.
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--has-window") == 0) return 1;
  }
  std::cerr << "kivhelp: the help window is not built yet; use kivpack to inspect a package\n";
  return 1;
}
