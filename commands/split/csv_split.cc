#include "commands/split/csv_split.h"

#include <emmintrin.h>

#include <cstring>
#include <string_view>

#include "commands/split/split_store.h"
#include "scan/bits.h"
#include "scan/byte_match.h"
#include "scan/byte_set.h"

namespace vellum {
namespace {

bool IsCsvWhitespace(char c) {
  return c == ' ' || static_cast<unsigned char>(c - '\t') < 5;  // 9 to 13
}

// What the scan of unquoted fields needs to know of a sixteen-byte block:
// bit i of `separators` is set when byte i is the separator, and of
// `careful` when that separator needs the field-by-field steps, because
// whitespace before it must be trimmed, or whitespace, a quote or the
// source's end after it means that the next field is not a plain run.
struct Block {
  uint32_t separators;
  uint32_t careful;
};

class BlockReader {
 public:
  BlockReader(char separator, bool quoted, char quote)
      : separator_(_mm_set1_epi8(separator)),
        quote_(_mm_set1_epi8(quoted ? quote : separator)),
        quote_byte_(quote),
        quoted_(quoted) {
    unusual_starts_ = ByteSet(" \t\n\v\f\r");
    if (quoted) unusual_starts_.add(quote);
  }

  // True when a field that begins with `byte` is no plain run.
  bool UnusualStart(char byte) const { return unusual_starts_.contains(byte); }

