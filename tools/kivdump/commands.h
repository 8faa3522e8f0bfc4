// The table of kivdump's commands. A command file defines its entry with
// KIVDUMP_COMMAND so that adding a command touches only its own file.
#pragma once

#include <QStringList>

#include <functional>
#include <vector>

namespace kiv::dump {

struct Command {
  const char* name;
  const char* summary;
  // Receives the program name followed by the command's own arguments.
  std::function<int(const QStringList&)> run;
};

std::vector<Command>& Commands();

struct Registration {
  Registration(const char* name, const char* summary, std::function<int(const QStringList&)> run) {
    Commands().push_back({name, summary, std::move(run)});
  }
};

}  // namespace kiv::dump

#define KIVDUMP_COMMAND(id, name, summary, fn) \
  static ::kiv::dump::Registration kivdump_registration_##id(name, summary, fn)
