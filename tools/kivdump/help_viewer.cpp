#include "kivdump/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <stdexcept>

#include "kivdump/package_images.h"

namespace kiv::dump {

void SetUpHelpViewer(THTMLViewer& viewer, int width, int height, int fontSize,
                     const std::string& packagePath) {
  viewer.setAttribute(Qt::WA_DontShowOnScreen);
  viewer.SetDefBackground(clWhite);
  viewer.SetDefFontName("Times New Roman");
  viewer.SetDefPreFontName("Courier New");
  viewer.SetDefFontSize(fontSize);
  viewer.SetViewImages(true);
  if (!packagePath.empty()) viewer.OnBitmapRequest = PackageImageRequest(packagePath);
  viewer.resize(width, height);
  viewer.show();
}

void LoadPackedPage(THTMLViewer& viewer, const QString& path, const PackedPage& page) {
  const QFileInfo info(path);
  if (!page.changed) {
    viewer.LoadHtmlFile(info.absoluteFilePath().toStdString());
    return;
  }
  QTemporaryFile copy(info.absolutePath() + "/.kivdump-XXXXXX.html");
  if (!copy.open()) {
    // A folder that cannot be written: the copy goes elsewhere, and only
    // package pictures are found.
    copy.setFileTemplate(QDir::tempPath() + "/kivdump-XXXXXX.html");
    if (!copy.open()) throw std::runtime_error("cannot write a temporary copy of the page");
  }
  copy.write(page.bytes.data(), static_cast<qint64>(page.bytes.size()));
  copy.flush();
  viewer.LoadHtmlFile(QFileInfo(copy.fileName()).absoluteFilePath().toStdString());
}

}  // namespace kiv::dump
