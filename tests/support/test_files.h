// Helpers shared by the test suites: temporary folders and files, and the
// record of message boxes shown.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kiv::testing {

// A fresh folder removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  // Path of a file inside the folder.
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to a file inside the folder (creating sub-folders) and returns its path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);

// A help package of the named entries in order: index, "******" line, bytes.
std::string MakePackage(const std::vector<std::pair<std::string, std::string>>& entries);

// Message boxes shown since the last call of TakeMessageBoxes.
int RecordingMessageBox(const std::string& text, const std::string& caption, int buttons);
std::vector<std::string> TakeMessageBoxes();

}  // namespace kiv::testing
