// A page on disk read as `kivpack build` would pack it, so that a preview
// shows what the reader will see: converted to the code page that holds its
// characters (with the closest text for the others when substitution is
// asked for), and with a package, its pictures named as the package names
// their converted forms.
#pragma once

#include <QString>

#include <string>
#include <vector>

namespace kiv::dump {

struct PackedPageOptions {
  bool substitute = false;  // as kivpack build --substitute
  std::string package;      // the help package the page's pictures come from
};

struct PackedPage {
  std::string bytes;                  // the page as packed
  bool changed = false;               // bytes differ from the file's
  std::vector<std::string> notes;     // what packing did to it
  std::vector<std::string> problems;  // why kivpack build would refuse it
  std::string error;                  // the file cannot be read
};

PackedPage ReadPageAsPacked(const QString& path, const PackedPageOptions& options);

// Writes notes and problems to standard error, each after "kivdump COMMAND: ";
// true when the page can be shown (no problem, no error).
bool ReportPackedPage(const PackedPage& page, const char* command);

}  // namespace kiv::dump
