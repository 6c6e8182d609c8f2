#include "commands/split/csv_split.h"

#include <cstring>
#include <string_view>

#include "commands/split/split_store.h"
#include "scan/bits.h"
#include "scan/byte_match.h"

namespace vellum {
namespace {

bool IsCsvWhitespace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;  // 9 to 13
}

// The separators among the sixteen bytes at `offset` of the `length` bytes
// at `text`. A block that the source's end cuts short is matched from a copy
// padded with NULs, which are never the separator.
uint32_t TailMask(const ByteMatch& separator, const char* text, size_t length,
                  size_t offset) {
  char tail[16] = {};
  std::memcpy(tail, text + offset, length - offset);
  return separator.Mask16(tail);
}

inline uint32_t SeparatorMask(const ByteMatch& separator, const char* text,
                              size_t length, size_t offset) {
  return length - offset >= 16 ? separator.Mask16(text + offset)
                               : TailMask(separator, text, length, offset);
}

// Where a quoted field's word stops, whether a separator ended the field,
// and where the next field may start.
struct QuotedField {
  char* stop;
  bool separated;
  char* next;
};

// `field` is at the opening quote of a field in SplitBuffer, whose source
// ends at `end`. The word, which begins after the quote, is compacted from
// `read` to `write`, a doubled quote becoming one; every unpaired quote flips
// quoting, and the word ends at the last of them, which drops what follows a
// closing quote. A field that the source's end ends without a closing quote
// keeps the rest of the source.
QuotedField ParseQuotedField(char* field, const char* end, char separator,
                             char quote, const ByteMatch& stops) {
  char* read = field + 1;
  char* write = read;
  char* last_quote = nullptr;
  bool inside = true;
  bool separated = false;
  for (;;) {
    // Bytes that are neither quote, separator nor NUL are copied as a run.
    char* stop = stops.FindFirst(read, end + 2);
    if (write != read) std::memmove(write, read, stop - read);
    write += stop - read;
    read = stop;
    char c = *read;
    if (c == '\0') {
      *write = '\0';
      break;
    }
    if (c == separator && !inside) {
      separated = true;
      break;
    }
    if (c == quote) {
      if (read[1] == quote) {
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
  return {last_quote != nullptr ? last_quote : write, separated, read + 1};
}

// One pass over a record of `length` bytes in SplitBuffer, which ends in two
// NULs: the second lets the scan step past the terminator after a field
// that the source's end ended. Words are cut by writing NULs and a quoted
// field is compacted towards its start, so every word starts at its offset
// in the source; every write lands behind the scan.
//
// An unquoted field ends at the next separator, which comes from one mask
// per sixteen-byte block, made when the scan first reaches the block, as
// SPLIT STRING finds its delimiters: each field takes the next bit instead
// of searching again from its own start. No write reaches a byte at or
// after the scan's place, so the mask still describes those bytes. The
// scan's state, the recorder included, is held in locals: a byte written
// through a char pointer could alias anything the scan kept in memory.
WordRecorder ScanRecord(char* text, size_t length, char separator, bool quoted,
                        char quote, WordRecorder words) {
  const ByteMatch separators({separator});
  const ByteMatch quoted_stops({quote, separator, '\0'});
  char* const end = text + length;
  size_t block = 0;
  uint32_t mask = SeparatorMask(separators, text, length, 0);
  char* p = text;
  while (p < end) {
    if (quoted && *p == quote) {
      words.Start(p + 1);
      QuotedField field =
          ParseQuotedField(p, end, separator, quote, quoted_stops);
      words.Stop(field.stop);
      if (field.separated) words.End(separator);
      p = field.next;
      continue;
    }
    if (IsCsvWhitespace(*p)) {
      ++p;  // whitespace before a field, also before an opening quote
      continue;
    }
    // A run of unquoted fields, each from its first byte (which may be the
    // separator) to the next separator. `hits` holds the separators of the
    // block from the field's start on.
    const auto at = static_cast<size_t>(p - text);
    if (at - block >= 16) {
      block = at & ~size_t{15};
      mask = SeparatorMask(separators, text, length, block);
    }
    uint32_t hits = mask & (~uint32_t{0} << (at - block));
    for (;;) {
      words.Start(p);
      while (hits == 0 && block + 16 < length) {
        block += 16;
        hits = mask = SeparatorMask(separators, text, length, block);
      }
      char* field_end = hits != 0 ? text + block + LowestBit(hits) : end;
      // Trailing whitespace; never before the field's first byte.
      char* stop = field_end;
      for (; stop > p && IsCsvWhitespace(stop[-1]); --stop) stop[-1] = '\0';
      words.Stop(stop);
      if (field_end == end) return words;
      words.End(separator);
      *field_end = '\0';
      p = field_end + 1;
      if (p == end) {
        // The separator was the source's last byte: an empty last word.
        words.Start(p);
        words.Stop(p);
        return words;
      }
      hits &= hits - 1;
      if (IsCsvWhitespace(*p) || (quoted && *p == quote)) break;
    }
  }
  return words;
}

// The first byte of `text`, or `fallback` when it is null or empty.
char FirstByteOr(const char* text, char fallback) {
  return text != nullptr && *text != '\0' ? *text : fallback;
}

}  // namespace
}  // namespace vellum

void SplitCsvString3(const char* source, const char* separator,
                     const char* quote) {
  const char separator_byte = vellum::FirstByteOr(separator, ',');
  const char quote_byte = vellum::FirstByteOr(quote, '\0');
  vellum::RunSplit(
      source, 2,
      // Every word but the last ends at a separator.
      [=](const char* text, size_t length) {
        return vellum::ByteMatch({separator_byte}).Count(text, length) + 1;
      },
      [=](char* text, size_t length, vellum::WordRecorder& words) {
        words = vellum::ScanRecord(text, length, separator_byte,
                                   quote_byte != '\0', quote_byte, words);
      });
}

void SplitCsvString(const char* source) { SplitCsvString3(source, ",", "\""); }

void SplitCsvString2(const char* source, const char* separator) {
  SplitCsvString3(source, separator, "\"");
}
