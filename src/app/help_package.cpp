#include "app/help_package.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

#include "app/package_index_reader.h"
#include "app/string_helpers.h"
#include "platform/file_error.h"
#include "platform/paths.h"
#include "platform/safe_file.h"

namespace kiv {

namespace {

// A start-up file is recognised by its name after any folder, whichever
// separator the host used.
bool IsStartupFile(const std::string& fileName) {
  std::string upper = UpperText(fileName);
  std::size_t sep = upper.find_last_of("\\:/");
  return (sep == std::string::npos ? upper : upper.substr(sep + 1)) == "STARTUP.HTML";
}

// Reads up to want bytes (fewer at the end of the file). The page buffer is
// only replaced once the whole read has succeeded, so a failed read leaves
// the page that is shown intact.
std::vector<char> ReadBytes(std::FILE* f, std::size_t want, const std::string& name) {
  std::vector<char> bytes(std::min<std::size_t>(want, PageBufferSize));
  std::size_t n = std::fread(bytes.data(), 1, bytes.size(), f);
  if (std::ferror(f)) throw EInOutError("Read error in file: " + name);
  bytes.resize(n);
  return bytes;
}

// The name after the last backslash or colon. "/" is not a separator here:
// package names use it for their own folders ("images/logo.gif").
std::string FileNamePart(const std::string& fileName) {
  std::size_t sep = fileName.find_last_of("\\:");
  return sep == std::string::npos ? fileName : fileName.substr(sep + 1);
}

// An index line's first field (up to its comma) without the blanks around
// it, as CsvField reads it.
std::string_view NameField(std::string_view line) {
  std::string_view f = line.substr(0, line.find(','));
  const std::size_t b = f.find_first_not_of(' ');
  if (b == std::string_view::npos) return {};
  return f.substr(b, f.find_last_not_of(' ') - b + 1);
}

// field, in capitals, equals upper (which is in capitals already).
bool SameUpperName(std::string_view field, std::string_view upper) {
  if (field.size() != upper.size()) return false;
  for (std::size_t i = 0; i < field.size(); ++i) {
    char c = field[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != upper[i]) return false;
  }
  return true;
}

}  // namespace

std::string DefaultPackagePath() {
  return ExeDir() + "\\kivmap.hpm";
}

void FindPackageEntry(const std::string& packagePath, const std::string& name, std::int32_t& start,
                      std::int32_t& end) {
  start = -1;
  end = PageBufferSize;
  std::int32_t base = 0;
  const std::string wanted = UpperText(name);
  PackageFileHandle file(NativePath(packagePath));
  if (!file.get()) throw CantLocateFile(packagePath);
  IndexLineReader reader(file.get());
  std::string line;
  while (reader.Next(line)) {
    if (line.compare(0, 6, "******") == 0) break;
    // The name field is compared in place: a lookup passes every line of a
    // large index, so it must not copy each name.
    const std::string_view f1 = NameField(line);
    if (SameUpperName(f1, "START")) base = CsvIntField(line, 2, 0);
    if (!SameUpperName(f1, wanted)) continue;
    start = AddOffsets(CsvIntField(line, 2, -1), base);
    if (reader.Next(line)) end = AddOffsets(CsvIntField(line, 2, PageBufferSize), base);
    break;
  }
}

THelpPackage::THelpPackage(std::string packagePath)
    : packagePath_(std::move(packagePath)),
      pageBuffer_(std::make_unique<std::array<char, PageBufferSize>>()) {}

void THelpPackage::FindPackageEntry(const std::string& name, std::int32_t& start,
                                    std::int32_t& end) const {
  kiv::FindPackageEntry(packagePath_, name, start, end);
}

void THelpPackage::LoadPage(const std::string& fileName, bool showRequest) {
  if (showRequest && IsStartupFile(fileName)) {
    imageSource_ = "startup";
    std::string bytes;
    // Only a regular file of this user's (or root's): never a FIFO or a
    // device, whose read would not end.
    const SafeRead read = ReadFileHeadSafely(NativePath(fileName), PageBufferSize, bytes);
    if (read == SafeRead::Missing || read == SafeRead::Refused) throw CantLocateFile(fileName);
    if (read != SafeRead::Read) throw EInOutError("Read error in file: " + fileName);
    CommitPage(std::vector<char>(bytes.begin(), bytes.end()));
    return;
  }

  imageSource_.clear();
  std::int32_t start = 0, end = 0;
  FindPackageEntry(FileNamePart(fileName), start, end);
  if (start == -1) return;
  // A negative or reversed range is a fault of the package: refuse it and
  // keep the page that is shown rather than show garbage.
  if (start < 0 || end < start) {
    throw EInOutError("Bad range in help package for: " + fileName);
  }
  PackageFileHandle file(NativePath(packagePath_));
  if (!file.get()) throw CantLocateFile(packagePath_);
  if (std::fseek(file.get(), start, SEEK_SET) != 0) {
    throw EInOutError("Read error in help package for: " + fileName);
  }
  // A range longer than the buffer reads its first 128000 bytes.
  std::size_t want = std::min<std::int64_t>(static_cast<std::int64_t>(end) - start, PageBufferSize);
  CommitPage(ReadBytes(file.get(), want, fileName));
}

std::string THelpPackage::PageHoldingAnchor(const std::string& fileName,
                                            const std::string& anchor) {
  if (IsBlank(anchor) || IsBlank(fileName) || IsStartupFile(fileName)) return fileName;
  std::error_code ec;
  const std::filesystem::path path(NativePath(packagePath_));
  const auto size = std::filesystem::file_size(path, ec);
  if (ec) return fileName;
  const auto time = std::filesystem::last_write_time(path, ec);
  if (ec) return fileName;
  const std::int64_t stampTime = time.time_since_epoch().count();
  if (static_cast<std::int64_t>(size) != mapStampSize_ || stampTime != mapStampTime_) {
    mapStampSize_ = static_cast<std::int64_t>(size);
    mapStampTime_ = stampTime;
    anchorMap_ = TAnchorMap();
    std::int32_t start = 0, end = 0;
    try {
      kiv::FindPackageEntry(packagePath_, std::string(AnchorMapEntryName), start, end);
      PackageFileHandle file(NativePath(packagePath_));
      // A map takes a line per moved anchor; one larger than the package file
      // or than any packer writes is a damaged index and is not read.
      const std::int64_t length = static_cast<std::int64_t>(end) - start;
      if (start >= 0 && length > 0 && length <= MaxAnchorMapSize &&
          start + length <= static_cast<std::int64_t>(size) && file.get() &&
          std::fseek(file.get(), start, SEEK_SET) == 0) {
        std::string bytes(static_cast<std::size_t>(length), '\0');
        bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
        anchorMap_ = TAnchorMap::Parse(bytes);
      }
    } catch (const EInOutError&) {
    }
  }
  const std::string name = FileNamePart(fileName);
  const std::string* part = anchorMap_.PartHolding(name, anchor);
  if (!part) return fileName;
  return fileName.substr(0, fileName.size() - name.size()) + *part;
}

void THelpPackage::CommitPage(const std::vector<char>& bytes) {
  // An empty page (a range at or past the end of the package) has no bytes to
  // copy: its data() may be null, which memcpy must not be given.
  if (!bytes.empty()) std::memcpy(pageBuffer_->data(), bytes.data(), bytes.size());
  pageLength_ = static_cast<std::int32_t>(bytes.size());
}

}  // namespace kiv
