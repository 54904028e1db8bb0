#include "editorfixture.h"

#include "ui/editor/consolepanel.h"
#include "ui/editor/labelmenu.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QListView>
#include <QPlainTextEdit>
#include <QTest>

using namespace tervelle;
using tervelle::test::EditorTest;

namespace {

class Console : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        console = test::panelOf<ConsolePanel>(*editor);
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    }

    // The console's text as shown, once the waiting lines are in.
    QString shownText()
    {
        if (console->hasPendingLines()) {
            EXPECT_TRUE(QTest::qWaitFor([&] { return !console->hasPendingLines(); }));
        }
        return console->text()->toPlainText();
    }

    ConsolePanel *console = nullptr;
};

TEST_F(Console, ShowConsoleShowsItFocusedAndAnotherControlHidesItWithItsLinesKept)
{
    console->appendConsoleLine(QStringLiteral("kept"));
    item("mnuFileShowConsole")->trigger();
    EXPECT_TRUE(console->isVisible());
    EXPECT_TRUE(console->text()->hasFocus());
    EXPECT_TRUE(console->text()->isReadOnly());
    // One width as a person sees it, whatever the font file says of itself.
    EXPECT_TRUE(glyphsOfOneWidth(console->text()->font()));

    QTest::mouseClick(widget<QListView>("lstMaps")->viewport(), Qt::LeftButton);
    EXPECT_FALSE(console->isVisible());
    EXPECT_EQ(console->lines(), QStringList{QStringLiteral("kept")});

    // Tab away hides it too; a label-menu opening hides it as well.
    item("mnuFileShowConsole")->trigger();
    QTest::keyClick(console->text(), Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_FALSE(console->isVisible());
    item("mnuFileShowConsole")->trigger();
    whileNextPopupOpen([&] { QTest::mouseClick(widget<LabelMenu>("mnuEdit"), Qt::LeftButton); });
    EXPECT_FALSE(console->isVisible());
    EXPECT_EQ(shownText(), QStringLiteral("kept"));
}

TEST_F(Console, ItsOwnMenuAnotherWindowAndAnotherApplicationLeaveItShown)
{
    item("mnuFileShowConsole")->trigger();
    QWidget *area = console->text()->viewport();
    const QString opened = whileNextPopupOpen(
        [&] {
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), area->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(area, &event);
        },
        [&](QWidget *) { EXPECT_TRUE(console->isVisible()); });
    EXPECT_EQ(opened, "pmnuCompile");
    EXPECT_TRUE(console->isVisible());

    // A dialog of the program, as the console's own Save dialog is.
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_TRUE(console->isVisible());
    other.close();

    // Another application: no window of ours has the focus.
    QApplication::setActiveWindow(nullptr);
    QApplication::processEvents();
    EXPECT_TRUE(console->isVisible());
}

TEST_F(Console, SaveToFileAsksWithTheTablesTextsAndWritesTheLinesWithCrLf)
{
    console->appendConsoleLine(QStringLiteral("Started building map pack"));
    console->appendConsoleLine(QStringLiteral("Compiler line"));
    console->appendConsoleLine(QStringLiteral("Done"));
    dialogs.saveAnswers.enqueue(tempPath(QStringLiteral("log")));
    item("mnuCompileSaveToFile")->trigger();

    ASSERT_EQ(dialogs.asked.size(), 1);
    const FileDialogRequest &request = dialogs.asked.first().request;
    EXPECT_EQ(request.title, QStringLiteral("Save console to file"));
    EXPECT_EQ(request.filter, QStringLiteral("Text(*.txt)|*.txt|All(*.*)|*.*"));
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
    EXPECT_EQ(test::readBytes(tempPath(QStringLiteral("log.txt"))),
              "Started building map pack\r\nCompiler line\r\nDone\r\n");
    EXPECT_TRUE(dialogs.messages().isEmpty());

    // Cancel writes nothing; a folder that is not there is named in the message.
    item("mnuCompileSaveToFile")->trigger();
    const QString missing = tempPath(QStringLiteral("no/such/log.txt"));
    dialogs.saveAnswers.enqueue(missing);
    item("mnuCompileSaveToFile")->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages().first().contains(QStringLiteral("log.txt")))
        << dialogs.messages().first().toStdString();
    EXPECT_EQ(console->lines().size(), 3);
}

TEST_F(Console, ClearEmptiesItAndLaterLinesStartAfresh)
{
    for (int i = 0; i < 5; ++i)
        console->appendConsoleLine(QStringLiteral("first build %1").arg(i));
    EXPECT_EQ(shownText().count(QLatin1Char('\n')), 4);
    item("mnuCompileClear")->trigger();
    EXPECT_TRUE(console->lines().isEmpty());
    EXPECT_TRUE(console->text()->toPlainText().isEmpty());
    console->appendConsoleLine(QStringLiteral("second build"));
    EXPECT_EQ(shownText(), QStringLiteral("second build"));
    // Lines still waiting when Clear comes are gone too.
    console->appendConsoleLine(QStringLiteral("waiting"));
    console->mnuCompileClearClick();
    EXPECT_EQ(shownText(), QString());
}

TEST_F(Console, AFloodOfLinesIsShownInBatchesWithNothingLostOrReordered)
{
    const qsizetype total = 3 * ConsolePanel::LinesPerTurn + 17;
    for (qsizetype i = 0; i < total; ++i)
        console->appendConsoleLine(QString::number(i));
    // Nothing is laid out while the lines arrive; each turn of the event loop shows one batch.
    EXPECT_TRUE(console->text()->toPlainText().isEmpty());
    const QStringList shown = shownText().split(QLatin1Char('\n'));
    ASSERT_EQ(shown.size(), total);
    EXPECT_EQ(shown.first(), QStringLiteral("0"));
    EXPECT_EQ(shown.last(), QString::number(total - 1));
    EXPECT_EQ(console->lines(), shown);
}

} // namespace
