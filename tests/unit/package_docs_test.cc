// The package's documentation against the command table it documents: a row
// added or renamed must not leave the keyword file or the help pages behind.
#include "package/package_docs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "package/help_render.h"
#include "package/help_source.h"
#include "package/page_check.h"
#include "table/command_table.h"

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
    for (size_t at; (at = text.find(entity)) != std::string::npos;)
      text.replace(at, entity.size(), c);
  }
  return text;
}

// The lines of a page's Syntax section.
std::vector<std::string> SyntaxOf(const std::string& page) {
  std::smatch match;
  static const std::regex kSyntax(
      "<h2>Syntax</h2>\\s*<pre class=\"syntax\">([^<]*)</pre>");
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
    ASSERT_TRUE(WritePackageDocs(
        std::string(VELLUM_SOURCE_DIR) + "/host/module.rc",
        std::string(VELLUM_SOURCE_DIR) + "/docs", (*root_ / "out").string(),
        (*root_ / "checks").string(), problems))
        << problems[0];
  }
  static void TearDownTestSuite() {
    fs::remove_all(*root_);
    delete root_;
  }
  static fs::path Out(const std::string& relative) {
    return *root_ / "out" / relative;
  }

  static fs::path* root_;
};

fs::path* PackageDocsTest::root_ = nullptr;

// A keyword line's parameter text as its forms, each read back as the row
// it must come from: "(a, b)" a function, "*no parameters*" a function
// without parameters, a bare list a command. Several forms come in brackets.
struct KeywordForm {
  bool is_function;
  std::string parameters;
};

std::vector<KeywordForm> KeywordForms(const std::string& text) {
  std::vector<std::string> pieces;
  if (text.front() == '[' && text.back() == ']') {
    std::string inner = text.substr(1, text.size() - 2);
    for (size_t at = 0;;) {
      size_t next = inner.find("][", at);
      pieces.push_back(inner.substr(at, next - at));
      if (next == std::string::npos) break;
      at = next + 2;
    }
  } else {
    pieces.push_back(text);
  }
  std::vector<KeywordForm> forms;
  for (const std::string& piece : pieces) {
    if (piece == "*no parameters*")
      forms.push_back({true, ""});
    else if (piece.front() == '(' && piece.back() == ')')
      forms.push_back({true, piece.substr(1, piece.size() - 2)});
    else
      forms.push_back({false, piece});
  }
  return forms;
}

TEST_F(PackageDocsTest, EveryRowHasItsKeywordFormAndItsSyntaxOnItsPage) {
  std::string refusal;
  std::optional<std::vector<table::CommandRow>> read = table::ReadCommandTable(
      table::StoredRowsOfScript(
          Read(std::string(VELLUM_SOURCE_DIR) + "/host/module.rc")),
      refusal);
  ASSERT_TRUE(read) << refusal;
  const std::vector<table::CommandRow>& rows = *read;
  ASSERT_EQ(rows.size(), 56u);

  std::map<std::string, std::vector<KeywordForm>> keywords;
  std::istringstream ini(Read(Out("Editor/Keywords/Vellum3Util_16.ini")));
  std::string line;
  std::getline(ini, line);
  EXPECT_EQ(line, "[LINKS]\r");
  while (std::getline(ini, line)) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(
        line, m,
        std::regex("([^=]+)=commands\\\\strings\\\\([^=]+)\\.htm=(.+)\r")))
        << line;
    EXPECT_EQ(m[1], m[2]);
    keywords[m[1]] = KeywordForms(m[3]);
  }
  EXPECT_EQ(keywords.size(), 42u);

  // Each name's rows, fewest parameters first, as the keyword line lists them.
  std::map<std::string, std::vector<table::CommandRow>> by_name;
  for (const table::CommandRow& row : rows) {
    by_name[row.name].push_back(row);
  }
  for (auto& [name, forms] : by_name) {
    std::stable_sort(forms.begin(), forms.end(),
                     [](const auto& a, const auto& b) {
                       return a.param_names.size() < b.param_names.size();
                     });
    ASSERT_EQ(keywords.count(name), 1u) << "no keyword line for " << name;
    const std::vector<KeywordForm>& shown = keywords[name];
    ASSERT_EQ(shown.size(), forms.size())
        << name << ": forms on its keyword line";
    std::vector<std::string> expected_syntax;
    for (size_t i = 0; i < forms.size(); ++i) {
      std::string params;
      for (const std::string& p : forms[i].param_names)
        params += (params.empty() ? "" : ", ") + p;
      EXPECT_EQ(shown[i].is_function, forms[i].is_function)
          << "row " << forms[i].id;
      EXPECT_EQ(shown[i].parameters, params) << "row " << forms[i].id;
      expected_syntax.push_back(
          forms[i].is_function
              ? "Return " +
                    std::string(forms[i].result_type == 'S' ? "String"
                                                            : "Integer") +
                    " = " + name + "(" + params + ")"
              : name + (params.empty() ? "" : " " + params));
    }
    fs::path page = Out("Help/commands/strings/" + name + ".htm");
    ASSERT_TRUE(fs::exists(page)) << "no page for " << name;
    EXPECT_EQ(SyntaxOf(Read(page)), expected_syntax) << name;
  }
}

