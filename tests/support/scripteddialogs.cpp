#include "support/scripteddialogs.h"

namespace tervelle {

namespace {

template <typename T>
T takeOr(QQueue<T> &queue, T fallback)
{
    return queue.isEmpty() ? fallback : queue.dequeue();
}

} // namespace

void ScriptedDialogs::record(Asked entry)
{
    asked.append(std::move(entry));
    if (whileAsking)
        whileAsking(asked.last());
}

QStringList ScriptedDialogs::messages() const
{
    QStringList result;
    for (const Asked &entry : asked) {
        if (entry.kind == QLatin1String("message"))
            result.append(entry.caption + QStringLiteral(": ") + entry.text);
    }
    return result;
}

void ScriptedDialogs::showMessage(const QString &caption, const QString &text)
{
    record({QStringLiteral("message"), caption, text, {}, false});
}

ReplaceAnswer ScriptedDialogs::askReplace(const QString &caption, const QString &text)
{
    record({QStringLiteral("replace"), caption, text, {}, false});
    return takeOr(replaceAnswers, ReplaceAnswer::No);
}

bool ScriptedDialogs::askYesNo(const QString &caption, const QString &text)
{
    record({QStringLiteral("yesno"), caption, text, {}, false});
    return takeOr(yesNoAnswers, false);
}

std::optional<int> ScriptedDialogs::askChoice(const QString &caption, const QString &text, const QStringList &buttons)
{
    record({QStringLiteral("choice"), caption, text + QLatin1Char('|') + buttons.join(QLatin1Char('|')), {}, false});
    return takeOr<std::optional<int>>(choiceAnswers, std::nullopt);
}

std::optional<int> ScriptedDialogs::chooseItem(const QString &caption, const QString &prompt, const QStringList &items)
{
    record({QStringLiteral("item"), caption, prompt + QLatin1Char('\n') + items.join(QLatin1Char('\n')), {}, false});
    return takeOr<std::optional<int>>(itemAnswers, std::nullopt);
}

std::optional<QString> ScriptedDialogs::inputText(const QString &caption, const QString &prompt, const QString &initial)
{
    record({QStringLiteral("input"), caption, prompt + QLatin1Char('|') + initial, {}, false});
    return takeOr<std::optional<QString>>(inputAnswers, std::nullopt);
}

QStringList ScriptedDialogs::openFiles(const FileDialogRequest &request, bool multiple)
{
    record({QStringLiteral("open"), request.title, QString(), request, multiple});
    return takeOr(openAnswers, QStringList());
}

std::optional<QString> ScriptedDialogs::saveFile(const FileDialogRequest &request)
{
    record({QStringLiteral("save"), request.title, QString(), request, false});
    return takeOr<std::optional<QString>>(saveAnswers, std::nullopt);
}

std::optional<QString> ScriptedDialogs::selectDirectory(const QString &caption, const QString &root,
                                                        const QString &folder)
{
    FileDialogRequest request;
    request.folder = folder;
    record({QStringLiteral("folder"), caption, root, request, false});
    return takeOr<std::optional<QString>>(folderAnswers, std::nullopt);
}

} // namespace tervelle
