#pragma once

#include "core/common.h"
#include "support/projectrows.h"
#include "support/scripteddialogs.h"
#include "support/testsupport.h"
#include "ui/editor/frmeditor.h"

#include <QAction>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace tervelle::test {

// A shown editor with scripted dialogs, its settings and recovery folder in temporary places
// and the built-in language texts. Tests change `settings` after the window has read them,
// as the window's own commands do.
class EditorTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes (again) the editor, e.g. after the language texts were changed.
    void makeEditor();

    template <typename T = QWidget>
    T *widget(const char *name) const
    {
        T *found = editor->findChild<T *>(QString::fromLatin1(name));
        if (!found)
            ADD_FAILURE() << "no control " << name;
        return found;
    }
    QAction *item(const char *name) const;
    // Attaches Qt's model tester to the models of the window's five lists.
    void checkItemModels();

    // Runs `during` while the next popup menu is open, then closes it. Returns the popup's
    // object name, or empty when none opened.
    QString whileNextPopupOpen(const std::function<void()> &open, const std::function<void(QWidget *)> &during = {});

    // The window's project, to set up as a test needs it before acting through the window.
    // What is changed on it is not a step of the history, as a project read from a file is
    // not: a test that undoes changes the project through the window or document().change().
    ProjectModel &projectToSetUp();

    QString recoveryDir() const;
    QStringList recoveryFiles() const;
    QString tempPath(const QString &name) const { return work.filePath(name); }

    TempConfigHome config;
    QTemporaryDir state;
    QTemporaryDir work;
    QByteArray previousState;
    ScriptedDialogs dialogs;
    Settings settings; // the window's, read afresh by makeEditor
    std::unique_ptr<TfrmEditor> editor;
};

} // namespace tervelle::test
