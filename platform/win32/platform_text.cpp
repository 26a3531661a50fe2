// UTF-8 reading: one strict decoder for every place that walks text by characters.
#include "platform_text.h"

// Lead byte, continuation bytes, then the shortest-form, range and surrogate checks.
size_t DecodeUtf8At(const std::string& text, size_t at, uint32_t* code)
{
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  size_t length = 0;
  uint32_t value = 0;
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    value = lead & 0x07;
  } else
    return 0;
  if (at + length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    const unsigned char next = static_cast<unsigned char>(text[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    value = (value << 6) | (next & 0x3F);
  }
  const uint32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  *code = value;
  return length;
}
