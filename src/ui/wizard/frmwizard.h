#pragma once

#include "project/packproperties.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tervelle {

class Dialogs;

// The two-step pack properties dialog: name, version, author and web site, then the installer
// languages. It shows the pack fields of `pack` when it opens and writes them back only when
// Finish is pressed with values the pack can carry.
class TfrmWizard : public QDialog
{
    Q_OBJECT

public:
    // The installer languages offered are those of the compiler folder under `appDir`.
    TfrmWizard(PackProperties &pack, const QString &appDir, Dialogs &dialogs, QWidget *parent = nullptr);

    // True once Finish has been pressed and the values were taken.
    bool isFinished() const { return m_finished; }

private:
    void createControls();
    void FormCreate();
    void SetColors();
    void showStep(int step);

    void cmdNextClick();
    void cmdBackClick();
    void cmdFinishClick();
    void cmdCancelClick();
    void cmdSelectAllClick();
    void cmdDeselectAllClick();

    // Throws UserError naming the first value the installer could not carry.
    void checkValues() const;
    void setAllChecked(bool checked);

    PackProperties &m_pack;
    QString m_appDir;
    Dialogs &m_dialogs;
    bool m_finished = false;

    QFrame *pnlTop = nullptr;
    QLabel *lblStepName = nullptr;
    QLabel *lblStepDescription = nullptr;
    QFrame *pnlButtons = nullptr;
    QPushButton *cmdCancel = nullptr;
    QPushButton *cmdBack = nullptr;
    QPushButton *cmdNext = nullptr;
    QPushButton *cmdFinish = nullptr;
    QFrame *pnlSteps = nullptr;
    QFrame *pnlStep1 = nullptr;
    QLabel *lblPackName = nullptr;
    QLineEdit *txtPackName = nullptr;
    QLabel *lblVersion = nullptr;
    QLineEdit *txtVersion = nullptr;
    QLabel *lblAuthor = nullptr;
    QLineEdit *txtAuthor = nullptr;
    QLabel *lblWebSite = nullptr;
    QLineEdit *txtWebSite = nullptr;
    QFrame *pnlStep2 = nullptr;
    QLabel *lblLanguages = nullptr;
    QListWidget *lstLanguages = nullptr;
    QPushButton *cmdSelectAll = nullptr;
    QPushButton *cmdDeselectAll = nullptr;
};

// Opens a new wizard on `pack` and waits until it closes. Returns true when it was finished.
// A finished wizard sets PackPropertiesSet; a cancelled one never clears it. Messages about
// refused values go through `dialogs`.
bool ShowPackWizard(Dialogs &dialogs, PackProperties &pack, const QString &appDir, QWidget *parent = nullptr);

} // namespace tervelle
