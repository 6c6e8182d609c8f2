// Whole-string patterns for results that differ from run to run, as the case
// files (=~ "...") and the help examples' .match files write them:
//   literal bytes; escapes \xHH \n \r \t and \ before any punctuation (\. \(
//   \\); .  any byte but \n and \r;  [abc] [a-z] [^...] byte classes; ( )
//   groups, | alternatives;  * + ? {n} {n,} {n,m} repetition.
// Anything else is refused when the pattern is made, so that a pattern the
// matcher would misread fails as an error rather than matching wrongly.
//
// Matching runs the pattern as a set of states over the subject, one byte at
// a time: the time is the subject's length times the pattern's size, and
// neither recursion nor backtracking grows with the subject, so a megabyte
// result matches on a small stack.
#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace emulator {

class Pattern {
 public:
  // The pattern of `text`, or nullopt with `error` saying what is wrong.
  static std::optional<Pattern> Make(const std::string& text,
                                     std::string& error);

  // True when the whole of `subject` matches.
  bool Matches(const std::string& subject) const;

  // One step of the state machine. kSet consumes a byte of sets_[set] and
  // goes on to the next step; kSplit goes on to both `next` and `other`;
  // kJump to `next`; kAccept ends a match.
  struct Step {
    enum Op : uint8_t { kSet, kSplit, kJump, kAccept } op;
    uint32_t set = 0;
    uint32_t next = 0;
    uint32_t other = 0;
  };
  // The standard bitset, not the module's ByteSet (scan/byte_set.h): the
  // emulator judges the module's answers, so it shares none of its code,
  // and a class needs the complement and the removal that ByteSet leaves out.
  using ByteSet = std::bitset<256>;

 private:
  Pattern() = default;
  friend class PatternCompiler;

  std::vector<Step> steps_;
  std::vector<ByteSet> sets_;
};

}  // namespace emulator
