// What the runtime's help viewer can show. It is an old Internet Explorer
// engine, so the help keeps to HTML 4.01 and CSS 2.1 and leaves out script,
// and every page must still read well when its style sheet is switched off:
// the style may colour and space the text but never hide or supply any.
#pragma once

#include <string>
#include <vector>

namespace package {

// The doctype every help page starts with: HTML 4.01 Strict, which puts the
// viewer in its standards mode without naming a URL.
extern const char kHelpDoctype[];

// Everything in a style sheet outside that set: at-rules (imports, web
// fonts), selectors or pseudo-classes that CSS 2.1 lacks, properties it
// lacks (custom properties included), functions other than rgb(), units of
// later levels, display values such as flex and grid, and whatever hides
// text or makes it up (display: none, visibility, content). Empty when the
// sheet is fine.
std::vector<std::string> StyleSheetProblems(const std::string& css);

// Everything in a page outside that set that the HTML 4.01 Strict DTD
// allows (tests/check_help_html.sh validates the pages against the DTD):
// script, event handlers, javascript: links and objects, inline style,
// tables without borders of their own, and the problems of its embedded
// style sheet.
std::vector<std::string> HelpPageProblems(const std::string& page);

}  // namespace package
