// Edit distance between short words, one row at a time.
#include "stage/nearest_word.h"

#include <algorithm>
#include <cctype>

namespace stagebuild {

namespace {

// Longer words are not words a person typed: no hint, and no quadratic work on them.
const size_t kLongestWord = 64;

// Levenshtein distance with letters compared without case.
size_t EditDistance(const std::string& a, const std::string& b)
{
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same =
          std::tolower(static_cast<unsigned char>(a[i - 1])) == std::tolower(static_cast<unsigned char>(b[j - 1]));
      const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
      diagonal = row[j];
      row[j] = next;
    }
  }
  return row[b.size()];
}

}  // namespace

// The nearest known word, ties going to the first listed.
std::string NearestWord(const std::string& word, const std::vector<std::string>& known)
{
  if (word.empty() || word.size() > kLongestWord) return "";
  const size_t allowed = std::max<size_t>(2, word.size() / 3);
  std::string best;
  size_t bestDistance = allowed + 1;
  for (const std::string& candidate : known) {
    const size_t d = EditDistance(word, candidate);
    if (d < bestDistance) {
      bestDistance = d;
      best = candidate;
    }
  }
  return best;
}

}  // namespace stagebuild
