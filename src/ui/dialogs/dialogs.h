#pragma once

#include "core/langload.h"
#include "project/replaceanswer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace tervelle {

// What a file dialog shows: title, filter ("Description|*.ext|..." as in the language table),
// the 1-based filter selected at opening, where it opens (a folder, or the file last chosen in
// it), and the extension (no dot) added to a name typed without one.
struct FileDialogRequest
{
    QString title;
    QString filter;
    int filterIndex = 1;
    QString folder;
    QString defaultSuffix;
};

// The language entries of a file dialog: its title, its filter and the filter chosen first.
struct FileDialogKeys
{
    LangKey title;
    LangKey filter;
    LangKey filterIndex;
};

// The request of a dialog with those texts, opening at `folder`.
FileDialogRequest fileDialogRequest(const FileDialogKeys &keys, const QString &folder,
                                    const QString &defaultSuffix = QString());

// Every message box, text prompt, file dialog and folder picker of the editor goes through
// this interface, so that tests can answer them in a script.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button.
    virtual void showMessage(const QString &caption, const QString &text) = 0;
    // Yes, No, No to All, Yes to All; closing the box answers No.
    virtual ReplaceAnswer askReplace(const QString &caption, const QString &text) = 0;
    // A question with Yes and No, No the default; closing the box answers No.
    virtual bool askYesNo(const QString &caption, const QString &text) = 0;
    // A question answered by one of `buttons`, the first of them the default and the last the
    // answer to Esc; the index of the button chosen, or nothing when the box was closed.
    virtual std::optional<int> askChoice(const QString &caption, const QString &text, const QStringList &buttons) = 0;
    // A list to choose one of `items` from; its index, or nothing on Cancel.
    virtual std::optional<int> chooseItem(const QString &caption, const QString &prompt, const QStringList &items) = 0;
    // A text-input box; nothing on Cancel.
    virtual std::optional<QString> inputText(const QString &caption, const QString &prompt, const QString &initial) = 0;
    // An open dialog for existing files; the chosen files, or none on Cancel.
    virtual QStringList openFiles(const FileDialogRequest &request, bool multiple) = 0;
    // A save dialog with the platform's overwrite confirmation; nothing on Cancel.
    virtual std::optional<QString> saveFile(const FileDialogRequest &request) = 0;
    // A folder picker opened on `folder`; nothing on Cancel. A confirmed choice without a
    // file-system path gives an empty text.
    virtual std::optional<QString> selectDirectory(const QString &caption, const QString &root,
                                                   const QString &folder) = 0;
};

// The caption of the editor's message boxes: the application's display name.
QString messageCaption();

// The name filters of a Qt file dialog from a language-table filter "Desc|*.a;*.b|Desc2|*.c":
// "Desc (*.a *.b)", "Desc2 (*.c)". A description already ending in its pattern in brackets is
// kept as it stands; a description without a pattern matches every file.
QStringList qtNameFilters(const QString &filter);

// The filter at a 1-based index, or the first one when the index is out of range.
QString nameFilterAt(const QStringList &filters, int oneBasedIndex);

} // namespace tervelle
