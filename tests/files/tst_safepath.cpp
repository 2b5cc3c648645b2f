#include <QDir>

#include "../support/DataRows.h"
#include "files/SafePath.h"

using namespace vt::files;
using namespace Qt::StringLiterals;

class TestSafePath : public QObject {
    Q_OBJECT

private slots:
    void names_data() { vt::testing::addRows("safenames"); }
    void names() {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptedName(name), accepted);
    }

    void joins_data() { vt::testing::addRows("safejoins"); }
    void joins() {
        QFETCH(QString, folder);
        QFETCH(QString, stem);
        QFETCH(QString, expected);
        QCOMPARE(QDir::fromNativeSeparators(childFilePath(folder, stem, u".html").value_or(QString())),
                 expected);
    }

    void nestedPaths_data() { vt::testing::addRows("safenested"); }
    void nestedPaths() {
        QFETCH(QString, relative);
        QFETCH(QString, expected);
        QCOMPARE(QDir::fromNativeSeparators(nestedPath(u"/s"_s, relative).value_or(QString())), expected);
    }
};

QTEST_GUILESS_MAIN(TestSafePath)
#include "tst_safepath.moc"
