// The viewer the dump commands show a page in: the help window's viewer
// settings (white background, Times New Roman and Courier New, pictures on),
// never shown on screen.
#pragma once

#include <QString>

#include <string>

#include "kivdump/packed_page.h"
#include "viewer/html_viewer.h"

namespace kiv::dump {

// Gives viewer the help window's settings, a base font size, pictures from
// the help package at packagePath (none when empty: then from files beside
// the page), and shows it off screen at width x height.
void SetUpHelpViewer(THTMLViewer& viewer, int width, int height, int fontSize,
                     const std::string& packagePath);

// Loads the page at path into viewer as it would be packed (see
// kivdump/packed_page.h). A page packing changes is shown from a temporary
// copy beside it, so that pictures beside the page are still found; raises
// what the viewer's file load raises.
void LoadPackedPage(THTMLViewer& viewer, const QString& path, const PackedPage& page);

}  // namespace kiv::dump
