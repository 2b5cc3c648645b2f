#pragma once

#include "files/Outcome.h"

#include <QString>

#include <array>
#include <vector>

// The index template: an editable page with a block of text repeated once per category folder and
// one repeated once per program. Its placeholders are filled in one pass: a value is never
// searched for placeholders again.
namespace vt::site {

// What the index pages fill in. The page's own values stand anywhere in the template; a row's
// values only in the block of its row.
enum class Slot {
    IndexTitle,         // IndexTitleXXX: the category ("Home/Hobby"), TopIndexTitle or FolderIndexTitle
    TopIndex,           // TopIndexXXX: the link to the top index (Category/index.html) from this page
    CategoryName,       // CategoryNameXXX: the category of the folder, its levels joined by "/"
    CategoryLink,       // CategoryLinkXXX: the link to the folder's index page
    CategoryPages,      // CategoryPagesXXX: the number of program pages in the folder
    ProgramName,        // ProgramNameXXX: the program's name, as its page file is named
    ProgramLink,        // ProgramLinkXXX: the link to its page
    ProgramVersion,     // ProgramVersionXXX: Program_Version of its PAD text, "" when none is found
    ProgramDescription, // ProgramDescriptionXXX: the short description its page shows under its name
};
inline constexpr std::size_t SlotCount = std::size_t(Slot::ProgramDescription) + 1;

// The values of one page or row, by slot; links are percent-encoded, every other value is text
// that the fill escapes as markup.
using SlotValues = std::array<QString, SlotCount>;

inline const QString TopIndexTitle = QStringLiteral("Categories");
// The title of the index of a folder of pages without categories.
inline const QString FolderIndexTitle = QStringLiteral("Programs");

// A block is the text between its two markers; a line end right after a marker goes with it.
inline const QString CategoryRowBegin = QStringLiteral("<!--BeginCategoryRow-->");
inline const QString CategoryRowEnd = QStringLiteral("<!--EndCategoryRow-->");
inline const QString ProgramRowBegin = QStringLiteral("<!--BeginProgramRow-->");
inline const QString ProgramRowEnd = QStringLiteral("<!--EndProgramRow-->");

class IndexTemplate {
public:
    enum class Part { Text, CategoryRows, ProgramRows };

    // The parts of the template's text, as a text file is read (Windows-1252); one that declares
    // UTF-8 is decoded again from the same bytes as UTF-8. Refused, with the reason, when a block's
    // markers are not one begin followed by its end, or a block stands twice. `source` names the
    // template in the message.
    static Result<IndexTemplate> parse(const QString& fileText, const QString& source);

    // The page: each text part once, each block once per row of its kind (none: left out).
    QString fill(const SlotValues& page, const std::vector<SlotValues>& categoryRows,
                 const std::vector<SlotValues>& programRows) const;

    // Whether the template declares its page UTF-8 (a "charset=utf-8"); pages are Windows-1252
    // otherwise, as every page of the system is.
    bool declaresUtf8() const { return m_utf8; }

private:
    // A text with its placeholders found: literal pieces, each followed by a slot or by none.
    struct Piece {
        QString literal;
        int slot = -1;
    };
    struct Section {
        Part part;
        std::vector<Piece> pieces;
    };

    static std::vector<Piece> piecesOf(QStringView text, Part part);
    // The pieces with their slots filled: a page's value from `page`, a row's from `row`.
    static void appendFilled(QString& out, const std::vector<Piece>& pieces, const SlotValues& page,
                             const SlotValues& row);

    std::vector<Section> m_sections;
    bool m_utf8 = false;
};

// The template a run starts from: lines ending with CR LF, as the page template's.
const QString& DefaultIndexTemplate();

} // namespace vt::site
