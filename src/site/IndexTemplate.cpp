#include "site/IndexTemplate.h"

#include <QRegularExpression>

#include <algorithm>

#include "files/Windows1252.h"
#include "pagegen/MarkupEscape.h"
#include "pagegen/TemplateDefaults.h"

namespace vt::site {
namespace {

using namespace Qt::StringLiterals;

struct Placeholder {
    Slot slot;
    QString text;
    IndexTemplate::Part scope; // Text: the page's own, found in every part
};

const std::vector<Placeholder>& placeholders() {
    using Part = IndexTemplate::Part;
    static const std::vector<Placeholder> all = {
        {Slot::IndexTitle, u"IndexTitleXXX"_s, Part::Text},
        {Slot::TopIndex, u"TopIndexXXX"_s, Part::Text},
        {Slot::CategoryName, u"CategoryNameXXX"_s, Part::CategoryRows},
        {Slot::CategoryLink, u"CategoryLinkXXX"_s, Part::CategoryRows},
        {Slot::CategoryPages, u"CategoryPagesXXX"_s, Part::CategoryRows},
        {Slot::ProgramName, u"ProgramNameXXX"_s, Part::ProgramRows},
        {Slot::ProgramLink, u"ProgramLinkXXX"_s, Part::ProgramRows},
        {Slot::ProgramVersion, u"ProgramVersionXXX"_s, Part::ProgramRows},
        {Slot::ProgramDescription, u"ProgramDescriptionXXX"_s, Part::ProgramRows},
    };
    return all;
}

bool isPageSlot(Slot slot) {
    return slot == Slot::IndexTitle || slot == Slot::TopIndex;
}

// Links are percent-encoded already, which leaves no markup character in them.
bool isLinkSlot(Slot slot) {
    return slot == Slot::TopIndex || slot == Slot::CategoryLink || slot == Slot::ProgramLink;
}

struct Marker {
    qsizetype at;
    IndexTemplate::Part block;
    bool begin;
    const QString* text;
};

const QString& beginOf(IndexTemplate::Part block) {
    return block == IndexTemplate::Part::CategoryRows ? CategoryRowBegin : ProgramRowBegin;
}

const QString& endOf(IndexTemplate::Part block) {
    return block == IndexTemplate::Part::CategoryRows ? CategoryRowEnd : ProgramRowEnd;
}

// Every marker of the text, in order.
std::vector<Marker> markersIn(const QString& text) {
    std::vector<Marker> markers;
    for (const IndexTemplate::Part block :
         {IndexTemplate::Part::CategoryRows, IndexTemplate::Part::ProgramRows}) {
        for (const bool begin : {true, false}) {
            const QString& marker = begin ? beginOf(block) : endOf(block);
            for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
                markers.push_back({at, block, begin, &marker});
            }
        }
    }
    std::sort(markers.begin(), markers.end(), [](const Marker& a, const Marker& b) { return a.at < b.at; });
    return markers;
}

// Where the text goes on after a marker: past the line end right after it, if there is one.
qsizetype afterMarker(const QString& text, const Marker& marker) {
    qsizetype next = marker.at + marker.text->size();
    if (text.mid(next, 2) == u"\r\n"_s) {
        return next + 2;
    }
    return next + (next < text.size() && (text[next] == u'\n' || text[next] == u'\r'));
}

} // namespace

std::vector<IndexTemplate::Piece> IndexTemplate::piecesOf(QStringView text, Part part) {
    struct Found {
        qsizetype at;
        qsizetype length;
        Slot slot;
    };
    std::vector<Found> found;
    for (const Placeholder& placeholder : placeholders()) {
        if (placeholder.scope != Part::Text && placeholder.scope != part) {
            continue;
        }
        for (qsizetype at = text.indexOf(placeholder.text); at >= 0;
             at = text.indexOf(placeholder.text, at + placeholder.text.size())) {
            found.push_back({at, placeholder.text.size(), placeholder.slot});
        }
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.at < b.at; });
    std::vector<Piece> pieces;
    qsizetype from = 0;
    for (const Found& each : found) {
        if (each.at >= from) {
            pieces.push_back({text.sliced(from, each.at - from).toString(), int(each.slot)});
            from = each.at + each.length;
        }
    }
    pieces.push_back({text.sliced(from).toString(), -1});
    return pieces;
}

