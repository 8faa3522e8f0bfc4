#include "kivdump/commands.h"

namespace kiv::dump {

std::vector<Command>& Commands() {
  static std::vector<Command> commands;
  return commands;
}

}  // namespace kiv::dump
