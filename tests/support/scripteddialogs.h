#pragma once

#include "ui/dialogs/dialogs.h"

#include <QList>
#include <QQueue>

#include <functional>

namespace tervelle {

// Answers every dialog from queues filled in advance and records what was asked, so window
// tests run without a person. A dialog asked with its queue empty is answered as cancelled
// (No for a question) and still recorded.
class ScriptedDialogs : public Dialogs
{
public:
    struct Asked
    {
        QString kind; // "message", "replace", "yesno", "choice", "item", "input", "open", "save", "folder"
        QString caption;
        QString text;
        FileDialogRequest request;
        bool multiple = false;
    };

    QQueue<ReplaceAnswer> replaceAnswers;
    QQueue<bool> yesNoAnswers;
    QQueue<std::optional<int>> choiceAnswers; // the index of the button chosen
    QQueue<std::optional<int>> itemAnswers;   // the index of the item chosen
    QQueue<std::optional<QString>> inputAnswers;
    QQueue<QStringList> openAnswers;
    QQueue<std::optional<QString>> saveAnswers;
    QQueue<std::optional<QString>> folderAnswers;

    QList<Asked> asked;
    // Runs while a dialog would be open, to look at the window behind it.
    std::function<void(const Asked &)> whileAsking;

    // Only the message boxes, in order, as "caption: text".
    QStringList messages() const;

    void showMessage(const QString &caption, const QString &text) override;
    ReplaceAnswer askReplace(const QString &caption, const QString &text) override;
    bool askYesNo(const QString &caption, const QString &text) override;
    std::optional<int> askChoice(const QString &caption, const QString &text, const QStringList &buttons) override;
    std::optional<int> chooseItem(const QString &caption, const QString &prompt, const QStringList &items) override;
    std::optional<QString> inputText(const QString &caption, const QString &prompt, const QString &initial) override;
    QStringList openFiles(const FileDialogRequest &request, bool multiple) override;
    std::optional<QString> saveFile(const FileDialogRequest &request) override;
    std::optional<QString> selectDirectory(const QString &caption, const QString &root, const QString &folder) override;

private:
    void record(Asked entry);
};

} // namespace tervelle
