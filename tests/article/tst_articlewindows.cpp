#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "../support/WorkflowFixture.h"
#include "article/ArticleTemplates.h"
#include "article/Form9.h"
#include "platform/DriveList.h"
#include "platform/FolderList.h"
#include "workflow/BoxText.h"

using namespace vt::article;
using vt::platform::Answer;
using vt::workflow::TemplateText;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(vt::platform::Answer)

namespace {

// The controls not hidden, in the order the window made them. The work area and step2 stay
// hidden in every state.
QStringList shown(const QWidget& form) {
    QStringList names;
    for (const QWidget* control : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isHidden()) {
            names += control->objectName();
        }
    }
    return names;
}

const QStringList InitiallyShown{u"Label1"_s, u"Text2"_s, u"Command2"_s, u"Command4"_s, u"Command5"_s};
const QStringList ChoosingShown = InitiallyShown + QStringList{u"Drive1"_s, u"Command3"_s, u"Dir1"_s};

} // namespace

class TestArticleWindows : public QObject {
    Q_OBJECT

private slots:
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
        vt::testing::WorkflowFixture f;
        for (const QByteArray name : {"a", "b", "c"}) {
            f.write(QString::fromLatin1(name),
                    "<Keywords>k " + name + "</Keywords>\r\n<Program_Name>" + name + "</Program_Name>");
        }
        // The working template is the short outline, as a user would place it through the web
        // page template window.
        vt::testing::ScriptedDialogs& dialogs = f.dialogs;
        vt::workflow::Workflow& workflow = f.workflow;
        workflow.setTemplateText(TemplateText::Page, ShortArticleTemplate());
        workflow.setCurrentProgramName(u"before"_s);
        Form9 form(workflow, dialogs);
        QCOMPARE(shown(form), InitiallyShown);
        form.findChild<QPushButton*>(u"Command2"_s)->click();
        QCOMPARE(shown(form), ChoosingShown);
        // A drive moves the folder list to its root; the folder box follows the folder list.
        emit form.driveList()->driveChosen(QDir::rootPath());
        QCOMPARE(form.findChild<QLineEdit*>(u"Text2"_s)->text(), QDir::rootPath());
        form.folderList()->setPath(f.temp.path());

        QStringList whenAsked; // the page, then the work area
        dialogs.onMessage = [&] {
            whenAsked = {workflow.templateText(TemplateText::Page), form.workArea()};
        };
        dialogs.answers.push_back(answer);
        form.findChild<QPushButton*>(u"Command3"_s)->click();

        QCOMPARE(dialogs.texts(),
                 QStringList{u"Do you want to make an article from each of the files in the folder?"_s});
        QCOMPARE(dialogs.shown.front().buttons, vt::platform::MessageButtons::YesNo);
        QVERIFY(!whenAsked.at(0).contains(u"titleXXX"_s) && whenAsked.at(0).contains(u"resourceXXX"_s));
        QCOMPARE(whenAsked.at(1), ShortArticleTemplate());
        QVERIFY(workflow.templateText(TemplateText::Page) == whenAsked.at(0) &&
                workflow.currentProgramName().isEmpty());
        QCOMPARE(shown(form), InitiallyShown);
        const QString lastText = u"<Keywords>k c</Keywords>\r\n<Program_Name>c</Program_Name>\r\n"_s;
        QCOMPARE(form.workArea(), loaded ? lastText : ShortArticleTemplate());
        QCOMPARE(form.findChild<QPlainTextEdit*>(u"Text1"_s)->toPlainText(),
                 vt::workflow::toBoxText(form.workArea()));

        // The next fill takes its values from what the first one loaded.
        dialogs.answers.push_back(Answer::No);
        form.findChild<QPushButton*>(u"Command3"_s)->click();
        QCOMPARE(workflow.currentProgramName(), loaded ? u"c"_s : QString());
    }
};

QTEST_MAIN(TestArticleWindows)
#include "tst_articlewindows.moc"
