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
    };

signals:
    void fileNameChanged();
    // The in-place file is another (or none).
    void inPlaceFileChanged();

private:
    void push(const QString &what, EditList edits, const QString &typingKey);
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
