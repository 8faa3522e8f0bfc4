// Helpers for the table tests: a page read by the document builder, laid out
// with fixed metrics (12 points: advance 8, line height 20), its tables and
// cells, and the message boxes raised on the way.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "builder/document_builder.h"
#include "layout/section_list.h"
#include "layout/table.h"
#include "layout/text_section.h"
#include "platform/fixed_metrics_canvas.h"
#include "platform/message_box.h"
#include "platform/screen_canvas.h"

namespace kiv::testing {

class TablePageTest : public ::testing::Test {
 protected:
  TablePageTest() : swap_(&canvas) {
    doc.SetDefaults("Times New Roman", "Courier New", 12, clBlack, clBlue, clWhite);
    previous_ = SetMessageBoxHandler([this](const std::string& text, const std::string&, int) {
      boxes.push_back(text);
      return 1;
    });
  }
  ~TablePageTest() override { SetMessageBoxHandler(previous_); }

  void Parse(const std::string& html) { ParseHtmlBuffer(doc, anchors, html.data(), html.size()); }
  int LayOut(int width = 600) {
    int maxWidth = 0, charIndex = 0;
    return doc.Layout(canvas, 0, width, maxWidth, charIndex);
  }
  // Reads and lays out a page; returns its first table.
  ThtmlTable& Load(const std::string& html, int width = 600) {
    Parse(html);
    LayOut(width);
    return Table();
  }
  ThtmlTable& Table(int n = 0) {
    for (const auto& s : doc)
      if (auto* t = dynamic_cast<ThtmlTable*>(s.get()); t && n-- == 0) return *t;
    throw std::runtime_error("no such table");
  }
  static TCellObj& CellOf(const ThtmlTable& t, int row, int column) {
    return *(*t.Rows[row])[column];
  }
  static TSection& TextIn(const TCell& cell) {
    for (const auto& s : cell)
      if (auto* t = dynamic_cast<TSection*>(s.get()); t && t->Length > 0) return *t;
    throw std::runtime_error("no text");
  }
  static std::vector<int> Widths(const ThtmlTable& t) {
    return std::vector<int>(t.ColumnWidths.begin(), t.ColumnWidths.begin() + t.ColumnCount);
  }

  FixedMetricsCanvas canvas;
  ScopedScreenCanvas swap_;
  MessageBoxHandler previous_;
  TSectionList doc;
  TAnchorList anchors;
  std::vector<std::string> boxes;
};

}  // namespace kiv::testing
