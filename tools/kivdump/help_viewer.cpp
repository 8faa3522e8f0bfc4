#include "kivdump/help_viewer.h"

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

}  // namespace kiv::dump
