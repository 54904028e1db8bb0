// A random walk of user actions through the whole window, repeatable from its number. After
// every step the model and every view must agree, the Delete commands must follow the selection,
// and every saved project must read back to the same bytes; the map pack build and its wizard
// are checked as they end (walkbuild.h, walkwizard.h). A failure names the walk's number,
// its series, the step and the actions so far; TERVELLE_WALK_SERIES, TERVELLE_WALK_NUMBER and
// TERVELLE_WALK_STEPS replay one walk, and TERVELLE_WALK_TRACE prints every step with the
// project's sizes and the messages shown. Series 0, the default, gives the same walks on every
// run; TERVELLE_WALK_SERIES=random draws another series (CI's long walks do) and prints it.
// Undo and Redo are among the commands, every step of the history must give back the project's
// bytes it had when it was made, and each walk ends by undoing to the start of the history and
// redoing to its end, with the views checked after every one of them.
#include "filesfixture.h"
#include "gridtesting.h"
#include "walkbuild.h"
#include "walkrandom.h"
#include "walkwizard.h"

#include "core/errors.h"
#include "project/projectdocument.h"
#include "project/projectfile.h"
#include "ui/editor/filespanel.h"
#include "ui/editor/filestreemodel.h"
#include "ui/editor/headerpanel.h"
#include "ui/editor/mapspanel.h"
#include "ui/editor/projectitemmodels.h"
#include "ui/editor/propertiespanel.h"
#include "ui/editor/resourcesmodel.h"
#include "ui/editor/resourcespanel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHash>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QTreeView>
#include <QUndoStack>

#include <cstdio>
#include <functional>
#include <optional>
#include <random>

namespace tervelle::test {

namespace {

// Every menu command of every panel but Exit.
const char *const Commands[] = {
    "mnuFileNew",
    "mnuFileOpen",
    "mnuFileSaveProject",
    "mnuFileSaveMapPack",
    "mnuFilePackProperties",
    "mnuFileHelp",
    "mnuFileShowConsole",
    "mnuEditAdd",
    "mnuEditDelete",
    "mnuEditDuplicate",
    "mnuEditMoveUp",
    "mnuEditMoveDown",
    "mnuEditUndo",
    "mnuEditRedo",
    "mnuHeaderEditAdd",
    "mnuHeaderEditAddInfo",
    "mnuHeaderEditDelete",
    "mnuPropertiesEditAdd",
    "mnuPropertiesEditDelete",
    "mnuPropertiesEditTexturesDir",
    "mnuFilesEditAdd",
    "mnuFilesEditCreateFolder",
    "mnuFilesEditDelete",
    "mnuResourcesEditAdd",
    "mnuResourcesEditAddDir",
    "mnuResourcesEditAddSubDirs",
    "mnuResourcesEditRename",
    "mnuResourcesEditDelete",
    "mnuResourcesEditClear",
};

// The series of this run's walks: TERVELLE_WALK_SERIES, 0 when it is not set, or one drawn once for
// the run when it says "random"; nothing when it is neither.
std::optional<quint32> walkSeries()
{
    static const std::optional<quint32> series = []() -> std::optional<quint32> {
        const QByteArray named = qgetenv("TERVELLE_WALK_SERIES");
        if (named.isEmpty())
            return 0;
        if (named == "random") {
            std::random_device device;
            quint32 drawn = 0;
            while (drawn == 0)
                drawn = device();
            return drawn;
        }
        bool ok = false;
        const uint number = named.toUInt(&ok);
        return ok ? std::optional<quint32>(number) : std::nullopt;
    }();
    return series;
}

class RandomWalk : public FilesTest
{
protected:
    void SetUp() override
    {
        FilesTest::SetUp();
        editor->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
        for (const char *name :
             {"res/level.xan", "res/height.tga", "res/icon.tga", "res/textures.txt", "res/script.lua", "res/page.htm",
              "res/sub/inner.xml", "res/sub/deep/more.txt", "res/sub/deep/Level.XAN"})
            files.append(makeFile(QString::fromLatin1(name)));
        folders = {tempPath(QStringLiteral("res")), tempPath(QStringLiteral("res/sub")),
                   tempPath(QStringLiteral("res/sub/deep")), tempPath(QStringLiteral("empty"))};
        QDir().mkpath(folders.last());
        build.setUp(work.path(), settings);
    }

