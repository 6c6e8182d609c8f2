#include "commands/split/csv_split.h"

#include <cstring>
#include <string_view>

#include "commands/split/split_store.h"
#include "scan/byte_match.h"

namespace vellum {
namespace {

bool IsCsvWhitespace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;  // 9 to 13
}

// One pass over a record in SplitBuffer, which ends in two NULs: the second
// lets the scan step past the terminator after a field that the source's
// end ended. Each word goes to `Words`; when it cuts, words are cut by
// writing NULs and a quoted field is compacted towards its start, so every
// word starts at its offset in the source. Every write lands behind the
// scan, so a pass that does not cut meets the same words.
template <typename Words>
class CsvScan {
 public:
  CsvScan(char separator, bool quoted, char quote, Words& words)
      : separator_(separator),
        quoted_(quoted),
        quote_(quote),
        field_end_({separator, '\0'}),
        quoted_stop_({quote, separator, '\0'}),
        words_(words) {}

  void Run(char* p, size_t length) {
    end_ = p + length + 2;
    while (*p != '\0') {
      if (quoted_ && *p == quote_) {
        p = ScanQuotedField(p);
      } else if (IsCsvWhitespace(*p)) {
        ++p;  // whitespace before a field, also before an opening quote
      } else {
        p = ScanUnquotedField(p);
      }
    }
  }

 private:
  // `field` is at the field's first byte, which is not whitespace (it may be
  // the separator: an empty field). Returns where the next field may start.
  char* ScanUnquotedField(char* field) {
    words_.Start(field);
    char* end = field_end_.FindFirst(field, end_);
    bool separated = *end == separator_;
    if (separated) words_.End(separator_);
    if constexpr (Words::kCuts) {
      if (separated) *end = '\0';
      // Trailing whitespace; never before the field's first byte.
      for (char* last = end; last > field && IsCsvWhitespace(last[-1]);
           --last) {
        last[-1] = '\0';
      }
    }
    char* next = end + 1;
    // The separator was the source's last byte: an empty last word.
    if (separated && *next == '\0') words_.Start(next);
    return next;
  }

  // `field` is at the opening quote. The word is compacted from `read` to
  // `write`, a doubled quote becoming one; every unpaired quote flips
  // quoting, and the word ends at the last of them, which drops what follows
  // a closing quote. Returns where the next field may start.
  char* ScanQuotedField(char* field) {
    char* read = field + 1;
    char* write = read;
    char* last_quote = nullptr;
    bool inside = true;
    words_.Start(read);
    for (;;) {
      // Bytes that are neither quote, separator nor NUL are copied as a run.
      char* stop = quoted_stop_.FindFirst(read, end_);
      if (Words::kCuts && write != read) std::memmove(write, read, stop - read);
      write += stop - read;
      read = stop;
      char c = *read;
      if (c == '\0') {
        // The word runs to the source's end when no closing quote was noted.
        if constexpr (Words::kCuts) *write = '\0';
        break;
      }
      if (c == separator_ && !inside) {
        words_.End(separator_);
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
      if constexpr (Words::kCuts) *write = c;
      ++write;
      ++read;
    }
    if (Words::kCuts && last_quote != nullptr) *last_quote = '\0';
    return read + 1;
  }

  const char separator_;
  const bool quoted_;
  const char quote_;
  const ByteMatch field_end_;    // separator or NUL
  const ByteMatch quoted_stop_;  // quote, separator or NUL
  Words& words_;
  const char* end_ = nullptr;  // one past SplitBuffer's second NUL
};

// The first byte of `text`, or `fallback` when it is null or empty.
char FirstByteOr(const char* text, char fallback) {
  return text != nullptr && *text != '\0' ? *text : fallback;
}

}  // namespace
}  // namespace vellum

void SplitCsvString3(const char* source, const char* separator,
                     const char* quote) {
  vellum::RunSplit(source, 2, [=](char* text, size_t length, auto& words) {
    char quote_byte = vellum::FirstByteOr(quote, '\0');
    vellum::CsvScan(vellum::FirstByteOr(separator, ','), quote_byte != '\0',
                    quote_byte, words)
        .Run(text, length);
  });
}

void SplitCsvString(const char* source) { SplitCsvString3(source, ",", "\""); }

void SplitCsvString2(const char* source, const char* separator) {
  SplitCsvString3(source, separator, "\"");
}
