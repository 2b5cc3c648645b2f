#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The one place where paths are joined. A name the system refuses can never lead a write
// outside the folder the user chose: such a join gives no path at all.
namespace vt::files {

// A name the file system refuses: empty, "." or "..", or holding \ / : * ? " < > |, a control
// character or a bidirectional control. Device names of other systems ("Aux", "con.fig") are
// ordinary names here.
bool isAcceptedName(QStringView name);

// folder + separator + name, or nothing when the folder is empty or the name is refused.
std::optional<QString> childPath(const QString& folder, QStringView name);

// folder + separator + stem + extension (".html", ".txt"), when the stem is itself an accepted
// name: a nameless ".html" would be a hidden file that every nameless record overwrites.
std::optional<QString> childFilePath(const QString& folder, QStringView stem, QStringView extension);

// A nested relative path such as "Home/Hobby" or "Home\Hobby": both separators split it, and
// every part must be an accepted name.
std::optional<QString> nestedPath(const QString& folder, QStringView relativePath);

// folder + separator + name, as shown to the user, whatever the name holds.
QString displayPath(const QString& folder, QStringView name);

} // namespace vt::files