    quint32 next(quint32 bound) { return random.next(bound); }
    bool chance(int percent) { return random.chance(percent); }
    QString oddText() { return random.oddText(); }

    // Answers for whatever dialog the next action asks; unused ones are dropped afterwards.
    void queueAnswers()
    {
        const int inputs = int(next(3));
        for (int i = 0; i < inputs; ++i)
            dialogs.inputAnswers.enqueue(chance(15) ? std::nullopt : std::optional<QString>(oddText()));
        for (int i = 0; i < 4; ++i)
            dialogs.replaceAnswers.enqueue(ReplaceAnswer(next(4)));
        if (!chance(15)) {
            QStringList picked;
            if (!saved.isEmpty() && chance(40))
                picked.append(saved[int(next(quint32(saved.size())))]);
            else
                for (int i = int(next(3)); i >= 0; --i)
                    picked.append(files[int(next(quint32(files.size())))]);
            dialogs.openAnswers.enqueue(picked);
        }
        if (!chance(15))
            dialogs.saveAnswers.enqueue(chance(10) ? tempPath(QStringLiteral("missing/folder/p.mpr"))
                                                   : tempPath(QStringLiteral("project%1.mpr").arg(next(3))));
        if (!chance(15))
            dialogs.folderAnswers.enqueue(folders[int(next(quint32(folders.size())))]);
    }

    void clearAnswers()
    {
        dialogs.inputAnswers.clear();
        dialogs.replaceAnswers.clear();
        dialogs.openAnswers.clear();
        dialogs.saveAnswers.clear();
        dialogs.folderAnswers.clear();
    }

    void clickRow(QAbstractItemView *view, const QModelIndex &index, Qt::KeyboardModifiers modifiers = {})
    {
        view->scrollTo(index);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, view->visualRect(index).center());
    }

    // Types into the grid's cell as the user does: the pick list when one opens over it, else the
    // cell's own editor; Enter ends the edit.
    QString typeInto(QTableView *grid)
    {
        const int rows = grid->model()->rowCount();
        if (rows == 0 || !grid->isEnabled())
            return QStringLiteral("no rows");
        const int row = int(next(quint32(rows)));
        const int column = int(next(2));
        const QString text = oddText();
        return typeIntoCell(grid, row, column, text);
    }

    QString typeIntoCell(QTableView *grid, int row, int column, const QString &text)
    {
        clickCell(grid, row, column);
        QLineEdit *line = nullptr;
        QComboBox *pick = column == 1 ? cellEditor<QComboBox>(grid, row) : nullptr;
        if (pick && pick->isEditable() && chance(70)) {
            line = pick->lineEdit();
        } else if (pick && pick->count() > 0) {
            const int choice = int(next(quint32(pick->count())));
            pick->setCurrentIndex(choice);
            emit pick->activated(choice);
            return QStringLiteral("cell %1,1 picks %2").arg(row).arg(describeText(pick->itemText(choice)));
        } else if (QWidget *over = grid->indexWidget(grid->model()->index(row, column)); over && !pick) {
            line = qobject_cast<QLineEdit *>(over);
        } else if (!pick && (grid->model()->flags(grid->model()->index(row, column)) & Qt::ItemIsEditable)) {
            // F2, as a person opens the cell: a click on a chosen cell may have begun its editing.
            QTest::keyClick(grid, Qt::Key_F2);
            line = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        }
        if (!line)
            return QStringLiteral("cell %1,%2 not editable").arg(row).arg(column);
        line->selectAll();
        line->insert(text);
        QTest::keyClick(line, Qt::Key_Return);
        return QStringLiteral("cell %1,%2 := %3").arg(row).arg(column).arg(describeText(text));
    }

