// A 20 MiB CSV file read line by line as a BASIC program reads it: the
// record's key cut with INSTR and MID$, the line split with SPLIT CSV
// STRING, and each field taken with GET SPLIT WORD$ and TRIM$. Against it, a
// plain C loop that finds the same key and fields byte by byte and makes the
// same host strings. Each line is a string of its own, as the runtime's
// file commands hand lines over; both run against the plain host allocator.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "commands/edit/section_edit.h"
#include "commands/edit/trim.h"
#include "commands/search/search_commands.h"
#include "commands/split/csv_split.h"
#include "commands/split/split_queries.h"
#include "fake_core/fake_core.h"

namespace vellum::bench {
namespace {

constexpr size_t kFileBytes = 20 * kMiB;

// The file's lines, each ended by a NUL in one buffer.
struct CsvFile {
  std::string bytes;
  std::vector<const char*> lines;
};

// About 80 bytes in ten fields: an id, a name with blanks around it, a
// quoted "surname, first name" on every third line, numbers, a date and
// words.
std::string MakeLine(std::mt19937& random, int number) {
  static const char* const kNames[] = {"Smith",  "Jones", "Taylor", "Brown",
                                       "Wilson", "Evans", "Thomas", "Roberts"};
  static const char* const kCities[] = {"London",  "Leeds",   "Manchester",
                                        "Bristol", "Glasgow", "Cardiff"};
  static const char* const kStates[] = {"active", "inactive", "closed"};
  auto pick = [&](auto& list) {
    return std::string(list[random() % (sizeof list / sizeof list[0])]);
  };
  std::string line = std::to_string(100000 + number) + ",";
  line += (number % 2 == 0 ? " " : "") + pick(kNames) + "  ,";
  if (number % 3 == 0) {
    line += "\"" + pick(kNames) + ", " + pick(kNames) + "\",";
  } else {
    line += pick(kNames) + ",";
  }
  line += std::to_string(18 + random() % 70) + "," + pick(kCities) +
          ",England,2024-0" + std::to_string(1 + random() % 9) + "-1" +
          std::to_string(random() % 10) + "," +
          std::to_string(random() % 100000) + "." +
          std::to_string(10 + random() % 90) + ", " + pick(kStates) +
          ",no note";
  return line;
}

const CsvFile& File() {
  static const CsvFile* file = [] {
    auto* made = new CsvFile;
    std::mt19937 random(11);
    for (int number = 0; made->bytes.size() < kFileBytes; ++number) {
      made->bytes += MakeLine(random, number);
      made->bytes += '\0';
    }
    for (size_t at = 0; at < made->bytes.size();
         at += std::strlen(made->bytes.c_str() + at) + 1) {
      made->lines.push_back(made->bytes.c_str() + at);
    }
    return made;
  }();
  return *file;
}

// What each line gives, for the check that both loops agree.
using Strings = std::vector<std::string>;

// Takes a host string; `seen`, when given, gets its bytes.
void Take(HostString text, Strings* seen) {
  if (seen != nullptr) seen->push_back(text != nullptr ? text : "");
  Release(text);
}

void ReadWithCommands(const char* line, Strings* seen) {
  const int32_t comma = Instr_2(line, ",");
  Take(Mid(nullptr, line, 1, comma - 1), seen);
  SplitCsvString(line);
  const int32_t count = SplitCount();
  for (int32_t n = 1; n <= count; ++n) {
    HostString word = SplitWord(nullptr, n);
    HostString trimmed = Trim(nullptr, word);
    Take(word, seen);
    Take(trimmed, seen);
  }
}

// A host string of the `size` bytes at `text`, as the commands make one.
void Copy(HostStringFn allocate, const char* text, size_t size, Strings* seen) {
  HostString copy = nullptr;
  allocate(&copy, static_cast<int32_t>(size + 1));
  std::memcpy(copy, text, size);
  copy[size] = '\0';
  DoNotOptimize(copy);
  Take(copy, seen);
}

// The same record read by hand: the file has no doubled quotes, no quote
// that does not open a field and no blank but the space.
void ReadByHand(HostStringFn allocate, const char* line, Strings* seen) {
  const char* key_end = line;
  while (*key_end != ',') ++key_end;
  Copy(allocate, line, static_cast<size_t>(key_end - line), seen);
  for (const char* at = line;; ++at) {
    while (*at == ' ') ++at;
    const char* start = at;
    const char* end;
    if (*at == '"') {
      start = ++at;
      while (*at != '"') ++at;
      end = at;
      while (*at != ',' && *at != '\0') ++at;
    } else {
      while (*at != ',' && *at != '\0') ++at;
      end = at;
      while (end > start && end[-1] == ' ') --end;
    }
    const auto size = static_cast<size_t>(end - start);
    Copy(allocate, start, size, seen);  // the word
    Copy(allocate, start, size, seen);  // and its trimmed copy
    if (*at == '\0') break;
  }
}

HostStringFn PlainAllocator() {
  InstallPlainHost();
  return reinterpret_cast<HostGlobals*>(FakeCoreGetGlobPtr())->host_string_fn;
}

// Stops the program unless both loops make the same strings from the first
// lines of the file.
void CheckBothAgree() {
  static const bool agreed = [] {
    HostStringFn allocate = PlainAllocator();
    for (size_t i = 0; i < 1000; ++i) {
      Strings by_commands, by_hand;
      ReadWithCommands(File().lines[i], &by_commands);
      ReadByHand(allocate, File().lines[i], &by_hand);
      if (by_commands != by_hand) {
        std::fprintf(stderr, "the CSV loops read line %lu differently: %s\n",
                     static_cast<unsigned long>(i + 1), File().lines[i]);
        std::exit(1);
      }
    }
    return true;
  }();
  DoNotOptimize(agreed);
}

void BM_CsvFile_Commands(State& state) {
  CheckBothAgree();
  InstallPlainHost();
  for (auto _ : state) {
    for (const char* line : File().lines) ReadWithCommands(line, nullptr);
  }
}
BENCHMARK(BM_CsvFile_Commands)->Against("BM_CsvFile_PlainLoop", 1.1);

void BM_CsvFile_PlainLoop(State& state) {
  HostStringFn allocate = PlainAllocator();
  for (auto _ : state) {
    for (const char* line : File().lines) ReadByHand(allocate, line, nullptr);
  }
}
BENCHMARK(BM_CsvFile_PlainLoop);

}  // namespace
}  // namespace vellum::bench
