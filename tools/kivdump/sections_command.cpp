// kivdump sections FILE [--width W] [--font-size N] [--metrics fixed|screen]
//                       [--images on|off]
// Builds and lays out a page, then prints the document as JSON Lines: one
// line for the document, one per top-level section.
#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <iostream>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "kivdump/page_loader.h"
#include "kivdump/section_json.h"
#include "platform/qt_canvas.h"
#include "platform/screen_canvas.h"

namespace kiv::dump {

namespace {

int RunSections(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription("Builds and lays out a page and prints its sections.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"width", "Layout width in pixels (600).", "W", "600"},
                     {"font-size", "Base font size in points (12).", "N", "12"},
                     {"metrics", "fixed or screen (screen).", "kind", "screen"},
                     {"images", "on or off (on).", "on|off", "on"}});
  tool::AddStandardOptions(parser);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump sections", "kivdump");
      code != tool::Proceed)
    return code;
  if (parser.positionalArguments().size() != 1) {
    std::cerr << "usage: kivdump sections FILE [--width W] [--font-size N] [--metrics fixed|screen]"
                 " [--images on|off]\n";
    return 2;
  }
  PageOptions options;
  std::string error;
  for (const char* name : {"width", "font-size", "metrics", "images"}) {
    if (!ReadPageOption(name, parser.value(name), options, error)) {
      std::cerr << "kivdump sections: " << error << '\n';
      return 2;
    }
  }
  auto page = LoadPage(parser.positionalArguments()[0], options);
  for (const std::string& n : page->notes) std::cerr << "kivdump sections: " << n << '\n';
  if (!page->error.empty()) {
    std::cerr << "kivdump sections: " << page->error << '\n';
    return 1;
  }
  TSectionList& doc = *page->document;
  int maxWidth = 0, charIndex = 0;
  const int height = doc.Layout(ScreenCanvas(), 0, options.width, maxWidth, charIndex);

  std::cout << QJsonDocument(DocumentJson(*page, height, maxWidth))
                   .toJson(QJsonDocument::Compact)
                   .toStdString()
            << '\n';
  // Each section's top is where layout placed it: the sum of the heights
  // before it (sections without text keep no position of their own until painted).
  int top = 0;
  for (const auto& section : doc) {
    QJsonObject json = SectionJson(*section);
    json["top"] = top;
    top += section->Height;
    std::cout << QJsonDocument(json).toJson(QJsonDocument::Compact).toStdString() << '\n';
  }
  return 0;
}

}  // namespace

KIVDUMP_COMMAND(sections, "sections", "build and lay out a page, print its sections (JSON Lines)",
                RunSections);

}  // namespace kiv::dump