    // Types a title the build takes into the header's English row.
    QString mendTitle()
    {
        const QStringList &rows = editor->project().headerRows();
        for (int row = 0; row < rows.size(); ++row) {
            if (rows[row].section(QLatin1Char('='), 0, 0).compare(QLatin1String("[english]"), Qt::CaseInsensitive) == 0)
                return QStringLiteral("mend title: ")
                    + typeIntoCell(test::panelOf<HeaderPanel>(*editor)->list(), row, 1, QStringLiteral("Mended maps"));
        }
        return QStringLiteral("mend title: no English row");
    }

    static bool rare(const char *name)
    {
        for (const char *rareName : {"mnuFileNew", "mnuFileOpen", "mnuResourcesEditClear", "mnuResourcesEditDelete"})
            if (QByteArrayView(name) == rareName)
                return true;
        return false;
    }

    // A closed modal dialog may leave no window active; a person's next click activates it again.
    void reactivate()
    {
        if (QApplication::activeWindow() == editor.get())
            return;
        editor->activateWindow();
        expect(QTest::qWaitForWindowActive(editor.get()), QStringLiteral("the window cannot be activated again"));
    }

    // One to three rows of the resources list, clicked with Ctrl after the first.
    void selectSomeResources()
    {
        QTreeView *list = test::panelOf<ResourcesPanel>(*editor)->list();
        const int count = list->model()->rowCount();
        if (count == 0)
            return;
        for (int i = int(next(3)); i >= 0; --i)
            clickRow(list, list->model()->index(int(next(quint32(count))), 0),
                     i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }

    QModelIndex randomTreeIndex()
    {
        const std::vector<TreeNode *> &nodes = editor->project().tree().nodes();
        if (nodes.empty())
            return {};
        return test::panelOf<FilesPanel>(*editor)->treeModel()->indexOf(nodes[next(quint32(nodes.size()))]);
    }

    QString step()
    {
        queueAnswers();
        const quint32 kind = next(100);
        if (kind < 40) {
            const char *name = Commands[next(sizeof Commands / sizeof *Commands)];
            // Commands that empty the window are drawn less often, so projects grow.
            for (int retry = 0; retry < 2 && rare(name); ++retry)
                name = Commands[next(sizeof Commands / sizeof *Commands)];
            // Most builds are refused for the odd texts typed before them; drawn more often, enough
            // of them reach the compiler.
            if (chance(3))
                name = "mnuFileSaveMapPack";
            // A map maker undoes in runs.
            if (chance(8))
                name = chance(70) ? "mnuEditUndo" : "mnuEditRedo";
            if (QByteArrayView(name) == "mnuFilesEditAdd" && chance(70))
                selectSomeResources();
            const bool save = QByteArrayView(name) == "mnuFileSaveProject";
            const std::optional<QString> target =
                save && !dialogs.saveAnswers.isEmpty() ? dialogs.saveAnswers.head() : std::nullopt;
            QAction *&command = commands[QByteArray(name)];
            if (!command)
                command = item(name);
            QString done;
            if (QByteArrayView(name) == "mnuFileSaveMapPack") {
                done = build.run(*editor, command);
                // Told that the title cannot name the map list, the map maker often mends it and
                // builds again; without that most builds of a walk would stop at the same title.
                if (build.lastRefusal().contains(QLatin1String("English title")) && chance(50)) {
                    done += QStringLiteral(" -> ") + mendTitle();
                    done += QStringLiteral(" -> ") + build.run(*editor, command);
                }
            } else if (QByteArrayView(name) == "mnuFilePackProperties") {
                done = wizard.run(editor->project(), [command] { command->trigger(); });
            } else {
                untilScansEnd([command] { command->trigger(); });
            }
            if (target)
                checkSaved(*target);
            if (!done.isEmpty())
                reactivate();
            return done.isEmpty() ? QString::fromLatin1(name) : QStringLiteral("%1: %2").arg(QLatin1String(name), done);
        }
        if (kind < 48) {
            QListView *list = test::panelOf<MapsPanel>(*editor)->list();
            if (list->model()->rowCount() == 0)
                return QStringLiteral("click map: none");
            const int row = int(next(quint32(list->model()->rowCount())));
            clickRow(list, list->model()->index(row, 0));
            if (chance(30)) {
                const QString text = oddText();
                if (list->currentIndex().isValid() && (list->model()->flags(list->currentIndex()) & Qt::ItemIsEditable))
                    list->edit(list->currentIndex());
                if (auto *line = qobject_cast<QLineEdit *>(QApplication::focusWidget())) {
                    line->selectAll();
                    line->insert(text);
                    QTest::keyClick(line, Qt::Key_Return);
                    return QStringLiteral("rename map %1 to %2").arg(row).arg(describeText(text));
                }
            }
            return QStringLiteral("click map %1").arg(row);
        }
        if (kind < 55) {
            QTableView *grid = test::panelOf<HeaderPanel>(*editor)->list();
            const int row = int(next(quint32(grid->model()->rowCount())));
            const int column = int(next(2));
            clickCell(grid, row, column);
            return QStringLiteral("click header %1,%2").arg(row).arg(column);
        }
        if (kind < 62) {
            QTableView *grid = test::panelOf<PropertiesPanel>(*editor)->list();
            if (grid->model()->rowCount() == 0)
                return QStringLiteral("click property: none");
            const int row = int(next(quint32(grid->model()->rowCount())));
            const int column = int(next(2));
            clickCell(grid, row, column);
            return QStringLiteral("click property %1,%2").arg(row).arg(column);
        }
        if (kind < 68)
            return QStringLiteral("type header ") + typeInto(test::panelOf<HeaderPanel>(*editor)->list());
        if (kind < 74)
            return QStringLiteral("type property ") + typeInto(test::panelOf<PropertiesPanel>(*editor)->list());
        if (kind < 84) {
            const QModelIndex index = randomTreeIndex();
            QTreeView *tree = test::panelOf<FilesPanel>(*editor)->list();
            if (chance(20))
                tree->setExpanded(index, !tree->isExpanded(index));
            clickRow(tree, index);
            return QStringLiteral("click node %1")
                .arg(editor->project().absoluteIndex(test::panelOf<FilesPanel>(*editor)->treeModel()->node(index)));
        }
        QTreeView *list = test::panelOf<ResourcesPanel>(*editor)->list();
        const int count = list->model()->rowCount();
        if (kind < 92) {
            if (count == 0)
                return QStringLiteral("click resource: none");
            const int row = int(next(quint32(count)));
            clickRow(list, list->model()->index(row, 0), chance(40) ? Qt::ControlModifier : Qt::NoModifier);
            return QStringLiteral("click resource %1").arg(row);
        }
        if (chance(70))
            selectSomeResources();
        const QModelIndex target = randomTreeIndex();
        const TreeNode *node = test::panelOf<FilesPanel>(*editor)->treeModel()->node(target);
        const bool dropped = dragOntoNode(node, !chance(10));
        return QStringLiteral("drag resources to node %1 (%2)")
            .arg(editor->project().absoluteIndex(node))
            .arg(dropped ? QStringLiteral("taken") : QStringLiteral("refused"));
    }

    // A save that showed no message wrote the window's project, which reads back into a fresh
    // project that writes the same bytes again.
    void checkSaved(const QString &path)
    {
        if (!dialogs.messages().isEmpty() || !QFileInfo(path).isFile())
            return;
        if (editor->ProjectFileName() != QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))
            problems.append(QStringLiteral("the window does not name the project it saved"));
        if (!saved.contains(path))
            saved.append(path);
        const QByteArray bytes = readBytes(path);
        ProjectModel reread;
        try {
            OpenProjectFile(reread, path);
            compareLines(ProjectFileBytes(reread), bytes, QStringLiteral("the project read back"));
            compareLines(ProjectFileBytes(editor->project()), bytes, QStringLiteral("the window's project"));
        } catch (const UserError &e) {
            problems.append(QStringLiteral("%1 does not read back: %2").arg(path, e.message()));
        }
    }

