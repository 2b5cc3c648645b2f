#include "check/PadCheck.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>

#include "pagegen/PageWriter.h"
#include "pagegen/TemplateFill.h"
#include "platform/PageLoad.h"

namespace vt::check {
namespace {

using namespace Qt::StringLiterals;

// The values Program_Specific_Category may hold in a PAD file; any other spelling makes a
// category folder of its own.
const QStringList OfficialCategories = {
    u"Audio"_s,      u"Business"_s, u"Development Tools"_s, u"Education"_s,     u"Games"_s,    u"Graphics"_s,
    u"Home/Hobby"_s, u"Internet"_s, u"Miscellaneous"_s,     u"Screen Savers"_s, u"Utilities"_s};

// Markup that runs in a browser wherever the value lands on the page.
const QStringList ScriptTags = {u"<script"_s, u"<iframe"_s};
const QString ScriptAddress = u"javascript:"_s;
const QString DescriptionTag = u"Char_Desc_"_s;
const QString UrlTagEnd = u"_URL"_s;

// Page files are compared below one stand-in storage folder: only a record's program name and
// category decide which file its page is.
const QString PageFolder = u"pages"_s;

// The longest file or folder name the file systems of this platform take, in bytes of the name
// as it is handed to the system; a longer one fails the write of the page ("File name too long").
constexpr qsizetype MaxNameBytes = 255;
const QString NameTooLong = u"The %1 \"%2\" cannot be used as a file or folder name: \"%3\" is %4 bytes, "
                            "over the %5 a name may have"_s;

// A PAD field as the fill reads it: the first row of the field table with its tags.
struct Field {
    QString tag; // "Char_Desc_45"
    QString openTag;
    QString closeTag;
    int descriptionLimit = 0; // the characters a Char_Desc_<n> field may hold, 0 for other fields
    bool isUrl = false;
    std::size_t row = 0; // the field's first row in the field table
};

// The fields of the field table, each once, in the table's order.
const std::vector<Field>& padFields() {
    static const std::vector<Field> fields = [] {
        std::vector<Field> distinct;
        const std::vector<pagegen::FieldRow>& rows = pagegen::PadFieldTable();
        for (std::size_t index = 0; index < rows.size(); ++index) {
            const pagegen::FieldRow& row = rows[index];
            const QString tag = row.openTag.mid(1, row.openTag.size() - 2);
            if (std::none_of(distinct.begin(), distinct.end(),
                             [&](const Field& f) { return f.tag == tag; })) {
                const int limit = tag.startsWith(DescriptionTag) ? tag.mid(DescriptionTag.size()).toInt() : 0;
                distinct.push_back({tag, row.openTag, row.closeTag, limit, tag.endsWith(UrlTagEnd), index});
            }
        }
        return distinct;
    }();
    return fields;
}

// An event handler attribute ("onerror=", "onload ="): "on" at the start of a word, letters, "=".
QString eventAttributeIn(QStringView value) {
    auto isLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    for (qsizetype at = value.indexOf(u"on", 0, Qt::CaseInsensitive); at >= 0;
         at = value.indexOf(u"on", at + 1, Qt::CaseInsensitive)) {
        if (at > 0 && (value[at - 1].isLetterOrNumber() || value[at - 1] == u'_' || value[at - 1] == u'-')) {
            continue;
        }
        qsizetype end = at + 2;
        while (end < value.size() && isLetter(value[end])) {
            ++end;
        }
        qsizetype equals = end;
        while (equals < value.size() && value[equals].isSpace()) {
            ++equals;
        }
        if (end > at + 2 && equals < value.size() && value[equals] == u'=') {
            return value.sliced(at, equals + 1 - at).toString();
        }
    }
    return QString();
}

// What in the value would run in a browser, as it stands there; empty when nothing. Each kind
// needs its own character ("<", ":", "="), which most values lack: only then is it searched.
QStringList unsafeMarkupIn(const QString& value, bool isUrl) {
    QStringList found;
    auto find = [&](const QString& marker) {
        if (const qsizetype at = value.indexOf(marker, 0, Qt::CaseInsensitive); at >= 0) {
            found += value.mid(at, marker.size());
        }
    };
    if (value.contains(u'<')) {
        for (const QString& tag : ScriptTags) {
            find(tag);
        }
    }
    if (isUrl && value.contains(u':')) {
        find(ScriptAddress);
    }
    if (value.contains(u'=')) {
        if (const QString attribute = eventAttributeIn(value); !attribute.isEmpty()) {
            found += attribute;
        }
    }
    return found;
}

// Characters as the PAD format counts them: a character reference ("&amp;", "&#233;") is one.
qsizetype padLength(const QString& value) {
    static const QRegularExpression reference(u"&(#[0-9]+|#[xX][0-9A-Fa-f]+|[A-Za-z][A-Za-z0-9]*);"_s);
    qsizetype length = value.size();
    if (!value.contains(u'&')) {
        return length;
    }
    for (QRegularExpressionMatchIterator it = reference.globalMatch(value); it.hasNext();) {
        length -= it.next().capturedLength() - 1;
    }
    return length;
}

QString withoutSpaces(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (!c.isSpace()) {
            kept += c;
        }
    }
    return kept;
}

QString officialCategoryLike(const QString& category) {
    const QString bare = withoutSpaces(category);
    for (const QString& official : OfficialCategories) {
        if (withoutSpaces(official).compare(bare, Qt::CaseInsensitive) == 0) {
            return official;
        }
    }
    return QString();
}

QString quoted(const QString& text) {
    return u'"' + text + u'"';
}

// The findings of one record as they are found.
struct RecordFindings {
    std::vector<Finding>& all;
    int record;
    QString file;
    QString programName;

