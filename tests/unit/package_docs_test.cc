// The package's documentation against the command table it documents: a row
// added or renamed must not leave the keyword file or the help pages behind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "emulator/command_table.h"
#include "package/help_render.h"
#include "package/help_source.h"
#include "package/package_docs.h"

namespace package {
namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string Unescape(std::string text) {
  for (auto [entity, c] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}}) {
    for (size_t at; (at = text.find(entity)) != std::string::npos;) text.replace(at, entity.size(), c);
  }
  return text;
}

// The lines of a page's Syntax section.
std::vector<std::string> SyntaxOf(const std::string& page) {
  std::smatch match;
  static const std::regex kSyntax("<h2>Syntax</h2>\\s*<pre class=\"syntax\">([^<]*)</pre>");
  std::vector<std::string> lines;
  if (!std::regex_search(page, match, kSyntax)) return lines;
  std::istringstream block(Unescape(match[1]));
  for (std::string line; std::getline(block, line);) lines.push_back(line);
  return lines;
}

class PackageDocsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vellum_docs_XXXXXX";
    root_ = new fs::path(mkdtemp(pattern));
    std::vector<std::string> problems;
    ASSERT_TRUE(WritePackageDocs(std::string(VELLUM_SOURCE_DIR) + "/host/module.rc",
                                 std::string(VELLUM_SOURCE_DIR) + "/docs", (*root_ / "out").string(),
                                 (*root_ / "checks").string(), problems))
        << problems[0];
  }
  static void TearDownTestSuite() {
    fs::remove_all(*root_);
    delete root_;
  }
  static fs::path Out(const std::string& relative) { return *root_ / "out" / relative; }

  static fs::path* root_;
};

fs::path* PackageDocsTest::root_ = nullptr;

TEST_F(PackageDocsTest, EveryRowHasItsKeywordLineAndItsSyntaxOnItsPage) {
  std::vector<emulator::CommandRow> rows =
      emulator::RowsFromResourceScript(Read(std::string(VELLUM_SOURCE_DIR) + "/host/module.rc"));
  ASSERT_EQ(rows.size(), 57u);

  std::map<std::string, std::string> keywords;  // name -> parameters
  std::istringstream ini(Read(Out("Editor/Keywords/Vellum3Util_16.ini")));
  std::string line;
  std::getline(ini, line);
  EXPECT_EQ(line, "[LINKS]\r");
  while (std::getline(ini, line)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(line, m, std::regex("([^=]+)=commands\\\\strings\\\\([^=]+)\\.htm=(.+)\r")))
        << line;
    EXPECT_EQ(m[1], m[2]);
    keywords[m[1]] = m[3];
  }
  EXPECT_EQ(keywords.size(), 42u);

  std::map<std::string, std::vector<std::string>> expected_syntax;
  for (const emulator::CommandRow& row : rows) {
    std::string name = row.name[0] == '!' ? row.name.substr(1) : row.name;
    std::string params;
    for (const std::string& p : row.param_names) params += (params.empty() ? "" : ", ") + p;
    expected_syntax[name].push_back(
        row.is_function ? "Return " + std::string(row.result_type == 'S' ? "String" : "Integer") +
                              " = " + name + "(" + params + ")"
                        : name + (params.empty() ? "" : " " + params));
    ASSERT_EQ(keywords.count(name), 1u) << "no keyword line for row " << row.id;
    EXPECT_NE(keywords[name].find(params.empty() ? "*no parameters*" : params), std::string::npos)
        << "row " << row.id << ": " << keywords[name];
  }
  for (auto& [name, lines] : expected_syntax) {
    fs::path page = Out("Help/commands/strings/" + name + ".htm");
    ASSERT_TRUE(fs::exists(page)) << "no page for " << name;
    std::vector<std::string> shown = SyntaxOf(Read(page));
    std::sort(lines.begin(), lines.end());
    std::sort(shown.begin(), shown.end());
    EXPECT_EQ(shown, lines) << name;
  }
}

