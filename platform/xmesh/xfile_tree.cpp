// Builds the data-object tree of a .x file from its tokens (see xfile_tree.h).
// The grammar is the same for text and binary files once tokenized:
//   file   := { "template" Name "{" ... "}" | object }
//   object := Name [Name] "{" [Guid] { Number | String | punctuation | object | "{" Name [Guid] "}" } "}"
#include "xfile_tree.h"

// Tokenizes the file by its header's format, then reads the objects at file level.
bool CXFileTree::Parse(const uint8_t* data, size_t size, std::string* error)
{
  data_ = data;
  tokens_.clear();
  objects_.clear();
  topLevel_.clear();
  named_.clear();
  XFileHeader header{};
  if (!ReadXFileHeader(data, size, &header, error)) return false;
  const bool tokenized = header.format == XFileFormat::Text
                             ? TokenizeXText(data, size, &tokens_, error)
                             : TokenizeXBinary(data, size, header.floatBits, &tokens_, error);
  if (!tokenized) return false;

  size_t pos = 0;
  while (pos < tokens_.size()) {
    const XTokenKind kind = tokens_[pos].kind;
    if (kind == XTokenKind::Template) {
      if (!SkipTemplate(&pos, error)) return false;
    } else if (kind == XTokenKind::Name) {
      uint32_t index = 0;
      if (!ParseObject(&pos, 0, &index, error)) return false;
      topLevel_.push_back(index);
    } else if (kind == XTokenKind::Separator) {
      ++pos;
    } else {
      *error = "unexpected token at file level";
      return false;
    }
  }
  for (uint32_t i = 0; i < objects_.size(); ++i) {
    const XDataObject& object = objects_[i];
    if (!object.isReference && !object.name.empty()) named_.emplace(object.name, i);  // first one wins
  }
  return true;
}

// Looks a name up among the named objects.
const XDataObject* CXFileTree::FindNamed(std::string_view name) const
{
  const auto it = named_.find(name);
  return it == named_.end() ? nullptr : &objects_[it->second];
}

// How many number tokens follow one another from pos on.
size_t CXFileTree::NumberRunLength(size_t pos) const
{
  size_t end = pos;
  while (Is(end, XTokenKind::Number)) ++end;
  return end - pos;
}

// Skips "template Name { ... }" by counting braces; its members are not needed.
bool CXFileTree::SkipTemplate(size_t* pos, std::string* error)
{
  size_t p = *pos + 1;
  if (!Is(p, XTokenKind::Name) || !Is(p + 1, XTokenKind::OpenBrace)) {
    *error = "malformed template declaration";
    return false;
  }
  p += 2;
  int depth = 1;
  while (p < tokens_.size() && depth > 0) {
    if (tokens_[p].kind == XTokenKind::OpenBrace) ++depth;
    if (tokens_[p].kind == XTokenKind::CloseBrace) --depth;
    ++p;
  }
  if (depth != 0) {
    *error = "unterminated template declaration";
    return false;
  }
  *pos = p;
  return true;
}

// Reads "{ Name [Guid] }" or "{ Guid }" into a reference child.
bool CXFileTree::ParseReference(size_t* pos, uint32_t* index, std::string* error)
{
  size_t p = *pos + 1;
  XDataObject reference;
  reference.isReference = true;
  if (Is(p, XTokenKind::Name)) {
    reference.name = Text(tokens_[p]);
    ++p;
  }
  if (Is(p, XTokenKind::Guid)) ++p;
  if (!Is(p, XTokenKind::CloseBrace)) {
    *error = "malformed reference";
    return false;
  }
  *pos = p + 1;
  *index = static_cast<uint32_t>(objects_.size());
  objects_.push_back(std::move(reference));
  return true;
}

// Reads one object and, recursively, its children; the object's index is known before its
// children are read so parents always come first.
bool CXFileTree::ParseObject(size_t* pos, int depth, uint32_t* index, std::string* error)
{
  if (depth >= kMaxXNesting) {
    *error = "objects nested too deeply";
    return false;
  }
  size_t p = *pos;
  const uint32_t self = static_cast<uint32_t>(objects_.size());
  objects_.emplace_back();
  objects_[self].type = Text(tokens_[p]);
  ++p;
  if (Is(p, XTokenKind::Name)) {
    objects_[self].name = Text(tokens_[p]);
    ++p;
  }
  if (!Is(p, XTokenKind::OpenBrace)) {
    *error = "expected '{' after \"" + std::string(objects_[self].type) + "\"";
    return false;
  }
  ++p;
  if (Is(p, XTokenKind::Guid)) ++p;
  while (true) {
    if (p >= tokens_.size()) {
      *error = "object \"" + std::string(objects_[self].type) + "\" is not closed";
      return false;
    }
    const XToken& token = tokens_[p];
    uint32_t child = 0;
    switch (token.kind) {
    case XTokenKind::CloseBrace:
      *pos = p + 1;
      *index = self;
      return true;
    case XTokenKind::Number:
      // The first run of numbers is nearly all of them: sized once, not grown by copies.
      if (objects_[self].numbers.empty()) objects_[self].numbers.reserve(NumberRunLength(p));
      objects_[self].numbers.push_back(token.value);
      ++p;
      break;
    case XTokenKind::String:
      objects_[self].strings.push_back(Text(token));
      ++p;
      break;
    case XTokenKind::Separator:
    case XTokenKind::Guid:
      ++p;
      break;
    case XTokenKind::OpenBrace:
      if (!ParseReference(&p, &child, error)) return false;
      objects_[self].children.push_back(child);
      break;
    case XTokenKind::Name: {
      const bool opensObject =
          Is(p + 1, XTokenKind::OpenBrace) || (Is(p + 1, XTokenKind::Name) && Is(p + 2, XTokenKind::OpenBrace));
      if (!opensObject) {
        ++p;  // a bare word among the data: nothing we read uses one
        break;
      }
      if (!ParseObject(&p, depth + 1, &child, error)) return false;
      objects_[self].children.push_back(child);
      break;
    }
    case XTokenKind::Template:
      *error = "template declaration inside an object";
      return false;
    }
  }
}