    void compareLines(const QByteArray &expected, const QByteArray &actual, const QString &what)
    {
        if (expected == actual)
            return;
        const QList<QByteArray> a = expected.split('\n');
        const QList<QByteArray> b = actual.split('\n');
        qsizetype line = 0;
        while (line < a.size() && line < b.size() && a[line] == b[line])
            ++line;
        problems.append(QStringLiteral("the saved file differs from %1 at line %2: %3 / %4")
                            .arg(what)
                            .arg(line + 1)
                            .arg(describeText(QString::fromLatin1(a.value(line))),
                                 describeText(QString::fromLatin1(b.value(line)))));
    }

    void expect(bool ok, const QString &what)
    {
        if (!ok)
            problems.append(what);
    }

    void checkTree(const QAbstractItemModel *model, const QModelIndex &parent, int &walked)
    {
        const ProjectModel &project = projectToSetUp();
        const auto *files = test::panelOf<FilesPanel>(*editor)->treeModel();
        for (int row = 0; row < model->rowCount(parent); ++row) {
            const QModelIndex index = model->index(row, 0, parent);
            const TreeNode *node = files->node(index);
            const TreeNode *expected = project.tree().nodeAt(walked);
            if (node != expected || project.absoluteIndex(node) != walked) {
                problems.append(QStringLiteral("tree row %1 of the view is not node %2").arg(row).arg(walked));
                return;
            }
            expect(index.data().toString() == node->Text(), QStringLiteral("node %1 shows another text").arg(walked));
            expect(index.parent() == parent, QStringLiteral("node %1 has another parent").arg(walked));
            expect(model->rowCount(index) == node->childCount(), QStringLiteral("node %1 child count").arg(walked));
            ++walked;
            checkTree(model, index, walked);
        }
    }

