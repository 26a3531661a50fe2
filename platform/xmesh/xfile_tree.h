// The data objects of a .x file as a tree, without knowing any template: each object
// keeps its template name, its own name, its numbers and strings in file order, and
// its children (nested objects and { Name } references) in file order.
// Limits: nesting deeper than kMaxXNesting fails the parse; template declarations are
// skipped, not checked. Names and strings point into the caller's bytes.
// Depends on xfile_tokens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "xfile_tokens.h"

// Deeper nesting than this is treated as a malformed file (keeps the recursion bounded).
constexpr int kMaxXNesting = 48;

struct XDataObject {
  std::string_view type;        // template name ("Mesh"); empty for a reference
  std::string_view name;        // the object's own name, or the referenced name
  bool isReference = false;     // a { Name } child standing for a named object
  std::vector<double> numbers;  // every number of the object's own data, in order
  std::vector<std::string_view> strings;
  std::vector<uint32_t> children;  // indices into CXFileTree::Objects()
};

class CXFileTree {
public:
  // Reads the header, tokens and objects of a whole file; false with a reason when malformed.
  bool Parse(const uint8_t* data, size_t size, std::string* error);
  // Every object, parents before their children.
  const std::vector<XDataObject>& Objects() const { return objects_; }
  // The objects at file level, in file order.
  const std::vector<uint32_t>& TopLevel() const { return topLevel_; }
  // The first object in file order with this name, or null (how references are resolved).
  const XDataObject* FindNamed(std::string_view name) const;

private:
  bool ParseObject(size_t* pos, int depth, uint32_t* index, std::string* error);
  bool ParseReference(size_t* pos, uint32_t* index, std::string* error);
  bool SkipTemplate(size_t* pos, std::string* error);
  size_t NumberRunLength(size_t pos) const;
  std::string_view Text(const XToken& token) const { return XTokenText(data_, token); }
  bool Is(size_t pos, XTokenKind kind) const { return pos < tokens_.size() && tokens_[pos].kind == kind; }

  const uint8_t* data_ = nullptr;
  std::vector<XToken> tokens_;
  std::vector<XDataObject> objects_;
  std::vector<uint32_t> topLevel_;
  std::unordered_map<std::string_view, uint32_t> named_;
};
