// Images of a page supplied from a help package, as the help window supplies
// them to its viewer, through its own supply: looked up by name, decoded by
// extension, nothing for a picture the window would not show.
#pragma once

#include <string>

#include "layout/section_list.h"

namespace kiv::dump {

TGetBitmapEvent PackageImageRequest(const std::string& packagePath);

}  // namespace kiv::dump
