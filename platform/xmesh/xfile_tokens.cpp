// Token readers for DirectX .x files (see xfile_tokens.h). Every read is checked
// against the bytes left, so a cut or lying file fails here instead of reading past
// its end; numbers that are not finite are refused so nothing downstream sees NaN.
#include "xfile_tokens.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {

// ---- shared helpers --------------------------------------------------------------

// Appends a token that carries no characters.
void PushPlain(std::vector<XToken>* tokens, XTokenKind kind)
{
  tokens->push_back(XToken{kind, 0.0, 0, 0});
}

// Appends a number token.
void PushNumber(std::vector<XToken>* tokens, double value)
{
  tokens->push_back(XToken{XTokenKind::Number, value, 0, 0});
}

// Appends a token that points at characters of the file.
void PushText(std::vector<XToken>* tokens, XTokenKind kind, size_t offset, size_t length)
{
  tokens->push_back(XToken{kind, 0.0, static_cast<uint32_t>(offset), static_cast<uint32_t>(length)});
}

// ---- text ------------------------------------------------------------------------------

// Characters that may start a name; bytes above 127 let names in local encodings through.
bool IsNameStart(uint8_t c)
{
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}

// Characters that may continue a name (exporters use '-' and '.' inside names).
bool IsNameChar(uint8_t c)
{
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

// Characters that may appear in a number's spelling.
bool IsNumberChar(uint8_t c)
{
  return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E';
}

// Reads one number spelled at [begin, end); false unless the whole span is a finite number.
bool ParseTextNumber(const char* begin, const char* end, double* value)
{
  if (begin < end && *begin == '+') ++begin;  // from_chars refuses a leading '+'
  if (begin == end) return false;
  const std::from_chars_result r = std::from_chars(begin, end, *value);
  return r.ec == std::errc() && r.ptr == end && std::isfinite(*value);
}

// ---- binary ----------------------------------------------------------------------------

// A little-endian reader over the file that refuses to run past its end.
class CByteReader {
public:
  CByteReader(const uint8_t* data, size_t size, size_t pos) : data_(data), size_(size), pos_(pos) {}
  // Bytes not read yet.
  size_t Left() const { return size_ - pos_; }
  // Where the next read starts.
  size_t Pos() const { return pos_; }
  // Reads a 16-bit value.
  bool Word(uint16_t* out)
  {
    if (Left() < 2) return false;
    *out = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  // Reads a 32-bit value.
  bool Dword(uint32_t* out)
  {
    if (Left() < 4) return false;
    *out = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
           (static_cast<uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    pos_ += 4;
    return true;
  }
  // Reads a 32-bit float.
  bool Float(double* out)
  {
    uint32_t bits = 0;
    if (!Dword(&bits)) return false;
    float f = 0.0f;
    std::memcpy(&f, &bits, sizeof f);
    *out = f;
    return true;
  }
  // Reads a 64-bit float.
  bool Double(double* out)
  {
    uint32_t low = 0, high = 0;
    if (!Dword(&low) || !Dword(&high)) return false;
    const uint64_t bits = (static_cast<uint64_t>(high) << 32) | low;
    std::memcpy(out, &bits, sizeof *out);
    return true;
  }
  // True when the next four bytes hold the 32-bit value a or b.
  bool NextDwordIs(uint32_t a, uint32_t b) const
  {
    if (Left() < 4) return false;
    const uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                       (static_cast<uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
    return v == a || v == b;
  }
  // Skips n bytes.
  bool Skip(size_t n)
  {
    if (Left() < n) return false;
    pos_ += n;
    return true;
  }

private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_;
};

// Token values of the binary format.
enum : uint16_t {
  kTokName = 1,
  kTokString = 2,
  kTokInteger = 3,
  kTokGuid = 5,
  kTokIntegerList = 6,
  kTokFloatList = 7,
  kTokOpenBrace = 10,
  kTokCloseBrace = 11,
  kTokFirstPunct = 12,
  kTokComma = 19,
  kTokSemicolon = 20,
  kTokLastPunct = 20,
  kTokTemplate = 31,
  kTokFirstType = 40,
  kTokLastType = 52,
};

}  // namespace

// ---- header ----------------------------------------------------------------------------

// Reads "xof " + 4-digit version + format + float size.
bool ReadXFileHeader(const uint8_t* data, size_t size, XFileHeader* header, std::string* error)
{
  if (size < kXFileHeaderSize || std::memcmp(data, "xof ", 4) != 0) {
    *error = "not a .x file (no \"xof \" header)";
    return false;
  }
  if (size > 0xFFFFFFFFu) {
    *error = "file larger than 4 GiB";
    return false;
  }
  for (int i = 4; i < 8; ++i) {
    if (data[i] < '0' || data[i] > '9') {
      *error = "bad version in .x header";
      return false;
    }
  }
  const std::string_view format(reinterpret_cast<const char*>(data) + 8, 4);
  const std::string_view floats(reinterpret_cast<const char*>(data) + 12, 4);
  if (format == "txt ") {
    header->format = XFileFormat::Text;
  } else if (format == "bin ") {
    header->format = XFileFormat::Binary;
  } else if (format == "tzip" || format == "bzip") {
    *error = "compressed .x files are not supported";
    return false;
  } else {
    *error = "unknown .x format \"" + std::string(format) + "\"";
    return false;
  }
  if (floats == "0032") {
    header->floatBits = 32;
  } else if (floats == "0064") {
    header->floatBits = 64;
  } else {
    *error = "bad float size in .x header";
    return false;
  }
  return true;
}

// ---- text tokenizer ----------------------------------------------------------------

// A separator matters only right after a name, where it ends a bare word that would
// otherwise read as an object's type; everywhere else the parser skips it, so it is not
// stored (in a mesh's number lists that halves the tokens).
namespace {
void PushTextSeparator(std::vector<XToken>* tokens)
{
  if (!tokens->empty() && tokens->back().kind == XTokenKind::Name) PushPlain(tokens, XTokenKind::Separator);
}
}  // namespace

// Walks the characters once, emitting a token per word, number, string, guid or brace.
bool TokenizeXText(const uint8_t* data, size_t size, std::vector<XToken>* tokens, std::string* error)
{
  const char* chars = reinterpret_cast<const char*>(data);
  size_t i = kXFileHeaderSize;
  // Room for the usual density of numbers up front: growing a list of this size copies
  // it over fresh memory, which costs more than the parsing itself.
  tokens->reserve(tokens->size() + size / 6);
  while (i < size) {
    const uint8_t c = data[i];
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0' || c == '\f' || c == '\v') {
      ++i;
    } else if (c == '.' && i + 2 < size && data[i + 1] == '.' && data[i + 2] == '.') {
      // "[...]": a template open to any child; the parser skips template bodies.
      PushTextSeparator(tokens);
      i += 3;
    } else if (c == '#' || (c == '/' && i + 1 < size && data[i + 1] == '/')) {
      while (i < size && data[i] != '\n') ++i;
    } else if (c == '{') {
      PushPlain(tokens, XTokenKind::OpenBrace);
      ++i;
    } else if (c == '}') {
      PushPlain(tokens, XTokenKind::CloseBrace);
      ++i;
    } else if (c == ';' || c == ',' || c == '[' || c == ']' || c == '(' || c == ')') {
      PushTextSeparator(tokens);
      ++i;
    } else if (c == '<') {
      const void* close = std::memchr(data + i, '>', size - i);
      if (close == nullptr) {
        *error = "unterminated guid";
        return false;
      }
      PushPlain(tokens, XTokenKind::Guid);
      i = static_cast<size_t>(static_cast<const uint8_t*>(close) - data) + 1;
    } else if (c == '"') {
      const void* close = std::memchr(data + i + 1, '"', size - i - 1);
      if (close == nullptr) {
        *error = "unterminated string";
        return false;
      }
      const size_t end = static_cast<size_t>(static_cast<const uint8_t*>(close) - data);
      PushText(tokens, XTokenKind::String, i + 1, end - i - 1);
      i = end + 1;
    } else if (IsNameStart(c)) {
      const size_t start = i;
      while (i < size && IsNameChar(data[i])) ++i;
      const std::string_view word(chars + start, i - start);
      if (word == "template") {
        PushPlain(tokens, XTokenKind::Template);
      } else {
        PushText(tokens, XTokenKind::Name, start, i - start);
      }
    } else if (IsNumberChar(c)) {
      const size_t start = i;
      while (i < size && IsNumberChar(data[i])) ++i;
      double value = 0.0;
      if (!ParseTextNumber(chars + start, chars + i, &value)) {
        *error = "bad number \"" + std::string(chars + start, i - start) + "\"";
        return false;
      }
      PushNumber(tokens, value);
    } else {
      *error = "unexpected character " + std::to_string(c) + " at byte " + std::to_string(i);
      return false;
    }
  }
  return true;
}

// ---- binary tokenizer --------------------------------------------------------------

namespace {

// Reads an integer list record: its count, checked against the bytes left, then the values.
bool ReadIntegerList(CByteReader* in, std::vector<XToken>* tokens, std::string* error)
{
  uint32_t count = 0;
  if (!in->Dword(&count) || count > in->Left() / 4) {
    *error = "integer list longer than the file";
    return false;
  }
  for (uint32_t k = 0; k < count; ++k) {
    uint32_t v = 0;
    in->Dword(&v);
    PushNumber(tokens, v);
  }
  return true;
}

// Reads a float list record of 4- or 8-byte floats; a value that is not finite is refused.
bool ReadFloatList(CByteReader* in, size_t floatBytes, std::vector<XToken>* tokens, std::string* error)
{
  uint32_t count = 0;
  if (!in->Dword(&count) || count > in->Left() / floatBytes) {
    *error = "float list longer than the file";
    return false;
  }
  for (uint32_t k = 0; k < count; ++k) {
    double v = 0.0;
    if (floatBytes == 8) {
      in->Double(&v);
    } else {
      in->Float(&v);
    }
    if (!std::isfinite(v)) {
      *error = "float list holds a value that is not finite";
      return false;
    }
    PushNumber(tokens, v);
  }
  return true;
}

}  // namespace

// Reads tokens and their records; list counts are checked against the bytes left before use.
bool TokenizeXBinary(const uint8_t* data, size_t size, int floatBits, std::vector<XToken>* tokens, std::string* error)
{
  CByteReader in(data, size, kXFileHeaderSize);
  const size_t floatBytes = floatBits == 64 ? 8 : 4;
  while (in.Left() > 0) {
    uint16_t token = 0;
    if (!in.Word(&token)) {
      *error = "truncated token";
      return false;
    }
    uint32_t count = 0;
    switch (token) {
    case kTokName:
    case kTokString: {
      if (!in.Dword(&count) || count > in.Left()) {
        *error = "name or string runs past the end of the file";
        return false;
      }
      PushText(tokens, token == kTokName ? XTokenKind::Name : XTokenKind::String, in.Pos(), count);
      in.Skip(count);
      // The record layout ends a string with a DWORD ';' or ',' token, the grammar with a
      // WORD one; take the DWORD form here, and a WORD form is read as the next token.
      if (token == kTokString && in.NextDwordIs(kTokSemicolon, kTokComma)) in.Skip(4);
      break;
    }
    case kTokInteger:
      if (!in.Dword(&count)) {
        *error = "truncated integer";
        return false;
      }
      PushNumber(tokens, count);
      break;
    case kTokGuid:
      if (!in.Skip(16)) {
        *error = "truncated guid";
        return false;
      }
      PushPlain(tokens, XTokenKind::Guid);
      break;
    case kTokIntegerList:
      if (!ReadIntegerList(&in, tokens, error)) return false;
      break;
    case kTokFloatList:
      if (!ReadFloatList(&in, floatBytes, tokens, error)) return false;
      break;
    case kTokOpenBrace:
      PushPlain(tokens, XTokenKind::OpenBrace);
      break;
    case kTokCloseBrace:
      PushPlain(tokens, XTokenKind::CloseBrace);
      break;
    case kTokTemplate:
      PushPlain(tokens, XTokenKind::Template);
      break;
    default:
      if ((token >= kTokFirstPunct && token <= kTokLastPunct) || (token >= kTokFirstType && token <= kTokLastType)) {
        PushPlain(tokens, XTokenKind::Separator);
        break;
      }
      *error = "unknown binary token " + std::to_string(token);
      return false;
    }
  }
  return true;
}
