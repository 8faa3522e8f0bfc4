// Loading a page the way the viewer does, for the dump commands: read the
// file, build the document with the viewer's defaults, lay it out.
#pragma once

#include <QString>

#include <memory>
#include <string>

#include "layout/section_list.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"
#include "builder/document_builder.h"

namespace kiv::dump {

struct PageOptions {
  int width = 600;         // layout width (sections) or control width (render)
  int fontSize = 12;
  bool fixedMetrics = false;
  bool images = true;
  std::string package;     // supply images from this help package
};

struct LoadedPage {
  std::unique_ptr<TSectionList> document;
  TAnchorList anchors;
  TParseResult result;
  std::unique_ptr<FixedMetricsCanvas> fixedCanvas;  // the screen canvas while it lives
  std::unique_ptr<ScopedScreenCanvas> screenSwap;
  std::string error;
};

// Builds the page in fileName (a native path). On failure error is set.
std::unique_ptr<LoadedPage> LoadPage(const QString& fileName, const PageOptions& options);

// Parses the common options (--width, --font-size, --metrics, --images,
// --package) into options; false with a message on a bad value.
bool ReadPageOption(const QString& name, const QString& value, PageOptions& options,
                    std::string& error);

}  // namespace kiv::dump