TEST_F(PackageDocsTest, PagesStandAloneAndEveryLinkFindsItsFile) {
  int pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(Out("Help"))) {
    if (entry.path().extension() != ".htm") continue;
    ++pages;
    std::string page = Read(entry.path());
    for (const char* outside : {"<script", "<link", "src=", "http:", "https:", "@import"}) {
      EXPECT_EQ(page.find(outside), std::string::npos) << entry.path() << " uses " << outside;
    }
    static const std::regex kHref("href=\"([^\"]+)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), kHref), end; it != end; ++it) {
      std::string target = (*it)[1];
      for (size_t at; (at = target.find("%20")) != std::string::npos;) target.replace(at, 3, " ");
      for (size_t at; (at = target.find("%24")) != std::string::npos;) target.replace(at, 3, "$");
      EXPECT_TRUE(fs::exists(entry.path().parent_path() / target))
          << entry.path().filename() << " links to a missing " << target;
    }
  }
  EXPECT_EQ(pages, 43);
}

emulator::CommandRow Row(const std::string& text) { return *emulator::ParseRow(1, text); }

TEST(KeywordLine, FollowsTheEditorsConvention) {
  EXPECT_EQ(KeywordLine({"MID$", {Row("MID$[%SSLL%Mid%Source, StartPosition, Size")}}),
            "MID$=commands\\strings\\MID$.htm=(Source, StartPosition, Size)");
  EXPECT_EQ(KeywordLine({"SPLIT STRING", {Row("SPLIT STRING%SS%SplitString%Source, Delimiters")}}),
            "SPLIT STRING=commands\\strings\\SPLIT STRING.htm=Source, Delimiters");
  EXPECT_EQ(KeywordLine({"TAB$", {Row("TAB$[%S%Tab%")}}),
            "TAB$=commands\\strings\\TAB$.htm=*no parameters*");
  EXPECT_EQ(KeywordLine({"QUOTE$", {Row("QUOTE$[%S%Quote%"), Row("QUOTE$[%SS%QuoteString%Source")}}),
            "QUOTE$=commands\\strings\\QUOTE$.htm=[*no parameters*][Source]");
}

TEST(CheckHelp, RefusesDocumentationThatDisagreesWithTheTable) {
  std::vector<Command> commands =
      GroupCommands({Row("FOO$[%SS%Foo%Source"), Row("BAR%S%Bar%Text"), Row("!BAR%SS%Bar%Text, More")});
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].forms.size(), 2u);
  std::vector<std::string> errors;
  HelpFamily family = ParseHelpFamily(
      "family: Test\nabout: Testing.\n"
      "command: FOO$\nsummary: Foo.\nparameter: Size | Not a parameter of FOO$.\n"
      "returns: A string.\nerror: 113 | Never.\ndescription:\n  Text.\n"
      "example:\n  print FOO$(\"a\")\noutput:\n  a\nsee: NOPE\n",
      "test.txt", errors);
  EXPECT_TRUE(errors.empty());
  std::string problems;
  for (const std::string& p : CheckHelp({family}, commands)) problems += p + "\n";
  for (const char* expected : {"no form has a parameter Size", "parameter Source is not described",
                               "errors 110 and 112", "\"see\" names NOPE",
                               "BAR: documented 0 times"}) {
    EXPECT_NE(problems.find(expected), std::string::npos) << expected << "\n" << problems;
  }
}

TEST(ParseHelpFamily, KeepsBlocksAndReportsWhatItCannotRead) {
  std::vector<std::string> errors;
  HelpFamily family = ParseHelpFamily(
      "family: T\nabout: A.\nsummary: before any command\ncommand: X\n"
      "description:\n  One\n  line.\n\n  Two.\nexample:\n  a\n\n  b\n\nsee: Y, Z\nbogus\n",
      "t.txt", errors);
  ASSERT_EQ(family.entries.size(), 1u);
  const HelpEntry& x = family.entries[0];
  EXPECT_EQ(x.description, (std::vector<std::string>{"One line.", "Two."}));
  EXPECT_EQ(x.example, "a\n\nb\n");
  EXPECT_EQ(x.see, (std::vector<std::string>{"Y", "Z"}));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_NE(errors[0].find("t.txt:3:"), std::string::npos);
  EXPECT_NE(errors[1].find("t.txt:16:"), std::string::npos);
}

}  // namespace
}  // namespace package
