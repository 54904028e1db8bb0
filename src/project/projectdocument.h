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

    // Read-only: the project changes only inside change().
    const ProjectModel &model() const { return *m_model; }
    // Undo and redo go through undo() and redo(), which keep the history and the project
    // matched; the stack is handed out for its state and its signals.
    QUndoStack &history() const { return *m_history; }
    // Takes back (or makes again) the step before (after) the current one. A step that no
    // longer fits the project (it names a node the project does not have) is refused: the
    // project stays as it was, the history is dropped since it no longer matches, and
    // UserError says so.
    void undo();
    void redo();
    // The project file's path in native form; empty until a project is saved or opened, and kept
    // by New.
    const QString &fileName() const { return m_fileName; }
    // The file Save writes in place: the one this project was opened from or last saved to.
    // Empty after New (which keeps fileName() for the caption) and for a recovery copy.
    const QString &inPlaceFile() const { return m_inPlaceFile; }
    // Whether the in-place file was changed on disk by someone else since it was opened or last
    // saved here: its size or time differ and so do its bytes. A file that has gone has not.
    bool changedOnDisk() const;
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

    // Runs `change` with the model to change as one step named `what`. A change that does
    // nothing leaves no step. Changes with the same non-empty `typingKey` merge into one step
    // until endTyping() (or an undo, a redo or a save) ends it. A change that throws keeps what
    // it did as a step, and the exception goes on. A change made within a change, or by a view
    // while an undo or redo is being made, is part of that step: the history never misses one.
    template <typename Change>
    void change(const QString &what, Change &&change, const QString &typingKey = QString())
    {
        if (m_model->journal()) {
            change(*m_model);
            return;
        }
        EditList edits;
        m_model->setJournal(&edits);
        try {
            change(*m_model);
        } catch (...) {
            m_model->setJournal(nullptr);
            push(what, std::move(edits), typingKey);
            throw;
        }
        m_model->setJournal(nullptr);
        push(what, std::move(edits), typingKey);
    }
    void endTyping() { ++m_runs.typing; }
    // Takes back the typing step of the current run, if it is the last step, and leaves no
    // step behind: Esc in a cell gives back the value its editing began with.
    void cancelTyping();
    // True while an undo or a redo changes the project.
    bool isReplaying() const { return m_runs.replaying; }

    // What the steps share with the document.
    struct Runs
    {
        int typing = 0;         // a typed change merges with the step before only in the same run
        bool replaying = false; // an undo or redo is being made
        QString refused;        // the step an undo or redo refused, until the document says so
    };

signals:
    void fileNameChanged();
    // The in-place file is another (or none).
    void inPlaceFileChanged();

private:
    void push(const QString &what, EditList edits, const QString &typingKey);
    class Step;
    // Applies `edits` last first, recording what takes them back; false, with the project put
    // back as it was, when one of them no longer fits it.
    bool replay(EditList &edits);
    // After the stack has moved: a refused step drops the history and is reported.
    void settleReplay();
    QString recoveryName() const;

    ProjectModel *m_model = nullptr;
    QUndoStack *m_history = nullptr;
    // What the in-place file held when it was opened or saved here.
    struct DiskStamp
    {
        bool exists = false;
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch
        QByteArray hash;
    };
    static DiskStamp stampOf(const QString &path, bool withHash);
    void bindFile(const QString &path);

    QString m_fileName;
    QString m_inPlaceFile;
    DiskStamp m_stamp;
    QByteArray m_copied; // the project as the last recovery copy holds it
    Runs m_runs;
};

} // namespace tervelle
