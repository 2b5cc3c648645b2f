#pragma once

#include <QString>

#include "pagegen/TemplateDefaults.h"

namespace vt::pagegen {

// The three editable texts pages are made from. Nothing of them is saved: every run, and every
// text whose window is closed, starts again from the defaults.
struct TemplateStore {
    QString pageTemplate = DefaultPageTemplate();   // the working copy the fill writes into
    QString backupTemplate = DefaultPageTemplate(); // the master copy restored after each page
    QString adBlock = DefaultAdBlock();
};

} // namespace vt::pagegen
