#include "package/page_check.h"

#include <algorithm>
#include <cctype>
#include <regex>
#include <set>

#include "text/trim.h"

namespace package {

const char kHelpDoctype[] =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\">";

namespace {

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return static_cast<char>(std::tolower(c));
  });
  return text;
}

// The properties of CSS 2.1 less the aural ones, and less those that hide
// text or make it up, which would leave a page unreadable without its sheet.
const std::set<std::string>& StyleProperties() {
  // clang-format off
  static const std::set<std::string> kProperties = {
      "background", "background-attachment", "background-color",
      "background-image", "background-position", "background-repeat", "border",
      "border-bottom", "border-bottom-color", "border-bottom-style",
      "border-bottom-width", "border-collapse", "border-color", "border-left",
      "border-left-color", "border-left-style", "border-left-width",
      "border-right", "border-right-color", "border-right-style",
      "border-right-width", "border-spacing", "border-style", "border-top",
      "border-top-color", "border-top-style", "border-top-width",
      "border-width", "caption-side", "clear", "color", "cursor", "direction",
      "display", "empty-cells", "float", "font", "font-family", "font-size",
      "font-style", "font-variant", "font-weight", "height", "letter-spacing",
      "line-height", "list-style", "list-style-image", "list-style-position",
      "list-style-type", "margin", "margin-bottom", "margin-left",
      "margin-right", "margin-top", "max-height", "max-width", "min-height",
      "min-width", "outline", "outline-color", "outline-style", "outline-width",
      "padding", "padding-bottom", "padding-left", "padding-right",
      "padding-top", "page-break-after", "page-break-before",
      "page-break-inside", "quotes", "table-layout", "text-align",
      "text-decoration", "text-indent", "text-transform", "vertical-align",
      "white-space", "width", "word-spacing"};
  // clang-format on
  return kProperties;
}

const std::set<std::string>& DisplayValues() {
  // clang-format off
  static const std::set<std::string> kValues = {
      "inline", "block", "list-item", "inline-block", "table", "inline-table",
      "table-row-group", "table-header-group", "table-footer-group",
      "table-row", "table-column-group", "table-column", "table-cell",
      "table-caption", "inherit"};
  // clang-format on
  return kValues;
}

// Pseudo-classes of CSS 2.1 that change only how text looks.
const std::set<std::string>& PseudoClasses() {
  static const std::set<std::string> kPseudo = {
      "link",  "visited",     "hover",      "active",
      "focus", "first-child", "first-line", "first-letter"};
  return kPseudo;
}

void CheckSelector(const std::string& selector,
                   std::vector<std::string>& problems) {
  // Type, class and id selectors joined by descendant, child and group
  // combinators; attribute selectors and the sibling combinators are left out.
  static const std::regex kAllowed("[A-Za-z0-9_.#:, \t\r\n>-]+");
  if (!std::regex_match(selector, kAllowed)) {
    problems.push_back("selector outside CSS 2.1: " + selector);
    return;
  }
  if (selector.find("::") != std::string::npos) {
    problems.push_back("pseudo-element syntax of a later level: " + selector);
    return;
  }
  static const std::regex kPseudo(":([A-Za-z-]+)");
  for (std::sregex_iterator it(selector.begin(), selector.end(), kPseudo), end;
       it != end; ++it) {
    if (PseudoClasses().count(Lower((*it)[1])) == 0) {
      problems.push_back("pseudo-class outside the help's set: :" +
                         (*it)[1].str());
    }
  }
}

void CheckDeclaration(const std::string& declaration,
                      std::vector<std::string>& problems) {
  size_t colon = declaration.find(':');
  if (colon == std::string::npos) {
    problems.push_back("not a declaration: " + declaration);
    return;
  }
  std::string property =
      Lower(text::TrimWhiteSpace(declaration.substr(0, colon)));
  std::string value =
      Lower(text::TrimWhiteSpace(declaration.substr(colon + 1)));
  if (StyleProperties().count(property) == 0) {
    problems.push_back("property outside the help's CSS 2.1 set: " + property);
  }
  static const std::regex kFunction("([a-z-]+)\\(");
  for (std::sregex_iterator it(value.begin(), value.end(), kFunction), end;
       it != end; ++it) {
    if ((*it)[1] != "rgb") {
      problems.push_back("function outside CSS 2.1: " + (*it)[1].str() + "()");
    }
  }
  static const std::regex kLaterUnit("[0-9.](rem|vw|vh|vmin|vmax|ch|fr)\\b");
  if (std::regex_search(value, kLaterUnit))
    problems.push_back("unit of a later level: " + value);
  if (property == "display") {
    std::string shown = text::TrimWhiteSpace(value.substr(0, value.find('!')));
    if (shown == "none") {
      problems.push_back("display: none hides text");
    } else if (DisplayValues().count(shown) == 0) {
      problems.push_back("display outside CSS 2.1: " + shown);
    }
  }
}