    void checkViews()
    {
        const ProjectModel &project = projectToSetUp();
        const QAbstractItemModel *maps = test::panelOf<MapsPanel>(*editor)->list()->model();
        expect(maps->rowCount() == project.mapCount(), QStringLiteral("maps list rows differ from the maps"));
        for (int i = 0; i < std::min(maps->rowCount(), project.mapCount()); ++i)
            expect(maps->index(i, 0).data().toString() == project.map(i).displayName,
                   QStringLiteral("map %1 shows another name").arg(i));

        const auto *header =
            qobject_cast<const KeyValueGridModel *>(test::panelOf<HeaderPanel>(*editor)->list()->model());
        expect(header && header->rows() == project.headerRows(), QStringLiteral("header grid differs from the header"));

        const MapsPanel *mapsPanel = test::panelOf<MapsPanel>(*editor);
        const PropertiesPanel *properties = test::panelOf<PropertiesPanel>(*editor);
        const int selected = mapsPanel->selectedMap();
        const bool mapValid = selected >= 0 && selected < project.mapCount();
        expect(selected == -1 || mapValid, QStringLiteral("selected map %1 is out of range").arg(selected));
        if (mapValid) {
            expect(properties->gridRows() == project.map(selected).Info.Properties,
                   QStringLiteral("properties grid differs from map %1").arg(selected));
        } else {
            expect(properties->gridRows().isEmpty(), QStringLiteral("properties grid shows rows with no map selected"));
        }

        int walked = 0;
        checkTree(test::panelOf<FilesPanel>(*editor)->list()->model(), QModelIndex(), walked);
        expect(walked == project.tree().count(),
               QStringLiteral("the view walks %1 nodes, the tree has %2").arg(walked).arg(project.tree().count()));

        // The Delete commands follow the selection.
        expect(item("mnuEditDelete")->isEnabled() == mapValid, QStringLiteral("maps Delete enabled state"));
        const HeaderPanel *headerPanel = test::panelOf<HeaderPanel>(*editor);
        const int headerRow = headerPanel->selectedHeaderRow();
        expect(item("mnuHeaderEditDelete")->isEnabled()
                   == (headerRow >= FixedHeaderRows && headerRow < project.headerCount()),
               QStringLiteral("header Delete enabled state (row %1)").arg(headerRow));
        const int propertyRow = properties->selectedProperty();
        expect(item("mnuPropertiesEditDelete")->isEnabled()
                   == (mapValid && propertyRow >= FixedMapProperties
                       && propertyRow < project.map(selected).Info.Properties.size()),
               QStringLiteral("properties Delete enabled state (row %1)").arg(propertyRow));
        if (const TreeNode *node = test::panelOf<FilesPanel>(*editor)->selectedNode())
            expect(item("mnuFilesEditDelete")->isEnabled() == project.canDelete(node),
                   QStringLiteral("files Delete enabled state (node %1)").arg(project.absoluteIndex(node)));
        const bool anyResource = test::panelOf<ResourcesPanel>(*editor)->list()->selectionModel()->hasSelection();
        expect(item("mnuResourcesEditDelete")->isEnabled() == anyResource,
               QStringLiteral("resources Delete enabled state"));
        const ResourcesModel *resources = test::panelOf<ResourcesPanel>(*editor)->listModel();
        expect(resources->rowCount() == resources->list().entries().size(),
               QStringLiteral("resources list rows differ from the list"));
    }

