// The benchmark document of the text layout and painting suites: a document
// root of 2000 text sections of 60 words each, with mixed runs (bold, italic,
// larger text, links) and a few inline and floating pictures.
#pragma once

#include <memory>

#include "layout/section_list.h"

namespace kiv::bench {

std::unique_ptr<TSectionList> MakeTextDocument();

}  // namespace kiv::bench
