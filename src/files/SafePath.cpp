#include "files/SafePath.h"

#include <QDir>

#include <array>

namespace vt::files {
namespace {

bool isRefusedCharacter(QChar c) {
    static constexpr QStringView Refused = u"\\/:*?\"<>|";
    return c.unicode() < 0x20 || c.unicode() == 0x7F || Refused.contains(c);
}

// Windows refuses its device names as file names, with or without an extension.
bool isDeviceName(QStringView name) {
    static constexpr std::array<QStringView, 4> Plain = {u"CON", u"PRN", u"AUX", u"NUL"};
    const QStringView base = name.left(name.indexOf(u'.')).trimmed();
    for (const QStringView device : Plain) {
        if (base.compare(device, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    const bool numbered = base.size() == 4 && base[3] >= u'1' && base[3] <= u'9';
    return numbered && (base.left(3).compare(u"COM", Qt::CaseInsensitive) == 0 ||
                        base.left(3).compare(u"LPT", Qt::CaseInsensitive) == 0);
}

} // namespace

bool isAcceptedName(QStringView name) {
    if (name.isEmpty() || name == u"." || name == u"..") {
        return false;
    }
    for (const QChar c : name) {
        if (isRefusedCharacter(c)) {
            return false;
        }
    }
    return !isDeviceName(name);
}

QString displayPath(const QString& folder, QStringView name) {
    return folder + QDir::separator() + name.toString();
}

std::optional<QString> childPath(const QString& folder, QStringView name) {
    if (folder.isEmpty() || !isAcceptedName(name)) {
        return std::nullopt;
    }
    return displayPath(folder, name);
}

std::optional<QString> childFilePath(const QString& folder, QStringView stem, QStringView extension) {
    if (stem == u"." || stem == u"..") {
        return std::nullopt;
    }
    return childPath(folder, stem.toString() + extension.toString());
}

std::optional<QString> nestedPath(const QString& folder, QStringView relativePath) {
    std::optional<QString> path = folder;
    qsizetype start = 0;
    for (qsizetype i = 0; path && i <= relativePath.size(); ++i) {
        if (i == relativePath.size() || relativePath[i] == u'/' || relativePath[i] == u'\\') {
            path = childPath(*path, relativePath.sliced(start, i - start));
            start = i + 1;
        }
    }
    return path;
}

} // namespace vt::files
