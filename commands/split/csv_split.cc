#include "commands/split/csv_split.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "scan/byte_match.h"
#include "commands/split/split_store.h"

namespace vellum {
namespace {

bool IsCsvWhitespace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;  // 9 to 13
}

// One pass over a record in SplitBuffer, which ends in two NULs: the second
// lets the scan step past the terminator after a field that the source's
// end ended. Words are cut by writing NULs; a quoted field is compacted
// towards its start, so every word starts at its offset in the source.
class CsvCutter {
 public:
  CsvCutter(char separator, bool quoted, char quote)
      : separator_(separator),
        quoted_(quoted),
        quote_(quote),
        field_end_({separator, '\0'}),
        quoted_stop_({quote, separator, '\0'}),
        words_(SplitWords()) {}

  void Cut(std::string_view source) {
    char* p = LoadSplitBuffer(source, 2);
    end_ = p + source.size() + 2;
    while (*p != '\0') {
      if (quoted_ && *p == quote_) {
        p = CutQuotedField(p);
      } else if (IsCsvWhitespace(*p)) {
        ++p;  // whitespace before a field, also before an opening quote
      } else {
        p = CutUnquotedField(p);
      }
    }
  }

 private:
  // `field` is at the field's first byte, which is not whitespace (it may be
  // the separator: an empty field). Returns where the next field may start.
  char* CutUnquotedField(char* field) {
    words_.push_back({field, 0});
    char* end = field_end_.FindFirst(field, end_);
    bool separated = *end == separator_;
    if (separated) {
      words_.back().delimiter = separator_;
      *end = '\0';
    }
    // Trailing whitespace; never before the field's first byte.
    for (char* last = end; last > field && IsCsvWhitespace(last[-1]); --last) {
      last[-1] = '\0';
    }
    char* next = end + 1;
    // The separator was the source's last byte: an empty last word.
    if (separated && *next == '\0') words_.push_back({next, 0});
    return next;
  }

  // `field` is at the opening quote. The word is compacted from `read` to
  // `write`, a doubled quote becoming one; every unpaired quote flips
  // quoting, and the word ends at the last of them, which drops what follows
  // a closing quote. Returns where the next field may start.
  char* CutQuotedField(char* field) {
    char* read = field + 1;
    char* write = read;
    char* last_quote = nullptr;
    bool inside = true;
    words_.push_back({read, 0});
    for (;;) {
      // Bytes that are neither quote, separator nor NUL are copied as a run.
      char* stop = quoted_stop_.FindFirst(read, end_);
      if (write != read) std::memmove(write, read, stop - read);
      write += stop - read;
      read = stop;
      char c = *read;
      if (c == '\0') {
        *write = '\0';  // no closing quote when none was noted
        break;
      }
      if (c == separator_ && !inside) {
        words_.back().delimiter = separator_;
        break;
      }
      if (c == quote_) {
        if (read[1] == quote_) {
          ++read;  // a doubled quote: its second half is dropped
        } else {
          last_quote = write;
          inside = !inside;
        }
      }
      *write++ = c;
      ++read;
    }
    if (last_quote != nullptr) *last_quote = '\0';
    return read + 1;
  }

  const char separator_;
  const bool quoted_;
  const char quote_;
  const ByteMatch field_end_;    // separator or NUL
  const ByteMatch quoted_stop_;  // quote, separator or NUL
  std::vector<SplitWordRecord>& words_;
  const char* end_ = nullptr;    // one past SplitBuffer's second NUL
};

// The first byte of `text`, or `fallback` when it is null or empty.
char FirstByteOr(const char* text, char fallback) {
  return text != nullptr && *text != '\0' ? *text : fallback;
}

}  // namespace
}  // namespace vellum

void SplitCsvString3(const char* source, const char* separator,
                     const char* quote) {
  vellum::RunSplit(source, [=](std::string_view text) {
    char quote_byte = vellum::FirstByteOr(quote, '\0');
    vellum::CsvCutter(vellum::FirstByteOr(separator, ','), quote_byte != '\0',
                      quote_byte)
        .Cut(text);
  });
}

void SplitCsvString(const char* source) {
  SplitCsvString3(source, ",", "\"");
}

void SplitCsvString2(const char* source, const char* separator) {
  SplitCsvString3(source, separator, "\"");
}
