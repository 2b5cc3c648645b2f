#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "../support/ScriptedBrowser.h"
#include "../support/ScriptedDialogs.h"
#include "article/ArticleTemplates.h"
#include "article/Form10.h"
#include "article/Form9.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "workflow/BoxText.h"
#include "workflow/Workflow.h"

using namespace vt::article;
using vt::platform::Answer;
using vt::platform::MessageButtons;
using vt::platform::MessageIcon;
using vt::workflow::TemplateText;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vt::platform::Answer)

namespace {

const QString Question = u"Do you want to make an article from each of the files in the folder?"_s;

// The article maker over a workflow whose working template is the short outline, placed there
// as a user would through the web page template window.
struct Maker {
    vt::testing::ScriptedDialogs dialogs;
    vt::testing::ScriptedBrowser browser;
    vt::workflow::Workflow workflow{dialogs, browser, [] {
                                    }};
    Form9 form{workflow, dialogs};

    Maker() { workflow.setTemplateText(TemplateText::Page, ShortArticleTemplate()); }
    template <typename Widget = QWidget> Widget* control(const char* name) const {
        return form.findChild<Widget*>(QString::fromLatin1(name));
    }
    QStringList shown() const {
        QStringList names;
        for (const char* name : {"Label1", "Text2", "Command2", "Command4", "Command1", "Command5", "Drive1",
                                 "Command3", "Dir1", "Text1"}) {
            if (!control(name)->isHidden()) {
                names += QString::fromLatin1(name);
            }
        }
        return names;
    }
    void click(const char* name) const { control<QPushButton>(name)->click(); }
    QString page() const { return workflow.templateText(TemplateText::Page); }
};

const QStringList InitiallyShown{u"Label1"_s, u"Text2"_s, u"Command2"_s, u"Command4"_s, u"Command5"_s};
const QStringList ChoosingShown = InitiallyShown + QStringList{u"Drive1"_s, u"Command3"_s, u"Dir1"_s};

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Three PAD texts a, b, c; each names its program and keywords after its file.
void writeSources(const QTemporaryDir& folder) {
    for (const char* name : {"a", "b", "c"}) {
        writeBytes(folder.filePath(QString::fromLatin1(name)), QByteArray("<Keywords>k ") + name +
                                                                   "</Keywords>\r\n<Program_Name>" + name +
                                                                   "</Program_Name>");
    }
}

} // namespace

