// What the fuzz targets share: the toolkit application on the offscreen
// platform, message boxes that answer at once, and a scratch file for the
// loaders that read from disk.
#pragma once

#include <QApplication>

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/color.h"
#include "platform/message_box.h"
#include "platform/toolkit_environment.h"

namespace kiv {
class THTMLViewer;
}

namespace kiv::fuzz {

// Boxes are answered with OK and nothing is shown or printed.
inline void SilenceMessageBoxes() {
  SetMessageBoxHandler([](const std::string&, const std::string&, int) { return IDOK; });
}

// A toolkit application for the rest of the process (a widget application:
// the viewer control's targets drive real widgets). It gets its own
// arguments: it must not take options out of the fuzzer's command line. It is
// never destroyed: its font caches must outlive every static of the toolkit
// (destroyed at exit, they are reported as leaks).
inline void StartToolkit() {
  PrepareToolkitEnvironment(true);
  static int argc = 1;
  static char name[] = "kiv_fuzz";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
  SilenceMessageBoxes();
}

// A file of this process in the temporary folder, removed at exit.
class ScratchFile {
 public:
  explicit ScratchFile(const char* suffix) {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir && *dir ? dir : "/tmp") + "/kiv_fuzz_XXXXXX" + suffix;
    const int fd =
        ::mkstemps(path_.data(), static_cast<int>(std::char_traits<char>::length(suffix)));
    if (fd < 0) {
      std::perror("kiv_fuzz: cannot make a scratch file");
      std::abort();
    }
    ::close(fd);
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& Path() const { return path_; }

  // Replaces the file's contents with the input.
  void Write(const std::uint8_t* data, std::size_t size) const {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size) || std::fclose(f) != 0) {
      std::perror("kiv_fuzz: cannot write the scratch file");
      std::abort();
    }
  }

 private:
  std::string path_;
};

// A folder of this process in the temporary folder, removed with what it
// holds at exit.
class ScratchFolder {
 public:
  ScratchFolder() {
    const char* dir = std::getenv("TMPDIR");
    path_ = std::string(dir && *dir ? dir : "/tmp") + "/kiv_fuzz_XXXXXX";
    if (!::mkdtemp(path_.data())) {
      std::perror("kiv_fuzz: cannot make a scratch folder");
      std::abort();
    }
  }
  ~ScratchFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// Reads the input from front to back; past its end every read gives 0.
class ByteReader {
 public:
  ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  bool AtEnd() const { return pos_ >= size_; }
  std::uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  int Word() { return Byte() | (Byte() << 8); }
  // The rest of the input, which is then used up.
  std::string Rest() {
    const std::size_t from = pos_ < size_ ? pos_ : size_;
    pos_ = size_;
    return std::string(reinterpret_cast<const char*>(data_ + from), size_ - from);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

// Pictures for the pages under test come from memory, never from the disk:
// a name starting with a to m has a small picture (a to f with white
// transparent), any other name is missing and shows the broken-image picture.
inline void SupplyImage(THTMLViewer*, const std::string& name, std::unique_ptr<Bitmap>& bitmap,
                        TColor& transparent) {
  if (name.empty()) return;
  const char c = name[0];
  if (c < 'a' || c > 'm') return;
  bitmap = Bitmap::CreateIndexed(3 + (c - 'a') * 3, 4 + (c - 'a'), {clRed, clWhite, clBlue});
  if (c <= 'f') transparent = clWhite;
}

}  // namespace kiv::fuzz
