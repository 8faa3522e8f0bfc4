#include "support/test_files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "platform/message_box.h"

namespace kiv::testing {

namespace fs = std::filesystem;

namespace {

std::vector<std::string>& Boxes() {
  static std::vector<std::string> boxes;
  return boxes;
}

}  // namespace

TempDir::TempDir() {
  std::random_device rd;
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path p = fs::temp_directory_path() / ("kivtest-" + std::to_string(rd()));
    if (fs::create_directory(p)) {
      path_ = p.string();
      return;
    }
  }
  throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
  fs::path p = fs::path(path_) / name;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

int RecordingMessageBox(const std::string& text, const std::string&, int) {
  Boxes().push_back(text);
  return IDOK;
}

std::vector<std::string> TakeMessageBoxes() {
  std::vector<std::string> out;
  out.swap(Boxes());
  return out;
}

std::string MakePackage(const std::vector<std::pair<std::string, std::string>>& entries) {
  // The base is written with a fixed width, so the index length is known
  // before the base is.
  std::string lines;
  std::size_t offset = 0;
  for (const auto& [name, bytes] : entries) {
    lines += name + "," + std::to_string(offset) + "\r\n";
    offset += bytes.size();
  }
  lines += "******," + std::to_string(offset) + "\r\n";
  const std::size_t base = 18 + lines.size();  // 18: "START,0000000000\r\n"
  char start[32];
  std::snprintf(start, sizeof start, "START,%010zu\r\n", base);
  std::string package = start + lines;
  for (const auto& entry : entries) package += entry.second;
  return package;
}

}  // namespace kiv::testing
