#include "fetch/Recipe.h"

#include <QCryptographicHash>

namespace vt::fetch {

using namespace Qt::StringLiterals;

namespace {

const QString Version = QStringLiteral(VELLUMTIDE_VERSION);

} // namespace

QString PagesRecipe(const QString& pageTemplate, const QString& adBlock, bool escapeMarkup) {
    const QString made =
        Version + QChar(0) + pageTemplate + QChar(0) + adBlock + (escapeMarkup ? u"\0escaped"_s : QString());
    return QString::fromLatin1(QCryptographicHash::hash(made.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString TextsRecipe() {
    return u"PAD texts of version "_s + Version;
}

} // namespace vt::fetch