  // The block at `offset` of the `length` bytes at `text`. A block that the
  // source's end cuts short is read from a copy padded with NULs, which are
  // neither separator nor quote.
  Block Read(const char* text, size_t length, size_t offset) const {
    const size_t left = length - offset;
    __m128i bytes;
    if (left >= 16) {
      bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + offset));
    } else {
      alignas(16) char tail[16] = {};
      std::memcpy(tail, text + offset, left);
      bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(tail));
    }
    // Every byte up to the space counts as whitespace here, which takes two
    // instructions where 9 to 13 and 32 exactly take five. A separator next
    // to another control byte is then careful for nothing: the careful
    // steps test each byte exactly, and such bytes are rare in text.
    const __m128i space = _mm_set1_epi8(' ');
    const uint32_t spaces =
        Bits(_mm_cmpeq_epi8(_mm_max_epu8(bytes, space), space));
    const uint32_t separators = Bits(_mm_cmpeq_epi8(bytes, separator_));
    const uint32_t unusual =
        quoted_ ? spaces | Bits(_mm_cmpeq_epi8(bytes, quote_)) : spaces;
    uint32_t before = spaces << 1;
    if (offset > 0 && UpToSpace(text[offset - 1])) before |= 1;
    uint32_t after = unusual >> 1;
    if (left > 16) {
      const char next = text[offset + 16];
      if (UpToSpace(next) || (quoted_ && next == quote_byte_)) {
        after |= 1u << 15;
      }
    } else {
      after |= 1u << (left - 1);  // the source's last byte
    }
    return {separators, separators & (before | after)};
  }

 private:
  static bool UpToSpace(char byte) {
    return static_cast<unsigned char>(byte) <= ' ';
  }
  static uint32_t Bits(__m128i matches) {
    return static_cast<uint32_t>(_mm_movemask_epi8(matches));
  }

  __m128i separator_;
  __m128i quote_;
  char quote_byte_;
  bool quoted_;
  ByteSet unusual_starts_{""};
};

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
                             char quote) {
  const ByteMatch stops({quote, separator, '\0'});
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

// The closing quote of the quoted field at `field` when it comes within the
// next sixteen bytes and right before a separator: the commonest quoted
// field, whose word needs no compacting. Null otherwise. The source, which
// ends at `end`, must hold those sixteen bytes.
inline char* ShortQuotedClose(char* field, const ByteMatch& quotes,
                              char separator) {
  const uint32_t closes = quotes.Mask16(field + 1);
  if (closes == 0) return nullptr;
  char* close = field + 1 + LowestBit(closes);
  return close[1] == separator ? close : nullptr;
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
  const BlockReader reader(separator, quoted, quote);
  const ByteMatch quotes({quote});
  // A quote that is also the separator reads as a doubled quote after a
  // closing one, so those fields all take the general steps.
  const bool short_quotes = quoted && quote != separator;
  char* const end = text + length;
  size_t offset = 0;
  Block block = reader.Read(text, length, 0);
  char* p = text;
  while (p < end) {
    if (quoted && *p == quote) {
      words.Start(p + 1);
      char* close = short_quotes && end - p >= 16
                        ? ShortQuotedClose(p, quotes, separator)
                        : nullptr;
      if (close != nullptr) {
        *close = '\0';
        words.Stop(close);
        words.End(separator);
        p = close + 2;
        continue;
      }
      QuotedField field = ParseQuotedField(p, end, separator, quote);
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
    if (at - offset >= 16) {
      offset = at & ~size_t{15};
      block = reader.Read(text, length, offset);
    }
    uint32_t hits = block.separators & (~uint32_t{0} << (at - offset));
    words.Start(p);
    for (;;) {
      while (hits == 0 && offset + 16 < length) {
        offset += 16;
        block = reader.Read(text, length, offset);
        hits = block.separators;
      }
      if (hits == 0) {
        // No separator is left: the field runs to the source's end.
        char* stop = end;
        for (; stop > p && IsCsvWhitespace(stop[-1]); --stop) stop[-1] = '\0';
        words.Stop(stop);
        return words;
      }
      // Each separator takes one test of its careful bit: one branch per
      // separator mispredicts less than a run of plain ones that stops at
      // the first careful one and is then entered again.
      const unsigned bit = LowestBit(hits);
      char* const cut = text + offset + bit;
      hits &= hits - 1;
      if ((block.careful >> bit & 1) == 0) {
        // A plain run's end: cut as SPLIT STRING cuts at a delimiter.
        words.Stop(cut);
        words.End(separator);
        *cut = '\0';
        p = cut + 1;
        words.Start(p);
        continue;
      }
      // A careful separator: the field before it is trimmed, and the next
      // field may begin otherwise than with a plain byte.
      char* stop = cut;
      for (; stop > p && IsCsvWhitespace(stop[-1]); --stop) stop[-1] = '\0';
      words.Stop(stop);
      words.End(separator);
      *cut = '\0';
      p = cut + 1;
      if (p == end) {
        // The separator was the source's last byte: an empty last word.
        words.Start(p);
        words.Stop(p);
        return words;
      }
      if (short_quotes && *p == quote && end - p >= 16) {
        // A short quoted field, taken without leaving the run: the
        // separators up to the one after it are passed over.
        if (char* close = ShortQuotedClose(p, quotes, separator)) {
          words.Start(p + 1);
          *close = '\0';
          words.Stop(close);
          words.End(separator);
          p = close + 2;
          if (p == end) return words;
          // The run goes on from the block that holds the next field, read
          // again even when it is the same one: whether the field crossed
          // into the next block is a coin toss that a branch would lose.
          const auto at = static_cast<size_t>(p - text);
          offset = at & ~size_t{15};
          block = reader.Read(text, length, offset);
          hits = block.separators & (~uint32_t{0} << (at - offset));
        }
      }
      if (reader.UnusualStart(*p)) break;
      words.Start(p);
    }
  }
  return words;
}

// The first byte of `text`, or `fallback` when it is null or empty.
char FirstByteOr(const char* text, char fallback) {
  return text != nullptr && *text != '\0' ? *text : fallback;
}

}  // namespace

void SplitCsvString3(const char* source, const char* separator,
                     const char* quote) {
  const char separator_byte = FirstByteOr(separator, ',');
  const char quote_byte = FirstByteOr(quote, '\0');
  RunSplit(
      source, 2,
      // Every word but the last ends at a separator.
      [=](const char* text, size_t length) {
        return ByteMatch({separator_byte}).Count(text, length) + 1;
      },
      [=](char* text, size_t length, WordRecorder& words) {
        words = ScanRecord(text, length, separator_byte, quote_byte != '\0',
                           quote_byte, words);
      });
}

void SplitCsvString(const char* source) { SplitCsvString3(source, ",", "\""); }

void SplitCsvString2(const char* source, const char* separator) {
  SplitCsvString3(source, separator, "\"");
}

}  // namespace vellum