    void add(const QString& finding, const QString& field, Severity severity, const QString& detail) {
        all.push_back({record, file, programName, finding, field, severity, detail});
    }
};

void checkField(RecordFindings& found, const Field& field, const QString& value) {
    if (const QStringList unsafe = unsafeMarkupIn(value, field.isUrl); !unsafe.isEmpty()) {
        found.add(finding::UnsafeValue, field.tag, Severity::Error,
                  u"holds "_s + quoted(unsafe.join(u"\", \""_s)));
    }
    if (field.isUrl && !value.trimmed().isEmpty() &&
        platform::KindOfAddress(value) != platform::AddressKind::Web) {
        found.add(finding::NotWebAddress, field.tag, Severity::Warning,
                  quoted(value) + u" is not an absolute http or https address"_s);
    }
    if (field.descriptionLimit == 0) {
        return;
    }
    if (value.trimmed().isEmpty()) {
        found.add(finding::DescriptionEmpty, field.tag, Severity::Warning, u"empty"_s);
    } else if (const qsizetype length = padLength(value); length > field.descriptionLimit) {
        found.add(finding::DescriptionTooLong, field.tag, Severity::Warning,
                  u"%1 characters, over %2"_s.arg(length).arg(field.descriptionLimit));
    }
}

void checkCategory(RecordFindings& found, const QString& tag, const QString& category) {
    if (OfficialCategories.contains(category)) {
        return;
    }
    const QString like = officialCategoryLike(category);
    found.add(finding::UnofficialCategory, tag, Severity::Warning,
              category.isEmpty() ? u"empty"_s
              : like.isEmpty()
                  ? quoted(category) + u" is not a PAD category"_s
                  : quoted(category) + u" is not a PAD category; the official one is "_s + quoted(like));
}

QString pageFileName(const QString& programName) {
    return programName + u".html"_s;
}

// The name of the page file, or else of its first category folder, that is too long for the
// system; "" when each fits. A long program name is named first, as a refused one is.
QString overlongName(const QString& programName, const QString& file) {
    const QString pageName = pageFileName(programName);
    if (QFile::encodeName(pageName).size() > MaxNameBytes) {
        return pageName;
    }
    for (const QString& level : file.split(QDir::separator())) {
        if (QFile::encodeName(level).size() > MaxNameBytes) {
            return level;
        }
    }
    return QString();
}

} // namespace

PadCheck::PadCheck(bool byCategory)
    : m_byCategory(byCategory) {}

void PadCheck::notLoaded(int record, const QString& file, const QString& reason) {
    m_findings.push_back({record, file, QString(), finding::NotLoaded, QString(), Severity::Error, reason});
}

// The page file the record would write, named as the page writer names it; the later of two
// records with one page file replaces the earlier's page.
void PadCheck::checkPage(int record, const QString& file, const QString& programName,
                         const QString& category) {
    RecordFindings found{m_findings, record, file, programName};
    const std::optional<QString> folder = m_byCategory ? std::optional(category) : std::nullopt;
    const Result<QString> page = pagegen::PagePath(PageFolder, programName, folder);
    if (!page) {
        const bool nameAccepted = pagegen::PagePath(PageFolder, programName, std::nullopt).ok();
        found.add(finding::NoPage, nameAccepted ? padFields().back().tag : padFields().front().tag,
                  Severity::Error, page.message());
        return;
    }
    const QString pageFile = page.value().mid(PageFolder.size() + 1);
    if (const QString tooLong = overlongName(programName, pageFile); !tooLong.isEmpty()) {
        const bool inName = tooLong == pageFileName(programName);
        found.add(finding::NoPage, inName ? padFields().front().tag : padFields().back().tag, Severity::Error,
                  NameTooLong.arg(inName ? u"program name"_s : u"category"_s, inName ? programName : category,
                                  tooLong, QString::number(QFile::encodeName(tooLong).size()),
                                  QString::number(MaxNameBytes)));
        return;
    }
    if (const auto earlier = m_pageMakers.constFind(pageFile); earlier != m_pageMakers.cend()) {
        found.add(finding::PageLost, padFields().front().tag, Severity::Error,
                  u"replaces the page of record %1: %2"_s.arg(*earlier, pageFile));
    }
    m_pageMakers.insert(pageFile,
                        file.isEmpty() ? QString::number(record) : u"%1 (%2)"_s.arg(record).arg(file));
}

void PadCheck::checkText(int record, const QString& file, const QString& padText) {
    const auto first = qsizetype(m_findings.size());
    const QStringList rowValues = pagegen::ValuesBetween(padText, pagegen::PadFieldTable());
    std::vector<QString> values;
    for (const Field& field : padFields()) {
        values.push_back(rowValues[qsizetype(field.row)]);
    }
    // Row 1 names the page, row 17 its category folder.
    const QString& name = values.front();
    checkPage(record, file, name, values.back());
    RecordFindings found{m_findings, record, file, name};
    for (std::size_t i = 0; i < padFields().size(); ++i) {
        checkField(found, padFields()[i], values[i]);
    }
    checkCategory(found, padFields().back().tag, values.back());
    // A record's errors come before its warnings, each kind in the table's order of fields.
    std::stable_partition(m_findings.begin() + first, m_findings.end(),
                          [](const Finding& f) { return f.severity == Severity::Error; });
}

} // namespace vt::check