// What the DTD allows but the help leaves out: script in any form (the
// element, an event handler, a javascript: link, an embedded object), style
// outside the sheet, where no check of the sheet would see it, and a table
// whose rules would go with the sheet.
void CheckTag(const std::string& name, const std::string& attributes,
              std::vector<std::string>& problems) {
  if (name == "script" || name == "object")
    problems.push_back("<" + name + "> in a page without script");
  static const std::regex kAttribute(
      "([A-Za-z-]+)(\\s*=\\s*(\"[^\"]*\"|'[^']*'|[^\\s>]+))?");
  bool bordered = false;
  for (std::sregex_iterator
           it(attributes.begin(), attributes.end(), kAttribute),
       end;
       it != end; ++it) {
    std::string attribute = Lower((*it)[1]);
    std::string value = Lower((*it)[3]);
    if (attribute.rfind("on", 0) == 0)
      problems.push_back("an event handler: <" + name + " " + attribute + ">");
    if (value.find("javascript:") != std::string::npos) {
      problems.push_back("a javascript: link: <" + name + " " + attribute +
                         ">");
    }
    if (attribute == "style")
      problems.push_back("inline style: <" + name + " style>");
    bordered = bordered || attribute == "border";
  }
  if (name == "table" && !bordered)
    problems.push_back("a table without a border attribute");
}

}  // namespace

std::vector<std::string> StyleSheetProblems(const std::string& css) {
  std::vector<std::string> problems;
  std::string rules;  // the sheet without its comments
  for (size_t at = 0; at < css.size();) {
    size_t open = css.find("/*", at);
    rules += css.substr(
        at, open == std::string::npos ? std::string::npos : open - at);
    if (open == std::string::npos) break;
    size_t close = css.find("*/", open + 2);
    at = close == std::string::npos ? css.size() : close + 2;
  }
  if (rules.find('@') != std::string::npos) {
    problems.push_back(
        "at-rules (@import, @font-face, @media ...) are outside the help's "
        "set");
  }
  for (size_t at = 0; at < rules.size();) {
    size_t open = rules.find('{', at);
    if (open == std::string::npos) {
      if (!text::TrimWhiteSpace(rules.substr(at)).empty())
        problems.push_back("text after the last rule");
      break;
    }
    size_t close = rules.find('}', open);
    if (close == std::string::npos) {
      problems.push_back("a rule without its closing brace");
      break;
    }
    CheckSelector(text::TrimWhiteSpace(rules.substr(at, open - at)), problems);
    std::string block = rules.substr(open + 1, close - open - 1);
    for (size_t from = 0; from <= block.size();) {
      size_t semicolon = std::min(block.find(';', from), block.size());
      std::string declaration =
          text::TrimWhiteSpace(block.substr(from, semicolon - from));
      if (!declaration.empty()) CheckDeclaration(declaration, problems);
      from = semicolon + 1;
    }
    at = close + 1;
  }
  return problems;
}

std::vector<std::string> HelpPageProblems(const std::string& page) {
  std::vector<std::string> problems;
  static const std::regex kOpeningTag("<([A-Za-z][A-Za-z0-9]*)([^>]*)>");
  std::smatch tag;
  for (std::string::const_iterator from = page.begin();
       std::regex_search(from, page.end(), tag, kOpeningTag);
       from = tag.suffix().first) {
    std::string name = Lower(tag[1]);
    CheckTag(name, tag[2], problems);
    if (name == "style") {
      size_t start = tag.suffix().first - page.begin();
      size_t end = Lower(page).find("</style>", start);
      for (const std::string& p :
           StyleSheetProblems(page.substr(start, end - start))) {
        problems.push_back(p);
      }
    }
  }
  return problems;
}

}  // namespace package
