#include "project/projectdocument.h"

#include "core/errors.h"
#include "project/projectfile.h"
#include "project/recovery.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QUndoCommand>
#include <QUndoStack>

#include <stdexcept>
#include <utility>

namespace tervelle {

class ProjectDocument::Step : public QUndoCommand
{
public:
    Step(ProjectDocument &document, const QString &what, EditList edits, const QString &typingKey)
        : QUndoCommand(what)
        , m_document(document)
        , m_edits(std::move(edits))
        , m_typingKey(typingKey)
        , m_runs(document.m_runs)
        , m_run(m_runs.typing)
    {}

    void undo() override
    {
        replay();
        // Cancelled: the stack drops a step that is obsolete once undone.
        if (m_cancelled)
            setObsolete(true);
    }

    void redo() override
    {
        // The change was made before the step was kept.
        if (m_made) {
            m_made = false;
            return;
        }
        replay();
    }

    // Whether this step is the typing of the run that is still going on.
    bool isRunningTyping() const { return !m_typingKey.isEmpty() && m_run == m_runs.typing; }
    void cancel() { m_cancelled = true; }

    int id() const override { return m_typingKey.isEmpty() ? -1 : 1; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const Step *>(other);
        if (next->m_typingKey != m_typingKey || next->m_run != m_run || m_run != m_runs.typing)
            return false;
        m_edits.insert(m_edits.end(), next->m_edits.begin(), next->m_edits.end());
        return true;
    }

private:
    void replay()
    {
        ++m_runs.typing;
        m_runs.replaying = true;
        if (!m_document.replay(m_edits))
            m_runs.refused = text();
        m_runs.replaying = false;
    }

    ProjectDocument &m_document;
    EditList m_edits; // in the order they were recorded; applied last first
    QString m_typingKey;
    ProjectDocument::Runs &m_runs;
    int m_run;
    bool m_made = true;
    bool m_cancelled = false;
};

bool ProjectDocument::replay(EditList &edits)
{
    // The journal stays open while the edits are made, so that what a view changes on hearing
    // them joins the step rather than going unrecorded.
    EditList inverse;
    inverse.reserve(edits.size());
    m_model->setJournal(&inverse);
    try {
        for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
            m_model->applyEdit(*edit);
    } catch (const std::logic_error &) {
        // Nothing half made: what was applied is taken back. The history is dropped afterwards,
        // so what this records goes with it.
        EditList discarded;
        m_model->setJournal(&discarded);
        for (auto edit = inverse.rbegin(); edit != inverse.rend(); ++edit)
            m_model->applyEdit(*edit);
        m_model->setJournal(nullptr);
        return false;
    }
    m_model->setJournal(nullptr);
    edits = std::move(inverse);
    return true;
}

void ProjectDocument::settleReplay()
{
    if (m_runs.refused.isNull())
        return;
    const QString step = std::exchange(m_runs.refused, QString());
    const bool modified = isModified();
    m_history->clear();
    // The file on disk is still not what the project holds.
    if (modified)
        m_history->resetClean();
    throw UserError(QStringLiteral("\"%1\" could not be undone or redone: the project no longer holds what it "
                                   "changed. The project stays as it is; its history of changes is cleared.")
                        .arg(step));
}

void ProjectDocument::undo()
{
    m_history->undo();
    settleReplay();
}

void ProjectDocument::redo()
{
    m_history->redo();
    settleReplay();
}

ProjectDocument::ProjectDocument(QObject *parent)
    : QObject(parent), m_model(new ProjectModel(this)), m_history(new QUndoStack(this))
{}

ProjectDocument::~ProjectDocument()
{
    // The steps refer to the model: they go first, unheard, since whoever listens may be going
    // too.
    const QSignalBlocker quiet(m_history);
    m_history->clear();
}

bool ProjectDocument::isModified() const
{
    return !m_history->isClean();
}

void ProjectDocument::push(const QString &what, EditList edits, const QString &typingKey)
{
    if (edits.empty())
        return;
    m_history->push(new Step(*this, what, std::move(edits), typingKey));
}

void ProjectDocument::cancelTyping()
{
    const int top = m_history->index();
    if (top == 0 || top != m_history->count())
        return;
    // The stack hands out its steps read-only; this one is ours and about to go.
    auto *step = const_cast<Step *>(dynamic_cast<const Step *>(m_history->command(top - 1)));
    if (!step || !step->isRunningTyping())
        return;
    step->cancel();
    undo();
}

void ProjectDocument::newProject()
{
    m_history->clear();
    m_copied.clear();
    // The file name stays for the caption, but the new project is not that file's: Save must
    // ask rather than write over it.
    bindFile(QString());
    m_model->NewFile();
}

ProjectDocument::DiskStamp ProjectDocument::stampOf(const QString &path, bool withHash)
{
    DiskStamp stamp;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return stamp;
    stamp.exists = true;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    if (!withHash || stamp.size > MaxProjectFileSize)
        return stamp;
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (file.open(QIODevice::ReadOnly) && hash.addData(&file))
        stamp.hash = hash.result();
    return stamp;
}

void ProjectDocument::bindFile(const QString &path)
{
    const bool other = path != m_inPlaceFile;
    m_inPlaceFile = path;
    m_stamp = stampOf(path, true);
    if (other)
        emit inPlaceFileChanged();
}

bool ProjectDocument::changedOnDisk() const
{
    if (m_inPlaceFile.isEmpty())
        return false;
    const DiskStamp now = stampOf(m_inPlaceFile, false);
    if (!now.exists)
        return false;
    if (!m_stamp.exists)
        return true;
    if (now.size == m_stamp.size && now.modified == m_stamp.modified)
        return false;
    // Touched is not changed: only other bytes would be lost by writing over them.
    return now.size != m_stamp.size || stampOf(m_inPlaceFile, true).hash != m_stamp.hash;
}

void ProjectDocument::open(const QString &path)
{
    OpenProjectFile(*m_model, path);
    m_history->clear();
    m_copied.clear();
    m_fileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    bindFile(m_fileName);
    emit fileNameChanged();
}

void ProjectDocument::save(const QString &path)
{
    SaveProjectFile(*m_model, path);
    // A change typed after the save is a step of its own, so that undo comes back to the file.
    endTyping();
    m_history->setClean();
    m_fileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    bindFile(m_fileName);
    emit fileNameChanged();
}

// The project file (its name and folder tell the copy), or the pack title for a project that
// is no file's, so a map maker finds the copy by the name they know.
QString ProjectDocument::recoveryName() const
{
    if (!m_inPlaceFile.isEmpty())
        return m_inPlaceFile;
    return m_model->packTitle();
}

void ProjectDocument::forgetFileName()
{
    m_fileName.clear();
    bindFile(QString());
    emit fileNameChanged();
}

void ProjectDocument::keepRecoveryCopy()
{
    if (!isModified())
        return;
    const QByteArray bytes = ProjectFileBytes(*m_model);
    if (bytes == m_copied)
        return;
    saveRecoveryCopy(bytes, recoveryName());
    m_copied = bytes;
}

} // namespace tervelle
