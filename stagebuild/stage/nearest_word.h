// The known word a misspelt one was most likely meant to be, for "did you mean" hints.
#pragma once

#include <string>
#include <vector>

namespace stagebuild {

// The known word fewest single-letter edits away (case ignored), if it is within a
// third of the word's length (at least 2); empty otherwise or for words over 64 bytes.
std::string NearestWord(const std::string& word, const std::vector<std::string>& known);

}  // namespace stagebuild
