#include "files/SafePath.h"

#include <QDir>

#include <array>

#include "files/ShownText.h"

namespace vt::files {
namespace {

// The ASCII characters a name cannot hold: the controls, DEL and \ / : * ? " < > |.
constexpr std::array<bool, 128> RefusedAscii = [] {
    std::array<bool, 128> refused{};
    for (char16_t c = 0; c < 0x20; ++c) {
        refused[c] = true;
    }
    for (const char16_t c : u"\\/:*?\"<>|\x7F") {
        refused[c] = true;
    }
    return refused;
}();

bool isRefusedCharacter(QChar c) {
    return c.unicode() < RefusedAscii.size() ? RefusedAscii[c.unicode()] : isBidiControl(c);
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
    return true;
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
    if (!isAcceptedName(stem)) {
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
