#include "emulator/audited_call.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <utility>

#include "emulator/guarded_string.h"
#include "fake_core/fake_core.h"

namespace emulator {
namespace {

using Word = uintptr_t;

// The words a call pushes, with what the audit needs to check afterwards.
struct MarshalledCall {
  std::vector<Word> words;
  // Each string argument ends at an unreadable page; kept with the text it
  // must still hold after the call.
  std::vector<std::pair<std::unique_ptr<GuardedString>, std::string>> strings;
  char* old_result = nullptr;  // the live old result passed, if any
};

// How the call used the host allocator, from the fake core's events.
struct AllocatorUse {
  int allocations = 0;
  int releases = 0;
  int last_allocation = -1;  // event indexes
  int last_release = -1;
};

MarshalledCall Marshal(const table::CommandRow& row,
                       const std::vector<Value>& arguments,
                       bool pass_old_result) {
  MarshalledCall call;
  if (row.returns_string()) {
    if (pass_old_result) call.old_result = FakeCoreMakeString("old result");
    call.words.push_back(reinterpret_cast<Word>(call.old_result));
  }
  for (const Value& value : arguments) {
    if (value.kind == Value::kString) {
      auto string = std::make_unique<GuardedString>(value.text);
      call.words.push_back(reinterpret_cast<Word>(string->data()));
      call.strings.emplace_back(std::move(string), value.text);
    } else if (value.kind == Value::kInteger) {
      // Integers travel as 32-bit words.
      call.words.push_back(
          static_cast<Word>(static_cast<uint32_t>(value.integer)));
    } else {
      call.words.push_back(0);
    }
  }
  return call;
}

// Every export takes machine words pushed by the caller, who removes them.
Word CallExport(void* function, const std::vector<Word>& w) {
  switch (w.size()) {
    case 0:
      return reinterpret_cast<Word (*)()>(function)();
    case 1:
      return reinterpret_cast<Word (*)(Word)>(function)(w[0]);
    case 2:
      return reinterpret_cast<Word (*)(Word, Word)>(function)(w[0], w[1]);
    case 3:
      return reinterpret_cast<Word (*)(Word, Word, Word)>(function)(w[0], w[1],
                                                                    w[2]);
    case 4:
      return reinterpret_cast<Word (*)(Word, Word, Word, Word)>(function)(
          w[0], w[1], w[2], w[3]);
    default:
      return reinterpret_cast<Word (*)(Word, Word, Word, Word, Word)>(function)(
          w[0], w[1], w[2], w[3], w[4]);
  }
}

void AuditArguments(const MarshalledCall& call,
                    std::vector<std::string>& violations) {
  for (const auto& [string, text] : call.strings) {
    if (std::memcmp(string->data(), text.c_str(), text.size() + 1) != 0) {
      violations.push_back("a string argument was changed");
    }
  }
}

AllocatorUse AuditEvents(const char* old_result,
                         std::vector<std::string>& violations) {
  AllocatorUse use;
  for (int32_t i = 0; i < FakeCoreEventCount(); ++i) {
    const FakeCoreEvent& event = *FakeCoreEventAt(i);
    if (event.faults & kFaultHandleNotZero)
      violations.push_back("allocation with a handle word that was not 0");
    if (event.faults & kFaultFreeNull)
      violations.push_back("a null handle was given back");
    if (event.faults & kFaultFreeNotLive)
      violations.push_back("gave back a string the host never made");
    if (event.kind == kFakeCoreAlloc) {
      ++use.allocations;
      use.last_allocation = i;
    } else {
      ++use.releases;
      use.last_release = i;
      if (event.address != old_result)
        violations.push_back("gave back something other than the old result");
    }
  }
  return use;
}

// A non-null result must be the one string allocated, at exactly its size.
void AuditResultAllocation(const char* text, const AllocatorUse& use,
                           std::vector<std::string>& violations) {
  if (text && use.allocations != 1)
    violations.push_back(std::to_string(use.allocations) +
                         " allocations for one result");
  if (!text && use.allocations != 0)
    violations.push_back("allocated but returned null");
  if (!text || use.allocations != 1) return;
  const FakeCoreEvent& made = *FakeCoreEventAt(use.last_allocation);
  if (made.address != text)
    violations.push_back("the result is not the string allocated");
  else if (made.size != static_cast<int32_t>(std::strlen(text) + 1))
    violations.push_back("allocated " + std::to_string(made.size) +
                         " bytes for a result of " +
                         std::to_string(std::strlen(text)));
}

// The old result goes back exactly once: first for a character constant,
// otherwise last, after the new result is complete.
void AuditGiveBack(const table::CommandRow& row, const char* text,
                   const char* old_result, const AllocatorUse& use,
                   std::vector<std::string>& violations) {
  if (old_result && use.releases != 1)
    violations.push_back("the old result was given back " +
                         std::to_string(use.releases) + " times");
  if (!old_result && use.releases != 0)
    violations.push_back("gave something back for a null old result");
  if (!old_result || use.releases != 1 || !text || use.allocations != 1) return;
  const FakeCoreEvent& release = *FakeCoreEventAt(use.last_release);
  bool first = use.last_release < use.last_allocation;
  if (row.is_character_constant()) {
    if (!first)
      violations.push_back(
          "a character constant gave the old result back last");
  } else if (first) {
    violations.push_back(
        "the old result went back before the new one was made");
  } else if ((release.faults & kFaultResultIncomplete) ||
             release.pending !=
                 FakeCoreHash(text,
                              static_cast<int32_t>(std::strlen(text) + 1))) {
    violations.push_back(
        "the old result went back before the new one was complete");
  }
}

// Reads the result into `outcome` and audits what the call did with the
// host's strings.
void AuditResult(const table::CommandRow& row, const MarshalledCall& call,
                 Word result, CallOutcome& outcome) {
  auto& violations = outcome.violations;
  AuditArguments(call, violations);
  AllocatorUse use = AuditEvents(call.old_result, violations);
  if (!row.returns_string()) {
    outcome.integer = static_cast<int32_t>(result);
    if (use.allocations || use.releases)
      violations.push_back("an integer function or command used the allocator");
    return;
  }
  char* text = reinterpret_cast<char*>(result);
  outcome.is_null = text == nullptr;
  if (text) outcome.text = text;
  AuditResultAllocation(text, use, violations);
  AuditGiveBack(row, text, call.old_result, use, violations);
  if (text) FakeCoreGiveBack(text);
  if (call.old_result && use.releases == 0) FakeCoreGiveBack(call.old_result);
}

}  // namespace

CallOutcome RunAudited(const LoadedModule& module, const table::CommandRow& row,
                       const std::vector<Value>& arguments,
                       bool pass_old_result) {
  CallOutcome outcome;
  void* function = module.Export(row.export_name);
  if (function == nullptr) {
    outcome.violations.push_back("export " + row.export_name + " not found");
    return outcome;
  }
  MarshalledCall call = Marshal(row, arguments, pass_old_result);
  int32_t live_before = FakeCoreLiveStrings();
  FakeCoreBeginCall();
  Word result = CallExport(function, call.words);
  outcome.error = FakeCoreErrorWord();
  AuditResult(row, call, result, outcome);
  // Everything made for this call is gone again: the old result (given back
  // by the module or, when it failed to, by the audit) and the result.
  if (FakeCoreLiveStrings() != live_before - (call.old_result ? 1 : 0))
    outcome.violations.push_back("host strings leaked");
  return outcome;
}

std::string Describe(const table::CommandRow& row, const CallOutcome& outcome) {
  std::string out;
  if (row.returns_string())
    out = outcome.is_null ? " = null" : " = " + Quote(outcome.text);
  else if (row.is_function)
    out = " = " + std::to_string(outcome.integer);
  if (outcome.error != 0) out += " ! " + std::to_string(outcome.error);
  return out;
}

std::string Quote(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char c : bytes) {
    auto b = static_cast<unsigned char>(c);
    const Escape* escape =
        std::find_if(std::begin(kEscapes), std::end(kEscapes),
                     [c](const Escape& e) { return e.byte == c; });
    if (escape != std::end(kEscapes)) {
      out += '\\';
      out += escape->letter;
    } else if (b < 0x20 || b >= 0x7F) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    } else {
      out += c;
    }
  }
  return out + "\"";
}

}  // namespace emulator
