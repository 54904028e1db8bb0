#pragma once

#include "ui/dialogs/dialogs.h"

#include <QPointer>
#include <QWidget>

namespace tervelle {

// The real dialogs: QMessageBox, QInputDialog and QFileDialog, owned by a window.
class QtDialogs : public Dialogs
{
public:
    explicit QtDialogs(QWidget *owner = nullptr) : m_owner(owner) {}

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
    QPointer<QWidget> m_owner;
};

} // namespace tervelle
