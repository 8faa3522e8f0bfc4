// Reading printed PDF files back with the poppler tools: the words of every
// page with their boxes in points, top-left origin.
#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kiv::testing {

struct PrintedWord {
  std::string text;
  double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct PrintedPage {
  double width = 0, height = 0;
  std::vector<PrintedWord> words;

  // The words in reading order, separated by spaces.
  std::string Text() const {
    std::string text;
    for (const PrintedWord& w : words) text += (text.empty() ? "" : " ") + w.text;
    return text;
  }
};

// Every page of a PDF file; fails the test when the file cannot be read.
inline std::vector<PrintedPage> ReadPrintedPages(const std::string& pdf) {
  QProcess p;
  p.start("pdftotext", {"-bbox", QString::fromStdString(pdf), "-"});
  std::vector<PrintedPage> pages;
  if (!p.waitForFinished(60000) || p.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext could not read " << pdf << ": "
                  << p.readAllStandardError().toStdString();
    return pages;
  }
  static const QRegularExpression page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
  static const QRegularExpression word(
      R"re(<word xMin="([\d.-]+)" yMin="([\d.-]+)" xMax="([\d.-]+)" yMax="([\d.-]+)">([^<]*)</word>)re");
  const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
  for (const QString& line : lines) {
    if (const auto m = page.match(line); m.hasMatch()) {
      pages.push_back({m.captured(1).toDouble(), m.captured(2).toDouble(), {}});
    } else if (const auto w = word.match(line); w.hasMatch() && !pages.empty()) {
      pages.back().words.push_back({w.captured(5).toStdString(), w.captured(1).toDouble(),
                                    w.captured(2).toDouble(), w.captured(3).toDouble(),
                                    w.captured(4).toDouble()});
    }
  }
  return pages;
}

// The page count pdfinfo reports (-1 when it cannot read the file).
inline int PrintedPageCount(const std::string& pdf) {
  QProcess p;
  p.start("pdfinfo", {QString::fromStdString(pdf)});
  if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
  static const QRegularExpression pages(R"(^Pages:\s+(\d+)\s*$)",
                                        QRegularExpression::MultilineOption);
  const auto m = pages.match(QString::fromUtf8(p.readAllStandardOutput()));
  return m.hasMatch() ? m.captured(1).toInt() : -1;
}

}  // namespace kiv::testing
