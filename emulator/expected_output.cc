#include "emulator/expected_output.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "emulator/audited_call.h"
#include "emulator/pattern.h"

namespace emulator {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The first line where `got` differs from what is expected, or "".
std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& want,
                            const std::vector<std::string>& patterns) {
  for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
    std::string line = "output line " + std::to_string(i + 1) + ": ";
    if (i >= got.size()) return line + "missing, expected " + Quote(want[i]);
    if (i >= want.size()) return line + "unexpected " + Quote(got[i]);
    if (patterns.empty()) {
      if (got[i] != want[i])
        return line + Quote(got[i]) + ", expected " + Quote(want[i]);
      continue;
    }
    if (i >= patterns.size()) return line + "has no pattern";
    std::string error;
    std::optional<Pattern> pattern = Pattern::Make(patterns[i], error);
    if (!pattern) return line + "bad pattern " + patterns[i] + ": " + error;
    if (!pattern->Matches(got[i]))
      return line + Quote(got[i]) + " does not match " + patterns[i];
    if (!pattern->Matches(want[i]))
      return line + "the sample " + Quote(want[i]) + " does not match " +
             patterns[i];
  }
  return "";
}

}  // namespace

bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::stringstream content;
  content << file.rdbuf();
  text = content.str();
  return true;
}

std::string OutputProblem(const std::string& program_path,
                          const std::string& output) {
  std::string stem = program_path.substr(0, program_path.rfind('.'));
  std::string expected, patterns;
  if (!ReadFile(stem + ".txt", expected))
    return "no " + stem + ".txt; the program printed:\n" + output;
  bool random = ReadFile(stem + ".match", patterns);
  return FirstDifference(Lines(output), Lines(expected),
                         random ? Lines(patterns) : std::vector<std::string>());
}

}  // namespace emulator
