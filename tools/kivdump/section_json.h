// The JSON form of a laid-out document and its sections. Field names are part
// of the dump format: fields may be added, never renamed.
#pragma once

#include <QJsonObject>

#include "kivdump/page_loader.h"
#include "layout/section_base.h"

namespace kiv::dump {

QJsonObject DocumentJson(const LoadedPage& page, int height, int maxWidth);
QJsonObject SectionJson(const TSectionBase& section);

// Engine text as JSON text: each byte stands for the code point of its value.
QString Latin1(std::string_view bytes);

}  // namespace kiv::dump
