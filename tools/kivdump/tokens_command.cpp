// kivdump tokens FILE: the tokenizer's symbols as JSON Lines, one object per
// symbol up to and including the end of input.
#include <QByteArray>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "platform/paths.h"
#include "reader/tokenizer.h"

namespace kiv::dump {

namespace {

// Engine text is single-byte: each byte stands for the code point of its value.
QString Latin1(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

QJsonObject SymbolObject(const ReaderState& reader) {
  QJsonObject o;
  o["sym"] = Latin1(SymbolName(reader.Sym));
  o["token"] = Latin1(reader.Token());
  if (reader.Sym == HSy || reader.Sym == HEndSy) o["level"] = reader.HeadingLevel;
  if (TakesAttributes(reader.Sym)) {
    QJsonArray attrs;
    for (const auto& a : reader.Attributes) {
      QJsonObject ao;
      ao["id"] = Latin1(SymbolName(a->Id));
      ao["value"] = static_cast<qint64>(a->Value);
      ao["text"] = Latin1(a->Text);
      attrs.append(ao);
    }
    o["attrs"] = attrs;
  }
  return o;
}

void Emit(const QJsonObject& o) {
  QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
  std::fputc('\n', stdout);
}

// Lines of a file as a string list holds them: split at LF, CR LF or CR.
std::vector<std::string> SplitLines(const QByteArray& bytes) {
  std::vector<std::string> lines;
  std::string line;
  for (qsizetype i = 0; i < bytes.size(); ++i) {
    char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

int RunTokens(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Prints the tokenizer's symbols for an HTML file as JSON Lines.");
  tool::AddStandardOptions(parser);
  parser.addPositionalArgument("file", "The HTML file.");
  QCommandLineOption sourceOption(
      "source", "How the page is read: buffer (default), file, strings or stream.", "kind",
      "buffer");
  parser.addOption(sourceOption);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump tokens", "kivdump");
      code != tool::Proceed)
    return code;
  const QStringList files = parser.positionalArguments();
  const QString kind = parser.value(sourceOption);
  if (files.size() != 1)
    return tool::Complain("kivdump tokens", "usage: kivdump tokens FILE [--source KIND]",
                          tool::ExitUsage);
  if (!QStringList{"buffer", "file", "strings", "stream"}.contains(kind))
    return tool::Complain("kivdump tokens", "bad value for --source: " + kind.toStdString(),
                          tool::ExitUsage);
  const std::string fileName = files[0].toStdString();
  if (tool::IsFolder(files[0]))
    return tool::Complain("kivdump tokens", fileName + " is a folder", tool::ExitFailure);
  QFile file(QString::fromStdString(NativePath(fileName)));
  if (!file.open(QIODevice::ReadOnly)) {
    std::cerr << "kivdump tokens: Can't locate file: " << fileName << '\n';
    return 1;
  }
  const QByteArray bytes = file.readAll();
  file.close();

  ReaderState reader;
  std::vector<std::string> lines;
  std::istringstream stream(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  try {
    if (kind == "file") {
      reader.StartFile(fileName);
    } else if (kind == "strings") {
      lines = SplitLines(bytes);
      reader.StartStrings(lines);
    } else if (kind == "stream") {
      reader.StartStream(stream);
    } else {
      reader.StartBuffer(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    reader.NextChar();
    do {
      reader.Next();
      Emit(SymbolObject(reader));
    } while (reader.Sym != EndOfInputSymbol);
  } catch (const std::exception& e) {
    Emit(QJsonObject{{"error", QString::fromStdString(e.what())}});
    std::fflush(stdout);
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

KIVDUMP_COMMAND(tokens, "tokens", "the tokenizer's symbols of a page (JSON Lines)", RunTokens);

}  // namespace kiv::dump
