#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>

// The elements of a PAD text by tag name, found as the classic fill finds its values: the text
// between the first "<Name>" and the first "</Name>" after it, searched as plain text, so a PAD
// text that is not well-formed XML still gives every value it holds.
namespace vt::theme {

// XML character references (the five named ones and numeric ones) and CDATA sections resolved to
// the text they stand for; any other "&" stays as it is.
QString ResolvedXmlText(QStringView raw);

// The names of the elements to find, put in order once for the many PAD texts they are found in.
class ElementNames {
public:
    explicit ElementNames(QStringList names);

    // The place of the name among them, or -1.
    qsizetype indexOf(QStringView name) const;
    const QString& at(qsizetype place) const { return m_names[place]; }
    qsizetype size() const { return m_names.size(); }

private:
    QStringList m_names;
};

// Every element among `names` that holds text: its first occurrence, resolved and trimmed, by tag
// name as written (case counts, as in the fill). An element that holds other elements, or nothing
// but white space, is not among them.
QHash<QString, QString> PadElements(QStringView padText, const ElementNames& names);

} // namespace vt::theme
