#include "package/help_render.h"

#include <algorithm>
#include <sstream>

#include "package/page_check.h"

namespace package {
namespace {

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + name;
  return out;
}

std::string Html(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// A page name as a relative link: the help viewer wants spaces escaped.
std::string Href(const std::string& name) {
  std::string out;
  for (char c : PageFile(name)) {
    if (c == ' ')
      out += "%20";
    else if (c == '$')
      out += "%24";
    else
      out += c;
  }
  return out;
}

// HTML 4.01 for the runtime's help viewer; the pages hold only ASCII.
std::string Head(const std::string& title, const std::string& stylesheet) {
  return std::string(kHelpDoctype) +
         "\n<html lang=\"en\">\n<head>\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; "
         "charset=us-ascii\">\n<title>" +
         Html(title) + "</title>\n<style type=\"text/css\">\n" + stylesheet +
         "</style>\n</head>\n<body>\n";
}

// Tables carry their own rules so that they stay readable unstyled.
std::string Table(const std::string& css_class) {
  return "<table class=\"" + css_class +
         "\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">\n";
}

std::string Paragraphs(const std::vector<std::string>& paragraphs) {
  std::string out;
  for (const std::string& p : paragraphs) out += "<p>" + Html(p) + "</p>\n";
  return out;
}

// A form as a program writes it: "INSTR(Source, Search)", "SPLIT STRING
// Source, Delimiters", "TAB$()".
std::string FormInCode(const table::CommandRow& form) {
  const std::string& name = form.name;
  std::string parameters = JoinNames(form.param_names);
  if (form.is_function) return name + "(" + parameters + ")";
  return parameters.empty() ? name : name + " " + parameters;
}

// Text in a Markdown table cell.
std::string MarkdownCell(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '|' || c == '*' || c == '_' || c == '\\' || c == '[' || c == '`')
      out += '\\';
    if (c == '<')
      out += "&lt;";
    else
      out += c;
  }
  return out;
}

std::string ParameterTable(const Command& command, const HelpEntry& entry) {
  if (entry.parameters.empty()) return "<p>None.</p>\n";
  std::ostringstream table;
  table << Table("parameters")
        << "<tr><th>Name</th><th>Type</th><th>Meaning</th></tr>\n";
  std::vector<std::string> conflicts;  // refused before any page is made
  std::map<std::string, char> types = ParameterTypes(command, conflicts);
  for (const auto& [name, meaning] : entry.parameters) {
    table << "<tr><td>" << Html(name) << "</td><td>" << TypeName(types.at(name))
          << "</td><td>" << Html(meaning) << "</td></tr>\n";
  }
  table << "</table>\n";
  return table.str();
}

// The run-time errors the command raises; nothing when it raises none.
std::string ErrorTable(const HelpEntry& entry) {
  if (entry.errors.empty()) return "";
  std::ostringstream table;
  table << Table("errors")
        << "<tr><th>Run-time error</th><th>Cause</th></tr>\n";
  for (const auto& [number, cause] : entry.errors) {
    table << "<tr><td>" << number << "</td><td>" << Html(cause)
          << "</td></tr>\n";
  }
  table << "</table>\n";
  return table.str();
}

}  // namespace

std::string PageFile(const std::string& name) { return name + ".htm"; }

std::string SyntaxLine(const table::CommandRow& form) {
  const std::string& name = form.name;
  std::string parameters = JoinNames(form.param_names);
  if (!form.is_function)
    return parameters.empty() ? name : name + " " + parameters;
  return "Return " + TypeName(form.result_type) + " = " + name + "(" +
         parameters + ")";
}

std::string KeywordLine(const Command& command) {
  // The editor shows this text as it is, so it follows the runtime's own
  // keyword files: a function's parameters in parentheses, a command's bare,
  // and each form of a name with several forms in brackets of its own.
  std::string parameters;
  for (const table::CommandRow& form : command.forms) {
    std::string list = JoinNames(form.param_names);
    if (list.empty())
      list = "*no parameters*";
    else if (form.is_function)
      list = "(" + list + ")";
    parameters += command.forms.size() > 1 ? "[" + list + "]" : list;
  }
  return command.name + "=commands\\strings\\" + PageFile(command.name) + "=" +
         parameters;
}

