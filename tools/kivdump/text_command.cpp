// kivdump text FILE [--package PKG] [--substitute]
// Writes, in UTF-8, the text that Copy All of the help window puts on the
// clipboard for a page: the page read as kivpack build packs it, laid out at
// the viewer's width, all of it selected and collected as the window copies
// it (at most what the clipboard takes), then converted from the page's code
// page.
#include <QCommandLineParser>

#include <cstdio>
#include <iostream>
#include <memory>

#include "common/tool_command_line.h"
#include "kivdump/commands.h"
#include "kivdump/page_loader.h"
#include "platform/code_page.h"
#include "platform/screen_canvas.h"
#include "reader/sel_text.h"

namespace kiv::dump {

namespace {

// The clipboard collector, writing into a string instead of the clipboard.
class CapturedText : public SelTextBuf {
 public:
  explicit CapturedText(std::string& out)
      : SelTextBuf(nullptr, 0), out_(out), storage_(std::make_unique<char[]>(ClipBufferSize)) {
    Buffer = storage_.get();
    BufferSize = ClipBufferSize;
  }
  int Terminate() override {
    const int result = SelTextBuf::Terminate();
    out_.assign(Buffer, static_cast<std::size_t>(Length));
    return result;
  }

 private:
  std::string& out_;
  std::unique_ptr<char[]> storage_;
};

int RunText(const QStringList& args) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Writes the text Copy All puts on the clipboard for a page, in UTF-8.");
  parser.addPositionalArgument("file", "The HTML page.");
  parser.addOptions({{"package", "Help package that supplies the page's images.", "PKG"},
                     {"substitute", "Read the page as kivpack build --substitute packs it."}});
  tool::AddStandardOptions(parser);
  if (int code = tool::ParseCommandLine(parser, args, "kivdump text", "kivdump");
      code != tool::Proceed)
    return code;
  if (parser.positionalArguments().size() != 1) {
    std::cerr << "usage: kivdump text FILE [--package PKG] [--substitute]\n";
    return 2;
  }
  PageOptions options;
  options.package = parser.value("package").toStdString();
  options.substitute = parser.isSet("substitute");
  auto page = LoadPage(parser.positionalArguments()[0], options);
  for (const std::string& n : page->notes) std::cerr << "kivdump text: " << n << '\n';
  if (!page->error.empty()) {
    std::cerr << "kivdump text: " << page->error << '\n';
    return 1;
  }
  TSectionList& doc = *page->document;
  int maxWidth = 0, charIndex = 0;
  doc.Layout(ScreenCanvas(), 0, options.width, maxWidth, charIndex);
  std::string copied;
  if (doc.Count() > 0) {
    // Select All and Copy, as the window's Copy All button does them.
    const TSectionBase* last = doc.Last();
    doc.SelStart = 0;
    doc.SelEnd = last->StartIndex + last->Length;
    doc.ClipboardSinkFactory = [&copied] { return std::make_unique<CapturedText>(copied); };
    doc.CopySelectionToClipboard();
  }
  const std::string utf8 = CodePageToUtf8(doc.TextCodePage(), copied);
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

KIVDUMP_COMMAND(text, "text", "the text Copy All puts on the clipboard (UTF-8)", RunText);

}  // namespace kiv::dump
