// UTF-8 reading shared by the platform's message boxes and the game's runtime text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Length of the well-formed UTF-8 sequence at text[at] (1 to 4), with its code point in
// *code; 0 when the bytes there are not one (stray continuation bytes, overlong forms,
// surrogates, cut ends).
size_t DecodeUtf8At(const std::string& text, size_t at, uint32_t* code);