    QByteArray projectBytes() const
    {
        try {
            return ProjectFileBytes(editor->project());
        } catch (const UserError &e) {
            return QByteArrayLiteral("cannot be written: ") + e.message().toUtf8();
        }
    }

    // The project at each step of the history, as it was when that step was reached: an undo
    // or a redo must give it back, any other action sets it anew.
    void noteHistory(bool undoOrRedo)
    {
        const QUndoStack &history = editor->document().history();
        const QByteArray bytes = projectBytes();
        const int index = history.index();
        if (undoOrRedo) {
            if (bytesAt.value(index) != bytes)
                problems.append(QStringLiteral("history step %1 gives other project bytes than it had").arg(index));
            return;
        }
        bytesAt[index] = bytes;
        // A new step drops the ones that could be redone.
        for (auto it = bytesAt.begin(); it != bytesAt.end();)
            it = it.key() > history.count() ? bytesAt.erase(it) : std::next(it);
    }

    // Undoes to the start of the history and redoes to its end through the menu, checking the
    // views and the bytes of every step.
    void travelHistory(const std::function<bool()> &failed)
    {
        const QUndoStack &history = editor->document().history();
        QAction *undo = item("mnuEditUndo");
        QAction *redo = item("mnuEditRedo");
        const QByteArray end = projectBytes();
        const int top = history.index();
        for (int index = top; index > 0 && !failed(); --index) {
            expect(undo->isEnabled(), QStringLiteral("Undo is off at history step %1").arg(index));
            undo->trigger();
            checkViews();
            expect(projectBytes() == bytesAt.value(index - 1),
                   QStringLiteral("undo to history step %1 gives other bytes").arg(index - 1));
        }
        expect(failed() || !undo->isEnabled(), QStringLiteral("Undo is on at the start of the history"));
        while (history.index() < top && !failed()) {
            redo->trigger();
            checkViews();
            expect(projectBytes() == bytesAt.value(history.index()),
                   QStringLiteral("redo to history step %1 gives other bytes").arg(history.index()));
        }
        expect(failed() || projectBytes() == end, QStringLiteral("redo to the end gives other bytes"));
    }

