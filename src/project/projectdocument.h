#pragma once

#include "project/projectmodel.h"

#include <QObject>
#include <QString>

class QUndoStack;

namespace tervelle {

// One open project: its model, the file it was last opened from or saved to, and its history.
// Every change of the project is a step of the history, made through change(); New and Open
// start an empty history, Save marks the step the file holds. Windows show it and ask it for
// changes; the dialogs and the caption stay theirs.
class ProjectDocument : public QObject
{
    Q_OBJECT

public:
    explicit ProjectDocument(QObject *parent = nullptr);
    ~ProjectDocument() override;

    ProjectModel &model() const { return *m_model; }
    QUndoStack &history() const { return *m_history; }
    // The project file's path in native form; empty until a project is saved or opened, and kept
    // by New.
    const QString &fileName() const { return m_fileName; }
    // Whether the project differs from the step that was last opened, saved or started.
    bool isModified() const;

    void newProject();
    // Throws UserError with the reason; the project, its name and its history stay as they were.
    void open(const QString &path);
    // Throws UserError with the reason; the file then stays as it was.
    void save(const QString &path);
    // A project opened from a recovery copy has no file of the map maker's yet.
    void forgetFileName();
    // Keeps a copy of a modified project in the recovery folder (before it is discarded, and
    // from time to time), unless the last copy holds it already. Throws UserError naming the
    // copy and the reason when it cannot be written.
    void keepRecoveryCopy();

    // Runs `change` on the model as one step named `what`. A change that does nothing leaves no
    // step. Changes with the same non-empty `typingKey` merge into one step until endTyping()
    // (or an undo, a redo or a save) ends it. A change that throws keeps what it did as a step,
    // and the exception goes on. Changes within a change are part of the outer step.
    template <typename Change>
    void change(const QString &what, Change &&change, const QString &typingKey = QString())
    {
        // Within another change, or echoes of an undo or redo in the views.
        if (m_model->journal() || m_runs.replaying) {
            change();
            return;
        }
        EditList edits;
        m_model->setJournal(&edits);
        try {
            change();
        } catch (...) {
            m_model->setJournal(nullptr);
            push(what, std::move(edits), typingKey);
            throw;
        }
        m_model->setJournal(nullptr);
        push(what, std::move(edits), typingKey);
    }
    void endTyping() { ++m_runs.typing; }
    // True while an undo or a redo changes the project.
    bool isReplaying() const { return m_runs.replaying; }

    // What the steps share with the document.
    struct Runs
    {
        int typing = 0;         // a typed change merges with the step before only in the same run
        bool replaying = false; // an undo or redo is being made
    };

signals:
    void fileNameChanged();

private:
    void push(const QString &what, EditList edits, const QString &typingKey);
    QString recoveryName() const;

    ProjectModel *m_model = nullptr;
    QUndoStack *m_history = nullptr;
    QString m_fileName;
    QByteArray m_copied; // the project as the last recovery copy holds it
    Runs m_runs;
};

} // namespace tervelle
