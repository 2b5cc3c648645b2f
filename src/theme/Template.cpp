#include "theme/Template.h"

#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace vt::theme {
namespace {

using namespace Qt::StringLiterals;

// The context of one render: the page's values, and no partial at all.
class ValuesOnly final : public mustache::context<std::string> {
public:
    explicit ValuesOnly(const mustache::data* values)
        : mustache::context<std::string>(values) {}
    const mustache::data* get_partial(const std::string&) const override { return nullptr; }
};

// The text with the five characters HTML gives a meaning escaped, as the library escapes them,
// the runs between them copied whole.
std::string htmlEscaped(const std::string& text) {
    std::string escaped;
    escaped.reserve(text.size());
    std::size_t plain = 0;
    for (std::size_t at = text.find_first_of("&<>\"'"); at != std::string::npos;
         at = text.find_first_of("&<>\"'", plain)) {
        escaped.append(text, plain, at - plain);
        static const std::map<char, const char*> references = {
            {'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&apos;"}};
        escaped += references.at(text[at]);
        plain = at + 1;
    }
    escaped.append(text, plain, std::string::npos);
    return escaped;
}

// What a render writes its text to.
struct Text {
    std::string bytes;
    Text& operator<<(const std::string& part) {
        bytes += part;
        return *this;
    }
};

// The names looked up by the tags of a template the library parses without error, read from the
// library's own tree of the template, so a tag counts exactly as the render reads it (delimiters
// changed by "{{=<% %>=}}" included). Partials render nothing and comments show nothing.
std::set<std::string> namesIn(const std::string& source) {
    using Part = mustache::component<std::string>;
    mustache::context<std::string> values;
    mustache::context_internal<std::string> context{values};
    Part root;
    std::string error;
    mustache::parser<std::string>(source, context, root, error);
    std::set<std::string> names;
    root.walk_children([&names](Part& part) {
        const mustache::tag_type type = part.tag.type;
        if (type == mustache::tag_type::variable || type == mustache::tag_type::unescaped_variable ||
            part.tag.is_section_begin()) {
            // "." is the value a section stands for, no name of the context.
            if (std::string name = part.tag.name.substr(0, part.tag.name.find('.')); !name.empty()) {
                names.insert(std::move(name));
            }
        }
        return Part::walk_control::walk;
    });
    return names;
}

} // namespace

QString FileLineReason(const QString& fileName, qsizetype line, const QString& reason) {
    return u"\"%1\", line %2: %3"_s.arg(fileName).arg(line).arg(reason);
}

qsizetype LineOfByte(const std::string& text, std::size_t offset) {
    const auto end = text.begin() + std::ptrdiff_t(std::min(offset, text.size()));
    return 1 + std::count(text.begin(), end, '\n');
}

Result<Template> Template::Parse(const QString& text, const QString& fileName) {
    const std::string source = text.toStdString();
    auto parsed = std::make_shared<mustache::mustache>(source);
    if (parsed->is_valid()) {
        parsed->set_custom_escape(htmlEscaped);
        return Template(std::move(parsed), namesIn(source));
    }
    // The library names the place as a byte offset at the end of its message: "... at 1234".
    const QString message = QString::fromStdString(parsed->error_message());
    const QRegularExpressionMatch place = QRegularExpression(u"^(.*) at (\\d+)$"_s).match(message);
    if (!place.hasMatch()) {
        return Status::failure(FileLineReason(fileName, 1, message));
    }
    const qsizetype line = LineOfByte(source, place.captured(2).toULongLong());
    return Status::failure(FileLineReason(fileName, line, place.captured(1)));
}

QString Template::render(const mustache::data& context) const {
    ValuesOnly values(&context);
    Text text;
    m_parsed->render(values, text);
    return QString::fromStdString(text.bytes);
}

} // namespace vt::theme
