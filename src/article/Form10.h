#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace vt::article {

// The long article outline, "Make Article": one text box holding LongArticleTemplate. Edits
// stay in the box; the window has no action of its own.
class Form10 final : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form10)

public:
    explicit Form10(QWidget* parent = nullptr);
};

} // namespace vt::article
