#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace tervelle::test {

// Points XDG_CONFIG_HOME at a fresh temporary folder for the lifetime of the object, so settings
// tests never touch the real ones.
class TempConfigHome
{
public:
    TempConfigHome();
    ~TempConfigHome();
    QString path() const { return m_dir.path(); }
    QString editorFile() const;
    QString launcherFile() const;

private:
    QTemporaryDir m_dir;
    QByteArray m_previous;
    bool m_hadPrevious = false;
};

void writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);
// Latin-1 lines, each ended by CR LF, as the editor's text files are written.
QByteArray crlfLines(const QStringList &lines);

// Runs the built tervelle-pack with the given arguments and waits for it.
struct PackRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};
PackRun runPack(const QStringList &args, const QString &workingDir = QString());

// Collects what the core reports through reportProblem() while it lives.
class ProblemCapture
{
public:
    ProblemCapture();
    ~ProblemCapture();
    const QStringList &problems() const { return m_problems; }

private:
    QStringList m_problems;
    std::function<void(const QString &)> m_previous;
};

// The built-in language texts, as at start-up without a language file.
void resetLanguage();

// The one child of `window` of type T (a panel of the editor, say): tests reach the window's
// parts as a map maker does, through the window, not through accessors of their own.
template <typename T>
T *panelOf(const QObject &window)
{
    return window.findChild<T *>(QString(), Qt::FindChildrenRecursively);
}

} // namespace tervelle::test
