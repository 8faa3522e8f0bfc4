#include "reader/text_sink.h"

namespace kiv {

// The selected-text collectors are not part of the program yet; until they
// are, the document root reports an empty selection and copies nothing.
std::unique_ptr<TTextSink> NewCountingSink() {
  return nullptr;
}
std::unique_ptr<TTextSink> NewClipboardSink() {
  return nullptr;
}

}  // namespace kiv
