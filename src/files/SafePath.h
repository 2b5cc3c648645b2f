#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The one place where paths are joined. A name the system refuses can never lead a write
// outside the folder the user chose: such a join gives no path at all.
namespace vt::files {

// A name the file system refuses: empty, "." or "..", holding \ / : * ? " < > | or a control
// character, or a device name such as "CON" or "lpt1.txt".
bool isAcceptedName(QStringView name);

// folder + separator + name, or nothing when the folder is empty or the name is refused.
std::optional<QString> childPath(const QString& folder, QStringView name);

// folder + separator + stem + extension (".html", ".txt"). The stem may be empty (".html"),
// but not "." or "..".
std::optional<QString> childFilePath(const QString& folder, QStringView stem, QStringView extension);

// A nested relative path such as "Home/Hobby" or "Home\Hobby": both separators split it, and
// every part must be an accepted name.
std::optional<QString> nestedPath(const QString& folder, QStringView relativePath);

// folder + separator + name, as shown to the user, whatever the name holds.
QString displayPath(const QString& folder, QStringView name);

} // namespace vt::files