TEST_F(PackageDocsTest,
       PagesKeepToWhatTheHelpViewerShowsAndEveryLinkFindsItsFile) {
  for (const std::string& p : StyleSheetProblems(
           Read(std::string(VELLUM_SOURCE_DIR) + "/docs/help.css"))) {
    ADD_FAILURE() << "help.css: " << p;
  }
  int pages = 0;
  for (const auto& entry : fs::recursive_directory_iterator(Out("Help"))) {
    if (entry.path().extension() != ".htm") continue;
    ++pages;
    std::string page = Read(entry.path());
    for (const std::string& p : HelpPageProblems(page))
      ADD_FAILURE() << entry.path() << ": " << p;
    for (const char* outside :
         {"<link", "src=", "http:", "https:", "@import"}) {
      EXPECT_EQ(page.find(outside), std::string::npos)
          << entry.path() << " uses " << outside;
    }
    static const std::regex kHref("href=\"([^\"]+)\"");
    for (std::sregex_iterator it(page.begin(), page.end(), kHref), end;
         it != end; ++it) {
      std::string target = (*it)[1];
      for (size_t at; (at = target.find("%20")) != std::string::npos;)
        target.replace(at, 3, " ");
      for (size_t at; (at = target.find("%24")) != std::string::npos;)
        target.replace(at, 3, "$");
      EXPECT_TRUE(fs::exists(entry.path().parent_path() / target))
          << entry.path().filename() << " links to a missing " << target;
    }
  }
  EXPECT_EQ(pages, 43);
}

std::string AllProblems(const std::vector<std::string>& problems) {
  std::string all;
  for (const std::string& p : problems) all += p + "\n";
  return all;
}

TEST(StyleSheetProblems, RefusesWhatCss21LacksAndWhatHidesText) {
  EXPECT_EQ(
      AllProblems(StyleSheetProblems(
          "/* a comment { } */ body { font: 10pt Verdana; color: rgb(0, 0, 0) "
          "}\n"
          "td.name, h2 > a:hover { width: 13em; display: block !important; }")),
      "");
  for (const char* css :
       {"div { display: flex }", "div { display: grid; }", "p { --gap: 2px }",
        "p { width: calc(1em + 2px) }", "p { color: var(--x) }",
        "@font-face { font-family: x }", "@import \"x.css\";",
        "p { margin: 1rem }", "p { color: rgba(0,0,0,0.5) }",
        "p:nth-child(2) { color: red }", "a[href^=x] { color: red }",
        "p::before { color: red }", "h1 ~ p { color: red }",
        "p { display: none }", "p { visibility: hidden }",
        "p:before { content: \"x\" }", "p { border-radius: 3px }",
        "p { color: red"}) {
    EXPECT_NE(StyleSheetProblems(css), std::vector<std::string>{}) << css;
  }
}

// Only what the DTD allows: elements and attributes it lacks are the
// validator's (tests/check_help_html.sh).
TEST(HelpPageProblems, RefusesScriptInlineStyleAndBorderlessTables) {
  std::string head =
      std::string(kHelpDoctype) + "\n<html lang=\"en\"><head><title>T</title>";
  EXPECT_EQ(
      AllProblems(HelpPageProblems(
          head +
          "<style type=\"text/css\">p { color: #000 }</style></head><body>"
          "<table class=\"x\" border=\"1\"><tr><td><a "
          "href=\"a.htm\" title=\"onclick, style=\">a</a></td></tr>"
          "</table><pre>a &lt; b</pre></body></html>\n")),
      "");
  for (const std::string& body :
       {std::string("<script>x()</script>"),
        std::string("<p onclick=\"x()\">x</p>"),
        std::string("<P OnMouseOver='x()'>x</P>"),
        std::string("<a href=\"JavaScript:x()\">x</a>"),
        std::string("<object data=\"x.ocx\"></object>"),
        std::string("<p style=\"color: red\">x</p>"),
        std::string("<table><tr><td>x</td></tr></table>"),
        std::string("<style>p { display: grid }</style>")}) {
    EXPECT_NE(
        HelpPageProblems(head + "</head><body>" + body + "</body></html>\n"),
        std::vector<std::string>{})
        << body;
  }
}

