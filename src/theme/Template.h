#pragma once

#include "files/Outcome.h"

#include <QString>

#include <memory>
#include <set>
#include <string>

#include <kainjow/mustache.hpp>

// One Mustache template of a theme, parsed once and rendered for every page. Values are data, never
// template text: a value holding "{{x}}" is written as those characters, and a partial
// ("{{> name}}") renders nothing, so no PAD value can be read as a template.
namespace vt::theme {

namespace mustache = kainjow::mustache;

class Template {
public:
    // The template of a file's text, or the file, the line and the reason it cannot be parsed.
    static Result<Template> Parse(const QString& text, const QString& fileName);

    // The text: {{name}} HTML-escaped, {{{name}}} as it is, sections left out for an absent value
    // or an empty list and repeated over a list.
    QString render(const mustache::data& context) const;

    // The names its tags look up (of "a.b" the first part, "a"), in sections or not; a context needs
    // no other value.
    const std::set<std::string>& names() const { return m_names; }

private:
    Template(std::shared_ptr<mustache::mustache> parsed, std::set<std::string> names)
        : m_parsed(std::move(parsed))
        , m_names(std::move(names)) {}

    // Rendering keeps its last error inside the parsed template, hence not const there.
    std::shared_ptr<mustache::mustache> m_parsed;
    std::set<std::string> m_names;
};

// Where a theme file is refused: `"file", line n: reason`.
QString FileLineReason(const QString& fileName, qsizetype line, const QString& reason);

// The 1-based line of a byte of UTF-8 text.
qsizetype LineOfByte(const std::string& text, std::size_t offset);

} // namespace vt::theme
