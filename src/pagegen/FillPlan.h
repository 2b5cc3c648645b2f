#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "pagegen/TemplateFill.h"

// The fill worked out once per template: a batch fills the same template with the same rows and
// ad block for every record, so where each value lands is the same for every record whose values
// cannot form or break a placeholder.
namespace vt::pagegen {

// The page that FillRow of every row in turn would make of the template, or nullopt when this
// record must be filled row by row: a value that could take part in an occurrence of a placeholder
// where it lands, or a page that could reach MaxPageLength.
std::optional<QString> PlannedFill(const QString& pageTemplate, const std::vector<FieldRow>& rows,
                                   const QStringList& values, const QString& adBlock);

} // namespace vt::pagegen
