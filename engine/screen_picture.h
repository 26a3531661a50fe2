// Which pictures are only ever drawn texel for pixel (title, ending, menus, HUD): they
// are loaded without a mip chain, which would only take memory, and without their empty
// border (CTexture keeps where the rest lies).
#pragma once

#include <string>

#include "d3d9.h"

namespace OstrelLibrary {

// Whether the file lies in one of the folders of 1 : 1 pictures.
bool IsScreenPicture(const std::string& path);

// The rectangle of a width x height A8R8G8B8 picture to keep: every texel that differs
// from the first one when that one is fully transparent, with a border of one such texel
// where the picture goes on; the whole picture otherwise.
RECT KeptPartOfLayer(const D3DCOLOR* texels, UINT width, UINT height, size_t pitchInTexels);

}  // namespace OstrelLibrary