table::CommandRow Row(const std::string& text) {
  return *table::ParseRow(1, text);
}

TEST(KeywordLine, WritesFunctionsInParenthesesAndEachFormInItsOwnBrackets) {
  EXPECT_EQ(KeywordLine(
                {"MID$", {Row("MID$[%SSLL%Mid%Source, StartPosition, Size")}}),
            "MID$=commands\\strings\\MID$.htm=(Source, StartPosition, Size)");
  EXPECT_EQ(
      KeywordLine({"SPLIT STRING",
                   {Row("SPLIT STRING%SS%SplitString%Source, Delimiters")}}),
      "SPLIT STRING=commands\\strings\\SPLIT STRING.htm=Source, Delimiters");
  EXPECT_EQ(KeywordLine({"TAB$", {Row("TAB$[%S%Tab%")}}),
            "TAB$=commands\\strings\\TAB$.htm=*no parameters*");
  EXPECT_EQ(KeywordLine({"QUOTE$",
                         {Row("QUOTE$[%S%Quote%"),
                          Row("QUOTE$[%SS%QuoteString%Source")}}),
            "QUOTE$=commands\\strings\\QUOTE$.htm=[*no parameters*][(Source)]");
  EXPECT_EQ(
      KeywordLine({"INSTR",
                   {Row("INSTR[%LSS%Instr_2%Source, Search"),
                    Row("INSTR[%LSSL%Instr_3%Source, Search, StartPosition")}}),
      "INSTR=commands\\strings\\INSTR.htm=[(Source, Search)][(Source, Search, "
      "StartPosition)]");
  EXPECT_EQ(KeywordLine({"SPLIT CSV STRING",
                         {Row("SPLIT CSV STRING%S%SplitCsvString%Source"),
                          Row("SPLIT CSV STRING%SSS%SplitCsvString3%Source, "
                              "Separator, Quote")}}),
            "SPLIT CSV STRING=commands\\strings\\SPLIT CSV "
            "STRING.htm=[Source][Source, Separator, "
            "Quote]");
}

TEST(CheckHelp, RefusesDocumentationThatDisagreesWithTheTable) {
  std::vector<Command> commands =
      GroupCommands({Row("FOO$[%SS%Foo%Source"), Row("BAR%S%Bar%Text"),
                     Row("BAR%SS%Bar%Text, More")});
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[1].forms.size(), 2u);
  std::vector<std::string> errors;
  HelpFamily family = ParseHelpFamily(
      "family: Test\nabout: Testing.\n"
      "command: FOO$\nsummary: Foo.\nparameter: Size | Not a parameter of "
      "FOO$.\n"
      "returns: A string.\nerror: 113 | Never.\ndescription:\n  Text.\n"
      "example:\n  print FOO$(\"a\")\noutput:\n  a\nsee: NOPE\n",
      "test.txt", errors);
  EXPECT_TRUE(errors.empty());
  std::string problems;
  for (const std::string& p : CheckHelp({family}, commands))
    problems += p + "\n";
  for (const char* expected :
       {"no form has a parameter Size", "parameter Source is not described",
        "errors 110 and 112", "\"see\" names NOPE",
        "BAR: documented 0 times"}) {
    EXPECT_NE(problems.find(expected), std::string::npos) << expected << "\n"
                                                          << problems;
  }
}

TEST(ParseHelpFamily, KeepsBlocksAndReportsWhatItCannotRead) {
  std::vector<std::string> errors;
  HelpFamily family = ParseHelpFamily(
      "family: T\nabout: A.\nsummary: before any command\ncommand: X\n"
      "description:\n  One\n  line.\n\n  Two.\nexample:\n  a\n\n  b\n\nsee: Y, "
      "Z\nbogus\n",
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
