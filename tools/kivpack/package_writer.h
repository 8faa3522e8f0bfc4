// Packing a folder of help pages and images into a help package.
#pragma once

#include <string>
#include <vector>

#include "kivpack/page_conversion.h"

namespace kiv {

struct PackageFile {
  std::string name;        // as pages refer to it: relative, "/" separators, Windows-1252
  std::string nativePath;  // where the bytes are read from
  // Set for a page converted to a code page: these bytes are packed instead
  // of the file's.
  bool converted = false;
  std::string bytes;
};

// Lists every regular file under dir (skipping the file skipPath, if any),
// sorted by name ignoring case. Names that cannot be written in Windows-1252
// are reported in errors.
std::vector<PackageFile> CollectPackageFiles(const std::string& dir, const std::string& skipPath,
                                             std::vector<std::string>& errors);

// Reads every page and converts those written in UTF-8 (or declared in an
// ISO-8859 or KOI8 character set) to a code page the viewer reads (see
// kivpack/page_conversion.h). A page that cannot be converted is reported in
// errors with the line, column and character; notes tell which pages were
// converted (and every substitution), and which declare a character set
// they are not written in or one the viewer does not know.
void ConvertPages(std::vector<PackageFile>& files, const PageConversionOptions& options,
                  std::vector<std::string>& errors, std::vector<std::string>& notes);

// Converts every picture the viewer does not show (see
// kivpack/picture_conversion.h) into a GIF or a bitmap named after it
// ("images/prev.png.gif"; another name when that one is taken) and renames
// every page's references to it. A picture that cannot be converted is
// reported in errors by name; notes tell what each became.
void ConvertPictures(std::vector<PackageFile>& files, std::vector<std::string>& errors,
                     std::vector<std::string>& notes);

// The problems that keep files from being packed: none means they can be.
// Without split, a page over the page buffer is told of kivpack build --split.
std::vector<std::string> CheckPackageFiles(const std::vector<PackageFile>& files,
                                           bool split = false);

// The index text for files of the given sizes: a START line giving the offset
// of the data, one NAME,OFFSET line per file, and the "******" line carrying
// the end offset of the last file. Lines end in CR LF.
std::string BuildPackageIndex(const std::vector<PackageFile>& files,
                              const std::vector<long long>& sizes);

// Writes the package; false with a message when something cannot be read or
// written. The output appears only once it is complete.
bool WritePackage(const std::vector<PackageFile>& files, const std::string& outPath,
                  std::string& error);

// The bytes a file is packed with: its converted bytes when it has them,
// else the file's; false when the file cannot be read (WritePackage reports
// it).
bool ReadPackageFile(const PackageFile& file, std::string& bytes);

// Pages the viewer reads into its 128000-byte page buffer.
bool IsPageName(const std::string& name);

}  // namespace kiv
