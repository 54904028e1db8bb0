#include "editorfixture.h"

#include "project/recovery.h"

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QTest>
#include <QTimer>

namespace tervelle::test {

void EditorTest::SetUp()
{
    previousState = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", QFile::encodeName(state.path()));
    resetLanguage();
    makeEditor();
}

void EditorTest::TearDown()
{
    editor.reset();
    resetLanguage();
    qputenv("XDG_STATE_HOME", previousState);
}

void EditorTest::makeEditor()
{
    editor.reset();
    // As the program starts: the settings the last window wrote back.
    settings = LoadSettings();
    editor = std::make_unique<TfrmEditor>(settings, &dialogs);
    checkItemModels();
    editor->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
}

void EditorTest::checkItemModels()
{
    // Every change a test drives through the window is checked against the item model rules;
    // a broken rule ends the test program at once.
    for (const char *view : {"lstMaps", "lstHeader", "lstProperties", "lstFiles", "lstResources"}) {
        QAbstractItemModel *model = widget<QAbstractItemView>(view)->model();
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::Fatal, editor.get());
    }
}

QAction *EditorTest::item(const char *name) const
{
    auto *found = editor->findChild<QAction *>(QString::fromLatin1(name));
    if (!found)
        ADD_FAILURE() << "no menu item " << name;
    return found;
}

QString EditorTest::whileNextPopupOpen(const std::function<void()> &open, const std::function<void(QWidget *)> &during)
{
    QString seen;
    QTimer::singleShot(0, [&] {
        QWidget *popup = QApplication::activePopupWidget();
        if (!popup)
            return;
        seen = popup->objectName();
        if (during)
            during(popup);
        popup->close();
    });
    open();
    // A popup that was opened without blocking is closed by the timer above once events run.
    QApplication::processEvents();
    return seen;
}

ProjectModel &EditorTest::projectToSetUp()
{
    // The document hands out its model to change only within a change; one that changes
    // nothing leaves no step.
    ProjectModel *model = nullptr;
    editor->document().change(QString(), [&](ProjectModel &project) { model = &project; });
    return *model;
}

QString EditorTest::recoveryDir() const
{
    return recoveryFolder();
}

QStringList EditorTest::recoveryFiles() const
{
    return QDir(recoveryDir()).entryList({QStringLiteral("*.mpr")}, QDir::Files, QDir::Name);
}

} // namespace tervelle::test