class TestArticleWindows : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheShortOutlineHidden() {
        Maker m;
        QCOMPARE(m.form.objectName(), u"Form9"_s);
        QCOMPARE(m.form.windowTitle(), u"Make Article"_s);
        QCOMPARE(m.shown(), InitiallyShown);
        QCOMPARE(m.control<QLabel>("Label1")->text(),
                 u"Select the folder in which your articles are contained"_s);
        QCOMPARE(m.control<QPushButton>("Command2")->text(), u"..."_s);
        QCOMPARE(m.control<QPushButton>("Command4")->text(), u"step1"_s);
        QCOMPARE(m.control<QPushButton>("Command1")->text(), u"step2"_s);
        QCOMPARE(m.control<QPushButton>("Command5")->text(), u"step3"_s);
        QCOMPARE(m.control<QPushButton>("Command3")->text(), u"Click when you have chosen your folder"_s);
        QVERIFY(m.control<QLineEdit>("Text2")->text().isEmpty());
        QCOMPARE(m.form.workArea(), ShortArticleTemplate());
        QCOMPARE(m.control<QPlainTextEdit>("Text1")->toPlainText(),
                 vt::workflow::toBoxText(ShortArticleTemplate()));
    }

    void choosingAFolderFillsTheFolderBox() {
        Maker m;
        m.click("Command2");
        QCOMPARE(m.shown(), ChoosingShown);
        QTemporaryDir folder;
        m.form.folderList()->setPath(folder.path());
        QCOMPARE(m.control<QLineEdit>("Text2")->text(), folder.path());
        // Choosing a drive moves the folder list to its root, and the folder box with it.
        const QString root = QDir(folder.path()).rootPath();
        emit m.form.driveList()->driveChosen(root);
        QCOMPARE(m.form.folderList()->path(), root);
        QCOMPARE(m.control<QLineEdit>("Text2")->text(), root);
    }

    // The fill runs before the question, over the work area as it stands (the short outline,
    // which holds no PAD tags); Yes then loads the folder, leaving c's text in the work area.
    void confirmSequence_data() {
        QTest::addColumn<Answer>("answer");
        QTest::addColumn<bool>("loaded");
        QTest::addRow("yes") << Answer::Yes << true;
        QTest::addRow("no") << Answer::No << false;
    }
    void confirmSequence() {
        QFETCH(Answer, answer);
        QFETCH(bool, loaded);
        Maker m;
        QTemporaryDir folder;
        writeSources(folder);
        m.workflow.setCurrentProgramName(u"before"_s);
        m.click("Command2");
        m.form.folderList()->setPath(folder.path());

        QString pageWhenAsked;
        QString workAreaWhenAsked;
        m.dialogs.onMessage = [&] {
            pageWhenAsked = m.page();
            workAreaWhenAsked = m.form.workArea();
        };
        m.dialogs.answers.push_back(answer);
        m.click("Command3");

        QCOMPARE(m.dialogs.shown.size(), 1u);
        QCOMPARE(m.dialogs.shown.front().text, Question);
        QCOMPARE(m.dialogs.shown.front().buttons, MessageButtons::YesNo);
        QCOMPARE(m.dialogs.shown.front().icon, MessageIcon::None);
        QCOMPARE(workAreaWhenAsked, ShortArticleTemplate());
        QVERIFY(!pageWhenAsked.contains(u"titleXXX"_s) && pageWhenAsked.contains(u"resourceXXX"_s));
        QCOMPARE(m.page(), pageWhenAsked);
        QVERIFY(m.workflow.currentProgramName().isEmpty());
        QCOMPARE(m.shown(), InitiallyShown);
        QCOMPARE(m.control<QLineEdit>("Text2")->text(), folder.path());
        const QString lastText = u"<Keywords>k c</Keywords>\r\n<Program_Name>c</Program_Name>\r\n"_s;
        QCOMPARE(m.form.workArea(), loaded ? lastText : ShortArticleTemplate());
        QCOMPARE(m.control<QPlainTextEdit>("Text1")->toPlainText(),
                 vt::workflow::toBoxText(m.form.workArea()));
    }

    // A load by step1, then the confirm button: the fill takes the last file's values.
    void fillAfterALoadTakesTheLastFile() {
        Maker m;
        QTemporaryDir folder;
        writeSources(folder);
        QTest::keyClicks(m.control<QLineEdit>("Text2"), folder.path());
        m.click("Command4");
        QVERIFY(m.form.workArea().contains(u"<Program_Name>c</Program_Name>"_s));
        QVERIFY(m.dialogs.shown.empty());

        m.dialogs.answers.push_back(Answer::No);
        m.click("Command3");
        QCOMPARE(m.workflow.currentProgramName(), u"c"_s);
        QVERIFY(m.page().contains(u"TITLE:\r\nc\r\n"_s));
        QVERIFY(m.page().contains(u"KEYWORDS:\r\nk c\r\n"_s));
        QCOMPARE(m.control<QLineEdit>("Text2")->text(), folder.path());
        QCOMPARE(m.shown(), InitiallyShown);
    }

    void longOutlineWindow() {
        Form10 form;
        QCOMPARE(form.objectName(), u"Form10"_s);
        QCOMPARE(form.windowTitle(), u"Make Article"_s);
        auto* text1 = form.findChild<QPlainTextEdit*>(u"Text1"_s);
        QVERIFY(text1 && !text1->isHidden());
        QCOMPARE(text1->toPlainText(), vt::workflow::toBoxText(LongArticleTemplate()));
    }
};

QTEST_MAIN(TestArticleWindows)
#include "tst_articlewindows.moc"
