#include "tests/reference/split_reference.h"

#include <algorithm>

namespace vellum::reference {
namespace {

bool IsCsvWhitespace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

// A quoted word from just after its opening quote at `p`; returns the
// index past its end (its separator, or the end of the source).
size_t QuotedWord(const std::string& source, size_t p, char separator,
                  char quote, Word& word) {
  std::optional<size_t> last_quote;
  bool inside = true;
  size_t r = p;
  for (; r < source.size(); ++r) {
    char b = source[r];
    if (b == separator && !inside) {
      word.delimiter = separator;
      break;
    }
    if (b == quote) {
      if (r + 1 < source.size() && source[r + 1] == quote) {
        ++r;
      } else {
        last_quote = word.text.size();
        inside = !inside;
      }
    }
    word.text += b;
  }
  if (last_quote) word.text.resize(*last_quote);
  return r;
}

}  // namespace

std::vector<Word> DelimiterSplit(const std::string& source,
                                 const std::string& delimiters) {
  std::vector<Word> words;
  if (source.empty()) return words;
  words.push_back({"", 0, 0});
  for (size_t i = 0; i < source.size(); ++i) {
    char c = source[i];
    if (delimiters.find(c) != std::string::npos) {
      words.back().delimiter = c;
      words.push_back({"", i + 1, 0});
    } else {
      words.back().text += c;
    }
  }
  return words;
}

std::vector<Word> CsvSplit(const std::string& source, char separator,
                           std::optional<char> quote) {
  std::vector<Word> words;
  size_t p = 0;
  while (p < source.size()) {
    char c = source[p];
    if (quote && c == *quote) {
      Word word{"", p + 1, 0};
      p = QuotedWord(source, p + 1, separator, *quote, word) + 1;
      words.push_back(word);
    } else if (IsCsvWhitespace(c)) {
      ++p;
    } else {
      Word word{"", p, 0};
      size_t e = source.find(separator, p);
      if (e != std::string::npos) word.delimiter = separator;
      e = std::min(e, source.size());
      word.text = source.substr(p, e - p);
      while (!word.text.empty() && IsCsvWhitespace(word.text.back())) {
        word.text.pop_back();
      }
      words.push_back(word);
      p = e + 1;
      // A separator at the very end leaves one more, empty word.
      if (p == source.size() && word.delimiter == separator) {
        words.push_back({"", p, 0});
      }
    }
  }
  return words;
}

}  // namespace vellum::reference
