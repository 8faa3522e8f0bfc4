// Loading a page the way the viewer does, for the dump commands: read the
// file, build the document with the viewer's defaults, lay it out.
#pragma once

#include <QString>

#include <memory>
#include <string>
#include <vector>

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/screen_canvas.h"

namespace kiv::dump {

struct PageOptions {
  int width = 600;  // layout width (sections) or control width (render)
  int fontSize = 12;
  bool fixedMetrics = false;
  bool images = true;
  std::string package;      // supply images from this help package
  bool substitute = false;  // read the page as kivpack build --substitute packs it
};

struct LoadedPage {
  std::unique_ptr<TSectionList> document;
  TAnchorList anchors;
  TParseResult result;
  std::unique_ptr<FixedMetricsCanvas> fixedCanvas;  // the screen canvas while it lives
  std::unique_ptr<ScopedScreenCanvas> screenSwap;
  std::string error;
  std::vector<std::string> notes;  // what packing would do to the page
};

// Builds the page in fileName (a native path), read as kivpack build would
// pack it and in the code page it then declares, as the viewer reads it. On
// failure error is set (kivpack's refusal included).
std::unique_ptr<LoadedPage> LoadPage(const QString& fileName, const PageOptions& options);

// Parses the common options (--width, --font-size, --metrics, --images,
// --package) into options; false with a message on a bad value.
bool ReadPageOption(const QString& name, const QString& value, PageOptions& options,
                    std::string& error);

}  // namespace kiv::dump
