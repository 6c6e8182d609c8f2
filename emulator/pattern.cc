#include "emulator/pattern.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <utility>

namespace emulator {
namespace {

// Counted repetition copies its body, so a pattern's size is capped where
// a typo like x{100000000} would otherwise exhaust memory.
constexpr size_t kMaxSteps = size_t{1} << 21;
constexpr int kMaxCount = 2'000'000;
// Groups nest at most this deep: the parser recurses once per group.
constexpr int kMaxNesting = 100;
constexpr int kUnbounded = -1;

class PatternError : public std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The pattern as parsed, before it becomes steps.
struct Node {
  enum Kind { kSet, kSequence, kAlternatives, kRepeat } kind;
  explicit Node(Kind k) : kind(k) {}
  uint32_t set = 0;         // kSet: the index of its byte set
  std::vector<Node> parts;  // kRepeat: one, the body
  int min = 0, max = 0;     // kRepeat; max may be kUnbounded
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

class PatternCompiler {
 public:
  explicit PatternCompiler(const std::string& text) : text_(text) {}

  Pattern Compile() {
    Node root = Alternatives(0);
    if (at_ < text_.size()) Fail("unbalanced ')'");
    uint64_t size = StepsOf(root) + 1;
    if (size > kMaxSteps)
      Fail("pattern too large once its counts are expanded");
    pattern_.steps_.reserve(size);
    Emit(root);
    Add({Pattern::Step::kAccept});
    return std::move(pattern_);
  }

  size_t at() const { return at_; }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    throw PatternError(what);
  }
  bool AtEnd() const { return at_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[at_]; }

  // ---- parsing ----------------------------------------------------------

  Node Alternatives(int depth) {
    if (depth > kMaxNesting) Fail("groups nested too deeply");
    Node either(Node::kAlternatives);
    either.parts.push_back(Sequence(depth));
    while (Peek() == '|') {
      ++at_;
      either.parts.push_back(Sequence(depth));
    }
    return either.parts.size() == 1 ? std::move(either.parts[0]) : either;
  }

  Node Sequence(int depth) {
    Node sequence(Node::kSequence);
    while (!AtEnd() && Peek() != '|' && Peek() != ')') {
      Node atom = Atom(depth);
      sequence.parts.push_back(Quantified(std::move(atom)));
    }
    return sequence;
  }

  Node Atom(int depth) {
    char c = text_[at_++];
    switch (c) {
      case '(': {
        Node group = Alternatives(depth + 1);
        if (Peek() != ')') Fail("unclosed '('");
        ++at_;
        return group;
      }
      case '[':
        return SetNode(Class());
      case '.': {
        Pattern::ByteSet any;
        any.set();
        any.reset('\n');
        any.reset('\r');
        return SetNode(any);
      }
      case '\\':
        return SetNode(Pattern::ByteSet().set(Escape()));
      case '*':
      case '+':
      case '?':
      case '{':
        Fail(std::string("'") + c + "' repeats nothing");
      case '^':
      case '$':
        Fail(std::string("anchor '") + c +
             "' is not supported; patterns match the whole result");
      default:
        return SetNode(Pattern::ByteSet().set(static_cast<unsigned char>(c)));
    }
  }

  Node Quantified(Node body) {
    int min = 0, max = 0;
    switch (Peek()) {
      case '*':
        min = 0, max = kUnbounded;
        break;
      case '+':
        min = 1, max = kUnbounded;
        break;
      case '?':
        min = 0, max = 1;
        break;
      case '{':
        break;
      default:
        return body;
    }
    if (text_[at_++] == '{') {
      min = max = Count();
      if (Peek() == ',') {
        ++at_;
        max = Peek() == '}' ? kUnbounded : Count();
      }
      if (Peek() != '}') Fail("'{' without its '}'");
      ++at_;
      if (max != kUnbounded && max < min)
        Fail("repetition {n,m} with m below n");
    }
    if (!AtEnd() && std::string("*+?{").find(Peek()) != std::string::npos) {
      Fail("a repetition repeated");
    }
    Node repeat(Node::kRepeat);
    repeat.parts.push_back(std::move(body));
    repeat.min = min;
    repeat.max = max;
    return repeat;
  }

  int Count() {
    if (!std::isdigit(static_cast<unsigned char>(Peek())))
      Fail("a count expected after '{'");
    long long n = 0;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) {
      n = n * 10 + (text_[at_++] - '0');
      if (n > kMaxCount) Fail("count too large");
    }
    return static_cast<int>(n);
  }

  // After '[': the class up to its ']'.
  Pattern::ByteSet Class() {
    Pattern::ByteSet members;
    bool negated = Peek() == '^';
    if (negated) ++at_;
    if (Peek() == ']') Fail("empty class");
    while (Peek() != ']') {
      if (AtEnd()) Fail("unclosed '['");
      unsigned char low = ClassByte();
      unsigned char high = low;
      if (Peek() == '-' && at_ + 1 < text_.size() && text_[at_ + 1] != ']') {
        ++at_;
        high = ClassByte();
        if (high < low) Fail("class range out of order");
      }
      for (int b = low; b <= high; ++b) members.set(b);
    }
    ++at_;
    return negated ? ~members : members;
  }

  unsigned char ClassByte() {
    char c = text_[at_++];
    return c == '\\' ? Escape() : static_cast<unsigned char>(c);
  }

