#include "project/projectdocument.h"

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

namespace tervelle {

namespace {

// Applies a step's edits last first, and gives the edits that take it back the other way.
EditList applyEdits(ProjectModel &model, const EditList &edits)
{
    EditList inverse;
    inverse.reserve(edits.size());
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        inverse.push_back(model.applyEdit(*edit));
    return inverse;
}

class ProjectStep : public QUndoCommand
{
public:
    ProjectStep(ProjectModel &model, const QString &what, EditList edits, const QString &typingKey,
                ProjectDocument::Runs &runs)
        : QUndoCommand(what)
        , m_model(model)
        , m_edits(std::move(edits))
        , m_typingKey(typingKey)
        , m_runs(runs)
        , m_run(runs.typing)
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
        const auto *next = static_cast<const ProjectStep *>(other);
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
        m_edits = applyEdits(m_model, m_edits);
        m_runs.replaying = false;
    }

    ProjectModel &m_model;
    EditList m_edits; // in the order they were recorded; applied last first
    QString m_typingKey;
    ProjectDocument::Runs &m_runs;
    int m_run;
    bool m_made = true;
    bool m_cancelled = false;
};

} // namespace

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
    m_history->push(new ProjectStep(*m_model, what, std::move(edits), typingKey, m_runs));
}

void ProjectDocument::cancelTyping()
{
    const int top = m_history->index();
    if (top == 0 || top != m_history->count())
        return;
    // The stack hands out its steps read-only; this one is ours and about to go.
    auto *step = const_cast<ProjectStep *>(dynamic_cast<const ProjectStep *>(m_history->command(top - 1)));
    if (!step || !step->isRunningTyping())
        return;
    step->cancel();
    m_history->undo();
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
