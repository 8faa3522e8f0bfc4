// kivpack build of a documentation tree as large as the PostgreSQL manual:
// 1200 pages of 15 KB (18 MB) written in UTF-8, most of them ASCII with
// non-breaking spaces, arrows and zero-width spaces, a tenth in Cyrillic, and
// 40 PNG pictures. One iteration packs the whole tree: reading, converting
// pages, resolving the tree's names, converting pictures, renaming
// references and writing the package.
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "kivpack/package_writer.h"
#include "kivpack/tree_names.h"

namespace kiv {
namespace {

constexpr int kPages = 1200;
constexpr std::size_t kPageBytes = 15000;
constexpr int kPictures = 40;

std::string MakePage(int n) {
  const bool cyrillic = n % 10 == 0;
  std::string page = "<html><head><meta charset=\"utf-8\"><title>Page " + std::to_string(n) +
                     "</title></head><body><h1>Chapter " + std::to_string(n) + "</h1>\n";
  page += "<img src=\"images/fig" + std::to_string(n % kPictures) + ".png\">\n";
  const std::string western =
      "<p>The <code>SELECT</code>\xC2\xA0statement returns rows \xE2\x86\x92 see the "
      "<a href=\"page" +
      std::to_string((n + 1) % kPages) +
      ".html#sec\">next section</a>."
      "\xE2\x80\x8B Caf\xC3\xA9 na\xC3\xAFve r\xC3\xB4le.</p>\n";
  const std::string russian =
      "<p>\xD0\x9E\xD0\xBF\xD0\xB5\xD1\x80\xD0\xB0\xD1\x82\xD0\xBE\xD1\x80 SELECT "
      "\xD0\xB2\xD0\xBE\xD0\xB7\xD0\xB2\xD1\x80\xD0\xB0\xD1\x89\xD0\xB0\xD0\xB5\xD1\x82 "
      "\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB8.</p>\n";
  while (page.size() < kPageBytes) page += cyrillic ? russian : western;
  return page + "</body></html>\n";
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(bytes);
}

void BM_PackTree_1200Pages18MB(benchmark::State& state) {
  QTemporaryDir dir;
  QDir(dir.path()).mkpath("tree/images");
  const QString tree = dir.filePath("tree");
  std::int64_t bytes = 0;
  for (int n = 0; n < kPages; ++n) {
    const std::string page = MakePage(n);
    bytes += static_cast<std::int64_t>(page.size());
    WriteFile(tree + "/page" + QString::number(n) + ".html", QByteArray::fromStdString(page));
  }
  for (int n = 0; n < kPictures; ++n) {
    QImage image(120, 80, QImage::Format_RGB32);
    image.fill(qRgb(255, 255, 255));
    for (int x = 0; x < 120; ++x) image.setPixel(x, (x + n) % 80, qRgb(0, 0, 128));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    WriteFile(tree + "/images/fig" + QString::number(n) + ".png", png);
  }
  const std::string out = dir.filePath("kivmap.hpm").toStdString();
  for (auto _ : state) {
    std::vector<std::string> errors, notes;
    std::vector<PackageFile> files = CollectPackageFiles(tree.toStdString(), out, errors);
    PageConversionOptions substitute;
    substitute.substitute = true;  // the arrows, as --substitute packs them
    ConvertPages(files, substitute, errors, notes);
    ResolveTreeNames(files, notes);
    ConvertPictures(files, errors, notes);
    for (const std::string& e : CheckPackageFiles(files)) errors.push_back(e);
    std::string error;
    if (!errors.empty() || !WritePackage(files, out, error)) {
      state.SkipWithError(errors.empty() ? error.c_str() : errors.front().c_str());
      break;
    }
    benchmark::DoNotOptimize(files.data());
  }
  state.counters["tree_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_PackTree_1200Pages18MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace kiv