  // After '\': the byte the escape stands for.
  unsigned char Escape() {
    if (AtEnd()) Fail("pattern ends in '\\'");
    char c = text_[at_++];
    switch (c) {
      case 'n':
        return '\n';
      case 'r':
        return '\r';
      case 't':
        return '\t';
      case 'x': {
        int high = at_ < text_.size() ? HexDigit(text_[at_]) : -1;
        int low = at_ + 1 < text_.size() ? HexDigit(text_[at_ + 1]) : -1;
        if (high < 0 || low < 0) Fail("\\x needs two hex digits");
        at_ += 2;
        return static_cast<unsigned char>(high * 16 + low);
      }
      default:
        if (!std::ispunct(static_cast<unsigned char>(c))) {
          Fail(std::string("unknown escape '\\") + c + "'");
        }
        return static_cast<unsigned char>(c);
    }
  }

  Node SetNode(const Pattern::ByteSet& members) {
    Node node(Node::kSet);
    auto same =
        std::find(pattern_.sets_.begin(), pattern_.sets_.end(), members);
    node.set = static_cast<uint32_t>(same - pattern_.sets_.begin());
    if (same == pattern_.sets_.end()) pattern_.sets_.push_back(members);
    return node;
  }

  // ---- steps ------------------------------------------------------------

  uint32_t Here() const {
    return static_cast<uint32_t>(pattern_.steps_.size());
  }

  // The steps Emit makes of `node`, or more than kMaxSteps when too many.
  static uint64_t StepsOf(const Node& node) {
    uint64_t total = 0;
    for (const Node& part : node.parts) total += StepsOf(part);
    switch (node.kind) {
      case Node::kSet:
        total = 1;
        break;
      case Node::kSequence:
        break;
      case Node::kAlternatives:
        total += 2 * (node.parts.size() - 1);
        break;
      case Node::kRepeat:
        total = node.max == kUnbounded
                    ? node.min * total + total + 2
                    : node.min * total + (node.max - node.min) * (total + 1);
        break;
    }
    return std::min<uint64_t>(total, kMaxSteps + 1);
  }

  uint32_t Add(Pattern::Step step) {
    pattern_.steps_.push_back(step);
    return Here() - 1;
  }

  void Emit(const Node& node) {
    using Step = Pattern::Step;
    switch (node.kind) {
      case Node::kSet:
        Add({Step::kSet, node.set, Here() + 1});
        break;
      case Node::kSequence:
        for (const Node& part : node.parts) Emit(part);
        break;
      case Node::kAlternatives: {
        std::vector<uint32_t> jumps_to_end;
        for (size_t i = 0; i + 1 < node.parts.size(); ++i) {
          uint32_t split = Add({Step::kSplit, 0, Here() + 1});
          Emit(node.parts[i]);
          jumps_to_end.push_back(Add({Step::kJump}));
          pattern_.steps_[split].other = Here();
        }
        Emit(node.parts.back());
        for (uint32_t jump : jumps_to_end) pattern_.steps_[jump].next = Here();
        break;
      }
      case Node::kRepeat: {
        const Node& body = node.parts[0];
        for (int i = 0; i < node.min; ++i) Emit(body);
        if (node.max == kUnbounded) {
          uint32_t loop = Add({Step::kSplit, 0, Here() + 1});
          Emit(body);
          Add({Step::kJump, 0, loop});
          pattern_.steps_[loop].other = Here();
          break;
        }
        // Each optional copy may end the repetition early.
        std::vector<uint32_t> exits;
        for (int i = node.min; i < node.max; ++i) {
          exits.push_back(Add({Step::kSplit, 0, Here() + 1}));
          Emit(body);
        }
        for (uint32_t exit : exits) pattern_.steps_[exit].other = Here();
        break;
      }
    }
  }

  const std::string& text_;
  size_t at_ = 0;
  Pattern pattern_;
};

std::optional<Pattern> Pattern::Make(const std::string& text,
                                     std::string& error) {
  PatternCompiler compiler(text);
  try {
    return compiler.Compile();
  } catch (const PatternError& e) {
    error =
        e.what() + std::string(" at offset ") + std::to_string(compiler.at());
    return std::nullopt;
  }
}

namespace {

// Adds `start` and every step reachable from it without reading a byte to
// `states`, each once per byte position (`seen` holds the position's mark).
void AddState(const std::vector<Pattern::Step>& steps, uint32_t start,
              size_t mark, std::vector<size_t>& seen,
              std::vector<uint32_t>& pending, std::vector<uint32_t>& states) {
  pending.push_back(start);
  while (!pending.empty()) {
    uint32_t at = pending.back();
    pending.pop_back();
    if (seen[at] == mark) continue;
    seen[at] = mark;
    const Pattern::Step& step = steps[at];
    switch (step.op) {
      case Pattern::Step::kSplit:
        pending.push_back(step.other);
        pending.push_back(step.next);
        break;
      case Pattern::Step::kJump:
        pending.push_back(step.next);
        break;
      default:
        states.push_back(at);
    }
  }
}

}  // namespace

bool Pattern::Matches(const std::string& subject) const {
  std::vector<size_t> seen(steps_.size(), 0);
  std::vector<uint32_t> pending, current, following;
  size_t mark = 1;
  AddState(steps_, 0, mark, seen, pending, current);
  for (char c : subject) {
    auto byte = static_cast<unsigned char>(c);
    following.clear();
    ++mark;
    for (uint32_t at : current) {
      const Step& step = steps_[at];
      if (step.op == Step::kSet && sets_[step.set][byte]) {
        AddState(steps_, step.next, mark, seen, pending, following);
      }
    }
    current.swap(following);
    if (current.empty()) return false;
  }
  return std::any_of(current.begin(), current.end(), [&](uint32_t at) {
    return steps_[at].op == Step::kAccept;
  });
}

}  // namespace emulator
