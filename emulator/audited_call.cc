#include "emulator/audited_call.h"

#include <cstring>
#include <memory>

#include "fake_core/fake_core.h"
#include "host/core_interface.h"

namespace emulator {
namespace {

using Word = uintptr_t;

// Every export takes machine words pushed by the caller, who removes them.
Word CallExport(void* function, const std::vector<Word>& w) {
  switch (w.size()) {
    case 0: return reinterpret_cast<Word (*)()>(function)();
    case 1: return reinterpret_cast<Word (*)(Word)>(function)(w[0]);
    case 2: return reinterpret_cast<Word (*)(Word, Word)>(function)(w[0], w[1]);
    case 3:
      return reinterpret_cast<Word (*)(Word, Word, Word)>(function)(w[0], w[1], w[2]);
    case 4:
      return reinterpret_cast<Word (*)(Word, Word, Word, Word)>(function)(
          w[0], w[1], w[2], w[3]);
    default:
      return reinterpret_cast<Word (*)(Word, Word, Word, Word, Word)>(function)(
          w[0], w[1], w[2], w[3], w[4]);
  }
}

bool IsCharacterConstant(const std::string& export_name) {
  return export_name == "Tab" || export_name == "LF" || export_name == "CR" ||
         export_name == "CRLF" || export_name == "Quote";
}

}  // namespace

CallOutcome RunAudited(const LoadedModule& module, const CommandRow& row,
                       const std::vector<Value>& arguments,
                       bool pass_old_result) {
  CallOutcome outcome;
  auto& violations = outcome.violations;
  void* function = module.Export(row.export_name);
  if (function == nullptr) {
    violations.push_back("export " + row.export_name + " not found");
    return outcome;
  }

  std::vector<std::unique_ptr<GuardedString>> strings;
  std::vector<std::pair<const char*, std::string>> originals;
  std::vector<Word> words;
  char* old_result = nullptr;
  if (row.returns_string()) {
    if (pass_old_result) old_result = FakeCoreMakeString("old result");
    words.push_back(reinterpret_cast<Word>(old_result));
  }
  for (size_t i = 0; i < arguments.size(); ++i) {
    const Value& value = arguments[i];
    if (value.kind == Value::kString) {
      strings.push_back(std::make_unique<GuardedString>(value.text));
      originals.emplace_back(strings.back()->data(), value.text);
      words.push_back(reinterpret_cast<Word>(strings.back()->data()));
    } else if (value.kind == Value::kInteger) {
      // Integers travel as 32-bit words.
      words.push_back(static_cast<Word>(static_cast<uint32_t>(value.integer)));
    } else {
      words.push_back(0);
    }
  }

  int32_t live_before = FakeCoreLiveStrings();
  FakeCoreBeginCall();
  Word result = CallExport(function, words);
  outcome.error = FakeCoreErrorWord();

  for (const auto& [address, text] : originals) {
    if (std::memcmp(address, text.c_str(), text.size() + 1) != 0) {
      violations.push_back("a string argument was changed");
    }
  }

  int allocations = 0, releases = 0;
  int allocation_index = -1, release_index = -1;
  for (int32_t i = 0; i < FakeCoreEventCount(); ++i) {
    const FakeCoreEvent& event = *FakeCoreEventAt(i);
    if (event.faults & kFaultHandleNotZero)
      violations.push_back("allocation with a handle word that was not 0");
    if (event.faults & kFaultFreeNull)
      violations.push_back("a null handle was given back");
    if (event.faults & kFaultFreeNotLive)
      violations.push_back("gave back a string the host never made");
    if (event.kind == kFakeCoreAlloc) {
      ++allocations;
      allocation_index = i;
    } else {
      ++releases;
      release_index = i;
      if (event.address != old_result)
        violations.push_back("gave back something other than the old result");
    }
  }

  if (!row.returns_string()) {
    outcome.integer = static_cast<int32_t>(result);
    if (allocations || releases)
      violations.push_back("an integer function or command used the allocator");
  } else {
    char* text = reinterpret_cast<char*>(result);
    outcome.is_null = text == nullptr;
    if (text) outcome.text = text;
    if (text && allocations != 1)
      violations.push_back(std::to_string(allocations) +
                           " allocations for one result");
    if (!text && allocations != 0)
      violations.push_back("allocated but returned null");
    if (text && allocations == 1) {
      const FakeCoreEvent& made = *FakeCoreEventAt(allocation_index);
      if (made.address != text)
        violations.push_back("the result is not the string allocated");
      else if (made.size != static_cast<int32_t>(std::strlen(text) + 1))
        violations.push_back("allocated " + std::to_string(made.size) +
                             " bytes for a result of " +
                             std::to_string(std::strlen(text)));
    }
    if (old_result && releases != 1)
      violations.push_back("the old result was given back " +
                           std::to_string(releases) + " times");
    if (!old_result && releases != 0)
      violations.push_back("gave something back for a null old result");
    if (old_result && releases == 1 && text && allocations == 1) {
      const FakeCoreEvent& release = *FakeCoreEventAt(release_index);
      bool first = release_index < allocation_index;
      if (IsCharacterConstant(row.export_name)) {
        if (!first)
          violations.push_back("a character constant gave the old result back last");
      } else if (first) {
        violations.push_back("the old result went back before the new one was made");
      } else if ((release.faults & kFaultResultIncomplete) ||
                 release.pending !=
                     FakeCoreHash(text, static_cast<int32_t>(std::strlen(text) + 1))) {
        violations.push_back("the old result went back before the new one was complete");
      }
    }
    if (text) FakeCoreGiveBack(text);
  }
  if (old_result && releases == 0) FakeCoreGiveBack(old_result);
  // Everything made for this call is gone again: the old result (given back
  // by the module or, when it failed to, here) and the result.
  if (FakeCoreLiveStrings() != live_before - (old_result ? 1 : 0))
    violations.push_back("host strings leaked");
  return outcome;
}

std::string Describe(const CommandRow& row, const CallOutcome& outcome) {
  std::string out;
  if (row.returns_string())
    out = outcome.is_null ? " = null" : " = " + Quote(outcome.text);
  else if (row.is_function)
    out = " = " + std::to_string(outcome.integer);
  if (outcome.error != 0) out += " ! " + std::to_string(outcome.error);
  return out;
}

}  // namespace emulator
