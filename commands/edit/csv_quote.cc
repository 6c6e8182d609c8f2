#include "commands/edit/csv_quote.h"

#include <string_view>

#include "commands/edit/splice.h"
#include "host/host_string.h"
#include "scan/quote_scan.h"
#include "scan/short_text.h"

namespace vellum {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether a non-empty `text` must be quoted to read back as one field.
bool NeedsQuotes(std::string_view text, const QuoteCensus& census) {
  return census.quotes > 0 || census.has_comma || IsBlank(text.front()) ||
         text.front() == '=' || IsBlank(text.back());
}

// `text` between quotes with each quote inside doubled; `quote_count` is the
// number of quotes in `text`, so the result is made at its exact size.
HostString QuoteField(std::string_view text, size_t quote_count) {
  HostString result = AllocHostString(static_cast<int64_t>(text.size()) +
                                      static_cast<int64_t>(quote_count) + 3);
  if (result == nullptr) return nullptr;
  result[0] = '"';
  // The copy may run one byte over its end: the closing quote's byte.
  char* out = quote_count == 0 ? AppendPiece(result + 1, text)
                               : CopyDoublingQuotes(result + 1, text);
  out[0] = '"';
  out[1] = '\0';
  return result;
}

}  // namespace

HostString DelimitCsv(HostString old_result, const char* source) {
  return DelimitCsvForce(old_result, source, 0);
}

HostString DelimitCsvForce(HostString old_result, const char* source,
                           int32_t force_flag) {
  std::string_view text = short_text::View(source);
  if (text.empty()) {
    return Finish(old_result,
                  force_flag != 0 ? MakeHostCopy("\"\"") : MakeHostCopy(""));
  }
  const QuoteCensus census = TakeQuoteCensus(text);
  if (force_flag == 0 && !NeedsQuotes(text, census)) {
    return Finish(old_result, MakeHostCopy(text));
  }
  return Finish(old_result, QuoteField(text, census.quotes));
}

HostString QuoteString(HostString old_result, const char* source) {
  return Finish(old_result, Splice("\"", 0, short_text::View(source), "\""));
}

HostString UnQuoteString(HostString old_result, const char* source) {
  std::string_view text = short_text::View(source);
  if (text.empty()) return Finish(old_result, nullptr);
  // A lone quote is both first and last byte; it has no pair to remove.
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') {
    return Finish(old_result, MakeHostCopy(text));
  }
  return Finish(old_result, MakeHostCopy(text.substr(1, text.size() - 2)));
}

}  // namespace vellum
