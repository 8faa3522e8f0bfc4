// kivdump search PKG QUERY [--limit N]: the whole-help search's ranked
// results for a package, as JSON Lines, through the search the help window
// uses: one object per result, best first.
#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>

#include "app/help_search.h"
#include "app/search_index.h"
#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "platform/code_page.h"
#include "platform/paths.h"

namespace kiv::dump {

namespace {

constexpr int kDefaultLimit = 10;
constexpr int kMaxLimit = 1000;

// Package names are single-byte: each byte stands for the code point of its
// value.
QString Latin1(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

void Emit(const QJsonObject& o) {
  QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
  std::fputc('\n', stdout);
}

int RunSearch(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Searches a help package as the help window does and prints the ranked results as JSON "
      "Lines: rank, page, anchor, title, heading, score.");
  tool::AddStandardOptions(parser);
  parser.addPositionalArgument("package", "The help package (kivmap.hpm).");
  parser.addPositionalArgument("query", "The words to search for; \"quoted words\" a phrase.");
  QCommandLineOption limitOption("limit", "How many results to print (default 10).", "n",
                                 QString::number(kDefaultLimit));
  parser.addOption(limitOption);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump search", "kivdump");
      code != tool::Proceed)
    return code;
  const QStringList positional = parser.positionalArguments();
  bool numeric = false;
  const int limit = parser.value(limitOption).toInt(&numeric);
  if (positional.size() != 2)
    return tool::Complain("kivdump search", "usage: kivdump search PKG QUERY [--limit N]",
                          tool::ExitUsage);
  if (!numeric || limit < 0)
    return tool::Complain("kivdump search",
                          "bad value for --limit: " + parser.value(limitOption).toStdString(),
                          tool::ExitUsage);
  if (tool::IsFolder(positional[0]))
    return tool::Complain("kivdump search",
                          positional[0].toStdString() + " is a folder, not a help package",
                          tool::ExitFailure);
  const std::string path = NativePath(positional[0].toStdString());
  const std::string query = positional[1].toStdString();
  try {
    const std::unique_ptr<SearchIndex> index = SearchIndex::Build(path);
    const HelpSearchResults found = HelpSearch(*index).Search(
        query, static_cast<std::size_t>(std::min(limit, kMaxLimit)), false);
    int rank = 0;
    for (const HelpSearchResult& r : found.results) {
      QJsonObject o;
      o["rank"] = ++rank;
      o["page"] = Latin1(r.fileName);
      // Anchors are the page's text, in its code page; titles and
      // headings come in UTF-8.
      o["anchor"] = QString::fromStdString(CodePageToUtf8(r.codePage, r.anchor));
      o["title"] = QString::fromStdString(r.title);
      o["heading"] = QString::fromStdString(r.heading);
      o["score"] = static_cast<double>(static_cast<qint64>(r.score * 1000 + 0.5)) / 1000;
      Emit(o);
    }
  } catch (const std::exception& e) {
    std::cerr << "kivdump search: " << e.what() << '\n';
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

KIVDUMP_COMMAND(search, "search", "search a help package as the help window does (JSON Lines)",
                RunSearch);

}  // namespace kiv::dump
