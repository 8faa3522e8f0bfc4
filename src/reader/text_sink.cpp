#include "reader/text_sink.h"

#include "reader/sel_text.h"

namespace kiv {

std::unique_ptr<TTextSink> NewCountingSink() {
  return std::make_unique<SelTextCount>();
}
std::unique_ptr<TTextSink> NewClipboardSink(CodePage page) {
  return std::make_unique<ClipBuffer>(page);
}

}  // namespace kiv
