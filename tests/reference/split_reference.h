// The splitters as plain references: each word is built as a new string
// from the unchanged source, where the module cuts words in place in its
// working copy. Both follow the same rules, so they must agree on every
// word, position and delimiter.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vellum::reference {

struct Word {
  std::string text;
  size_t offset;   // where the word begins in the source
  char delimiter;  // what ended it; 0 for the end of the source
};

// Every byte of the set ends one word; an empty set gives the whole source
// as one word. An empty source has no words.
std::vector<Word> DelimiterSplit(const std::string& source,
                                 const std::string& delimiters);

// One record of separated fields. `quote` is nullopt when nothing is
// quoted. Doubled quotes collapse to one; a quoted word ends at its last
// unpaired quote, and each unpaired quote toggles whether separators count.
// Whitespace before a word is skipped and after an unquoted one dropped.
std::vector<Word> CsvSplit(const std::string& source, char separator,
                           std::optional<char> quote);

}  // namespace vellum::reference