    void walk(quint32 walkNumber, int steps)
    {
        const std::optional<quint32> series = walkSeries();
        ASSERT_TRUE(series) << "TERVELLE_WALK_SERIES is a number or \"random\"";
        random.restart(walkNumber, *series);
        // A crash prints nothing of the walk: this line says how to replay it, and the trace
        // shows the step it died in.
        std::fprintf(stderr,
                     "walk %u of series %u, %d steps (replay with TERVELLE_WALK_SERIES=%u TERVELLE_WALK_NUMBER=%u; "
                     "TERVELLE_WALK_TRACE=1 prints each step)\n",
                     walkNumber, *series, steps, *series, walkNumber);
        std::function<void(const QString &)> trace;
        if (qEnvironmentVariableIsSet("TERVELLE_WALK_TRACE")) {
            trace = [this](const QString &action) {
                const ProjectModel &project = projectToSetUp();
                std::fprintf(stderr, "%s | maps %d header %d nodes %d resources %d history %d/%d | %s\n",
                             qPrintable(action), project.mapCount(), project.headerCount(), project.tree().count(),
                             test::panelOf<ResourcesPanel>(*editor)->listModel()->rowCount(),
                             editor->document().history().index(), editor->document().history().count(),
                             qPrintable(dialogs.messages().join(QLatin1Char('|')).left(100)));
            };
        }
        QStringList actions;
        noteHistory(false);
        for (int i = 0; i < steps; ++i) {
            dialogs.asked.clear();
            actions.append(QStringLiteral("%1: %2").arg(i).arg(step()));
            clearAnswers();
            QApplication::processEvents();
            if (trace)
                trace(actions.last());
            checkViews();
            noteHistory(actions.last().contains(QLatin1String("mnuEditUndo"))
                        || actions.last().contains(QLatin1String("mnuEditRedo")));
            if (i + 1 == steps && problems.isEmpty()) {
                actions.append(QStringLiteral("undo to the start and redo to the end"));
                travelHistory([this] { return !problems.isEmpty(); });
            }
            if (!problems.isEmpty()) {
                const int shown = std::min<int>(int(actions.size()), 200);
                ADD_FAILURE() << "walk " << walkNumber << " of series " << *series << " failed at step " << i << ":\n  "
                              << problems.join(QStringLiteral("\n  ")).toStdString() << "\nlast " << shown
                              << " actions (replay with TERVELLE_WALK_SERIES=" << *series
                              << " TERVELLE_WALK_NUMBER=" << walkNumber << " TERVELLE_WALK_STEPS=" << (i + 1)
                              << "):\n  "
                              << actions.mid(actions.size() - shown).join(QStringLiteral("\n  ")).toStdString();
                return;
            }
        }
    }

    WalkRandom random;
    QHash<int, QByteArray> bytesAt;
    QHash<QByteArray, QAction *> commands;
    QStringList files;
    QStringList folders;
    QStringList saved;
    QStringList problems;
    WizardWalk wizard{random, dialogs, problems};
    BuildWalk build{random, dialogs, problems, wizard};
};

int environmentNumber(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

// Each walk starts from a new window; TERVELLE_WALK_NUMBER replaces the walk's number, and
// TERVELLE_WALK_STEPS its length.
TEST_F(RandomWalk, FirstWalk)
{
    walk(quint32(environmentNumber("TERVELLE_WALK_NUMBER", 1)), environmentNumber("TERVELLE_WALK_STEPS", 300));
}

TEST_F(RandomWalk, SecondWalk)
{
    if (qEnvironmentVariableIsSet("TERVELLE_WALK_NUMBER"))
        GTEST_SKIP() << "the walk asked for runs in FirstWalk";
    walk(2, environmentNumber("TERVELLE_WALK_STEPS", 300));
}

} // namespace

} // namespace tervelle::test
