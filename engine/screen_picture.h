// Which pictures are only ever drawn texel for pixel (title, ending, menus, HUD): they
// are loaded without a mip chain, which would only take memory.
#pragma once

#include <string>

namespace OstrelLibrary {

// Whether the file lies in one of the folders of 1 : 1 pictures.
bool IsScreenPicture(const std::string& path);

}  // namespace OstrelLibrary