std::string KeywordFile(const std::vector<Command>& commands) {
  std::vector<std::string> lines;
  for (const Command& c : commands) lines.push_back(KeywordLine(c));
  std::sort(lines.begin(), lines.end());
  std::string out = "[LINKS]\r\n";
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

std::string HelpPage(const Command& command, const HelpEntry& entry,
                     const HelpFamily& family, const std::string& stylesheet) {
  std::ostringstream page;
  page
      << Head(command.name, stylesheet)
      << "<p class=\"nav\"><a href=\"../strings.htm\">String commands</a> &gt; "
      << Html(family.title) << "</p>\n"
      << "<h1>" << Html(command.name) << "</h1>\n"
      << "<p class=\"summary\">" << Html(entry.summary) << "</p>\n";

  page << "<h2>Syntax</h2>\n<pre class=\"syntax\">";
  for (const table::CommandRow& form : command.forms)
    page << Html(SyntaxLine(form)) << "\n";
  page << "</pre>\n";

  page << "<h2>Parameters</h2>\n" << ParameterTable(command, entry);
  page << "<h2>Returns</h2>\n"
       << (command.forms[0].is_function
               ? Paragraphs(entry.returns)
               : "<p>Nothing: it is a command, not a function.</p>\n" +
                     Paragraphs(entry.returns));
  page << ErrorTable(entry);

  page << "<h2>Description</h2>\n" << Paragraphs(entry.description);

  page << "<h2>Example Code</h2>\n<pre class=\"code\">" << Html(entry.example)
       << "</pre>\n"
       << "<p class=\"caption\">"
       << (entry.matches.empty()
               ? "Output:"
               : "Output of one run (it differs from run to run):")
       << "</p>\n<pre class=\"output\">" << Html(entry.output) << "</pre>\n";

  page << "<h2>See also</h2>\n<p class=\"see\">";
  for (size_t i = 0; i < entry.see.size(); ++i) {
    page << (i ? ", " : "") << "<a href=\"" << Href(entry.see[i]) << "\">"
         << Html(entry.see[i]) << "</a>";
  }
  page << (entry.see.empty() ? "" : ", ")
       << "<a href=\"../strings.htm\">String commands</a></p>\n"
       << "</body>\n</html>\n";
  return page.str();
}

std::string IndexPage(const std::vector<HelpFamily>& families,
                      const std::string& stylesheet) {
  std::ostringstream page;
  page << Head("String commands", stylesheet) << "<h1>String commands</h1>\n"
       << "<p class=\"summary\">Commands and functions of the Vellum3Util_16 "
          "plug-in, by family."
       << " Positions count characters from 1; every command works on the "
          "bytes of a string,"
       << " so upper and lower case differ unless a command says "
          "otherwise.</p>\n";
  for (const HelpFamily& family : families) {
    page << "<h2>" << Html(family.title) << "</h2>\n<p>" << Html(family.about)
         << "</p>\n"
         << Table("index");
    for (const HelpEntry& e : family.entries) {
      page << "<tr><td class=\"name\"><a href=\"strings/" << Href(e.name)
           << "\">" << Html(e.name) << "</a></td><td>" << Html(e.summary)
           << "</td></tr>\n";
    }
    page << "</table>\n";
  }
  page << "</body>\n</html>\n";
  return page.str();
}

std::string CommandTable(const std::vector<HelpFamily>& families,
                         const std::vector<Command>& commands) {
  std::string out;
  for (const HelpFamily& family : families) {
    out +=
        "\n### " + family.title + "\n\n| Command | What it does |\n|---|---|\n";
    for (const HelpEntry& e : family.entries) {
      std::string forms;
      for (const table::CommandRow& form :
           CommandNamed(commands, e.name).forms) {
        forms += (forms.empty() ? "`" : "<br>`") + FormInCode(form) + "`";
      }
      out += "| " + forms + " | " + MarkdownCell(e.summary) + " |\n";
    }
  }
  return out + "\n";
}

std::string CommandList(const std::vector<HelpFamily>& families) {
  std::string out;
  for (const HelpFamily& family : families) {
    out += family.title + "\r\n";
    for (const HelpEntry& e : family.entries) {
      std::string name = "  " + e.name;
      name.resize(std::max<size_t>(name.size() + 1, 26), ' ');
      out += name + e.summary + "\r\n";
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace package
