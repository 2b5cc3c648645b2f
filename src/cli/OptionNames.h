#pragma once

#include <QString>

// The names of the options, shared by the command table and the commands that read them.
namespace vt::cli::option {

inline const QString FromTexts = QStringLiteral("from-texts");
inline const QString UrlList = QStringLiteral("url-list");
inline const QString Storage = QStringLiteral("storage");
inline const QString Start = QStringLiteral("start");
inline const QString End = QStringLiteral("end");
inline const QString Template = QStringLiteral("template");
inline const QString AdBlock = QStringLiteral("ad-block");
inline const QString Long = QStringLiteral("long");
inline const QString Quiet = QStringLiteral("quiet");
inline const QString AllowLocalFiles = QStringLiteral("allow-local-files");
inline const QString SafeValues = QStringLiteral("safe-values");
inline const QString Parallel = QStringLiteral("parallel");
inline const QString Timeout = QStringLiteral("timeout");
inline const QString PadTextFolder = QStringLiteral("pad-text-folder");
inline const QString Folder = QStringLiteral("folder");
inline const QString Per = QStringLiteral("per");
inline const QString ByCategory = QStringLiteral("by-category");
inline const QString Format = QStringLiteral("format");
inline const QString SinceLast = QStringLiteral("since-last");
inline const QString SiteUrl = QStringLiteral("site-url");
inline const QString IndexTemplate = QStringLiteral("index-template");
inline const QString Theme = QStringLiteral("theme");

} // namespace vt::cli::option
