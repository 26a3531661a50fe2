// Token readers for DirectX .x files: the 16-byte header, the text format and the
// binary token format, both turned into one flat token list the parser walks.
// Limits: compressed files ("tzip", "bzip") are refused; tokens point back into the
// caller's bytes, which must outlive them. Depends on the C++ library only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class XTokenKind : uint8_t {
  Name,    // identifier: a template name, an object name or a keyword-free word
  String,  // quoted string (text) or TOKEN_STRING (binary)
  Number,  // integer or float; value holds it
  Guid,    // <...> or TOKEN_GUID; its content is not kept
  OpenBrace,
  CloseBrace,
  Template,   // the word "template" / TOKEN_TEMPLATE
  Separator,  // ; , and any other punctuation the grammar does not need
};

struct XToken {
  XTokenKind kind;
  double value;     // Number only
  uint32_t offset;  // Name and String: where the characters start in the file
  uint32_t length;  // Name and String: how many characters
};

enum class XFileFormat { Text, Binary };

struct XFileHeader {
  XFileFormat format;
  int floatBits;  // 32 or 64: the size of floats in binary float lists
};

// Every .x file starts with this many header bytes; the tokens follow.
constexpr size_t kXFileHeaderSize = 16;

// Reads the 16-byte header ("xof 0303txt 0032"); false with a reason when not a usable .x file.
bool ReadXFileHeader(const uint8_t* data, size_t size, XFileHeader* header, std::string* error);

// Splits a text file's body (after the header) into tokens; false with a reason on a bad character.
bool TokenizeXText(const uint8_t* data, size_t size, std::vector<XToken>* tokens, std::string* error);

// Splits a binary file's body (after the header) into tokens; false with a reason when a record
// is cut short or a count claims more bytes than the file has.
bool TokenizeXBinary(const uint8_t* data, size_t size, int floatBits, std::vector<XToken>* tokens, std::string* error);

// The characters of a Name or String token.
inline std::string_view XTokenText(const uint8_t* data, const XToken& token)
{
  return std::string_view(reinterpret_cast<const char*>(data) + token.offset, token.length);
}