Result<IndexTemplate> IndexTemplate::parse(const QString& fileText, const QString& source) {
    static const QRegularExpression utf8(u"charset\\s*=\\s*[\"']?\\s*utf-?8"_s,
                                         QRegularExpression::CaseInsensitiveOption);
    const auto refused = [&](const QString& what) {
        return Status::failure(u"The index template \"%1\" cannot be used: %2."_s.arg(source, what));
    };
    IndexTemplate parsed;
    parsed.m_utf8 = utf8.match(fileText).hasMatch();
    // Every byte reads as one character of Windows-1252 and writes back the same.
    const QString text = parsed.m_utf8 ? QString::fromUtf8(files::encodeWindows1252(fileText)) : fileText;
    qsizetype from = 0;
    std::vector<Part> blocks;
    const std::vector<Marker> markers = markersIn(text);
    for (std::size_t i = 0; i < markers.size(); ++i) {
        const Marker& begin = markers[i];
        if (!begin.begin) {
            return refused(u"%1 follows no %2"_s.arg(*begin.text, beginOf(begin.block)));
        }
        if (std::find(blocks.begin(), blocks.end(), begin.block) != blocks.end()) {
            return refused(u"%1 stands twice"_s.arg(*begin.text));
        }
        if (i + 1 == markers.size() || markers[i + 1].begin || markers[i + 1].block != begin.block) {
            return refused(u"%1 is not followed by %2"_s.arg(*begin.text, endOf(begin.block)));
        }
        const Marker& end = markers[++i];
        const qsizetype rowStart = afterMarker(text, begin);
        parsed.m_sections.push_back(
            {Part::Text, piecesOf(QStringView(text).sliced(from, begin.at - from), Part::Text)});
        parsed.m_sections.push_back(
            {begin.block, piecesOf(QStringView(text).sliced(rowStart, end.at - rowStart), begin.block)});
        blocks.push_back(begin.block);
        from = afterMarker(text, end);
    }
    parsed.m_sections.push_back({Part::Text, piecesOf(QStringView(text).sliced(from), Part::Text)});
    return parsed;
}

void IndexTemplate::appendFilled(QString& out, const std::vector<Piece>& pieces, const SlotValues& page,
                                 const SlotValues& row) {
    for (const Piece& piece : pieces) {
        out += piece.literal;
        if (piece.slot >= 0) {
            const auto slot = Slot(piece.slot);
            const QString& value = (isPageSlot(slot) ? page : row)[std::size_t(slot)];
            out += isLinkSlot(slot) ? value : pagegen::EscapeMarkup(value);
        }
    }
}

QString IndexTemplate::fill(const SlotValues& page, const std::vector<SlotValues>& categoryRows,
                            const std::vector<SlotValues>& programRows) const {
    QString out;
    for (const Section& section : m_sections) {
        if (section.part == Part::Text) {
            appendFilled(out, section.pieces, page, page);
            continue;
        }
        for (const SlotValues& row : section.part == Part::CategoryRows ? categoryRows : programRows) {
            appendFilled(out, section.pieces, page, row);
        }
    }
    return out;
}

const QString& DefaultIndexTemplate() {
    static const QString text = pagegen::JoinLines({
        u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\""_s,
        u"\"http://www.w3.org/TR/html4/loose.dtd\">"_s,
        u"<html>"_s,
        u"<head>"_s,
        u"<title>IndexTitleXXX</title>"_s,
        u"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">"_s,
        u"<style type=\"text/css\">"_s,
        u"<!--"_s,
        u"body,td,th {"_s,
        u"\tfont-family: Verdana;"_s,
        u"\tfont-size: 10px;"_s,
        u"}"_s,
        u"body {"_s,
        u"\tmargin-left: 250px;"_s,
        u"\tmargin-top: 50px;"_s,
        u"\tmargin-right: 250px;"_s,
        u"\tmargin-bottom: 50px;"_s,
        u"}"_s,
        u"-->"_s,
        u"</style></head>"_s,
        u"<body>"_s,
        u"<div align=\"center\">"_s,
        u"  <h1>IndexTitleXXX</h1>"_s,
        u"  <p><a href=\"TopIndexXXX\">All categories</a></p>"_s,
        u"  <table border=\"0\" cellpadding=\"4\">"_s,
        CategoryRowBegin,
        u"    <tr><td><a href=\"CategoryLinkXXX\">CategoryNameXXX</a></td><td>CategoryPagesXXX</td></tr>"_s,
        CategoryRowEnd,
        u"  </table>"_s,
        u"  <table border=\"0\" cellpadding=\"4\">"_s,
        ProgramRowBegin,
        u"    <tr><td><a href=\"ProgramLinkXXX\">ProgramNameXXX</a></td><td>ProgramVersionXXX</td>"
        u"<td>ProgramDescriptionXXX</td></tr>"_s,
        ProgramRowEnd,
        u"  </table>"_s,
        u"</div>"_s,
        u"</body>"_s,
        u"</html>"_s,
    });
    return text;
}

} // namespace vt::site
