#include "ui/wizard/frmwizard.h"

#include "core/errors.h"
#include "core/langload.h"
#include "core/namerule.h"
#include "mappack/scriptescape.h"
#include "mappack/setuplanguages.h"
#include "ui/colors.h"
#include "ui/dialogs/dialogs.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace tervelle {

namespace {

// The language's lower-case name rides with its list item.
constexpr int LanguageRole = Qt::UserRole;

QFrame *makePanel(QWidget *parent, const char *name, bool bevel)
{
    auto *panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    if (bevel)
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return panel;
}

QLabel *makeLabel(QWidget *parent, const char *name, int x, int y, bool bold)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->move(x, y);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

QPushButton *makeButton(QWidget *parent, const char *name, int x, int y)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(x, y, 89, 20);
    // Enter goes to the step's default button, never to whichever button had the focus last.
    button->setAutoDefault(false);
    return button;
}

QLineEdit *makeEdit(QWidget *parent, const char *name, int x, int y, QLabel *label)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(x, y, 377, 21);
    label->setBuddy(edit);
    return edit;
}

void setCaption(QLabel *label, const QString &text)
{
    label->setText(text);
    label->adjustSize();
    label->setAccessibleName(text);
}

void setCaption(QPushButton *button, const QString &text)
{
    button->setText(text);
    button->setAccessibleName(text);
}

void setRole(QWidget *widget, QPalette::ColorRole role, TColor color)
{
    QPalette palette = widget->palette();
    if (role == QPalette::Window || role == QPalette::Base) {
        palette.setColor(role, toQColor(color));
    } else {
        // Text keeps the style's greyed look while the control is disabled.
        palette.setColor(QPalette::Active, role, toQColor(color));
        palette.setColor(QPalette::Inactive, role, toQColor(color));
    }
    widget->setPalette(palette);
    if (role == QPalette::Window)
        widget->setAutoFillBackground(true);
}

// Leading or trailing blanks vanish in the compiler's hands, so the pack would carry another
// text than the one typed; control characters could start a script line of their own.
void requireExactText(const QString &what, const QString &value)
{
    requireStorableText(what, value);
    if (value != value.trimmed()) {
        throw UserError(lang(LangKey::message_Rule_OuterBlanksWizard, {{'s', what}, {'t', value}}));
    }
}

} // namespace

TfrmWizard::TfrmWizard(PackProperties &pack, const QString &appDir, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent), m_pack(pack), m_appDir(appDir), m_dialogs(dialogs)
{
    setObjectName(QStringLiteral("frmWizard"));
    // A close box and nothing else: no minimise, no maximise, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(493, 355);
    setModal(true);
    createControls();
    FormCreate();
}

void TfrmWizard::createControls()
{
    pnlTop = makePanel(this, "pnlTop", true);
    pnlTop->setGeometry(0, 0, 493, 57);
    lblStepName = makeLabel(pnlTop, "lblStepName", 16, 8, true);
    lblStepDescription = makeLabel(pnlTop, "lblStepDescription", 40, 32, false);

    pnlButtons = makePanel(this, "pnlButtons", true);
    pnlButtons->setGeometry(0, 355 - 41, 493, 41);
    cmdCancel = makeButton(pnlButtons, "cmdCancel", 16, 10);
    cmdBack = makeButton(pnlButtons, "cmdBack", 192, 10);
    cmdBack->setEnabled(false);
    cmdNext = makeButton(pnlButtons, "cmdNext", 288, 10);
    cmdFinish = makeButton(pnlButtons, "cmdFinish", 392, 10);

    pnlSteps = makePanel(this, "pnlSteps", true);
    pnlSteps->setGeometry(0, 57, 493, 355 - 57 - 41);

    pnlStep1 = makePanel(pnlSteps, "pnlStep1", false);
    pnlStep1->setGeometry(pnlSteps->rect());
    lblPackName = makeLabel(pnlStep1, "lblPackName", 40, 16, true);
    txtPackName = makeEdit(pnlStep1, "txtPackName", 40, 32, lblPackName);
    lblVersion = makeLabel(pnlStep1, "lblVersion", 40, 64, false);
    txtVersion = makeEdit(pnlStep1, "txtVersion", 40, 80, lblVersion);
    lblAuthor = makeLabel(pnlStep1, "lblAuthor", 40, 112, false);
    txtAuthor = makeEdit(pnlStep1, "txtAuthor", 40, 128, lblAuthor);
    lblWebSite = makeLabel(pnlStep1, "lblWebSite", 40, 160, false);
    txtWebSite = makeEdit(pnlStep1, "txtWebSite", 40, 176, lblWebSite);

    pnlStep2 = makePanel(pnlSteps, "pnlStep2", false);
    pnlStep2->setGeometry(pnlSteps->rect());
    pnlStep2->hide();
    lblLanguages = makeLabel(pnlStep2, "lblLanguages", 40, 16, true);
    lstLanguages = new QListWidget(pnlStep2);
    lstLanguages->setObjectName(QStringLiteral("lstLanguages"));
    lstLanguages->setGeometry(40, 40, 337, 201);
    lstLanguages->setSortingEnabled(false);
    lblLanguages->setBuddy(lstLanguages);
    cmdSelectAll = makeButton(pnlStep2, "cmdSelectAll", 392, 42);
    cmdDeselectAll = makeButton(pnlStep2, "cmdDeselectAll", 392, 66);

    setTabOrder(txtPackName, txtVersion);
    setTabOrder(txtVersion, txtAuthor);
    setTabOrder(txtAuthor, txtWebSite);
    setTabOrder(txtWebSite, lstLanguages);
    setTabOrder(lstLanguages, cmdSelectAll);
    setTabOrder(cmdSelectAll, cmdDeselectAll);
    setTabOrder(cmdDeselectAll, cmdCancel);
    setTabOrder(cmdCancel, cmdBack);
    setTabOrder(cmdBack, cmdNext);
    setTabOrder(cmdNext, cmdFinish);

    connect(cmdNext, &QPushButton::clicked, this, &TfrmWizard::cmdNextClick);
    connect(cmdBack, &QPushButton::clicked, this, &TfrmWizard::cmdBackClick);
    connect(cmdFinish, &QPushButton::clicked, this, &TfrmWizard::cmdFinishClick);
    connect(cmdCancel, &QPushButton::clicked, this, &TfrmWizard::cmdCancelClick);
    connect(cmdSelectAll, &QPushButton::clicked, this, &TfrmWizard::cmdSelectAllClick);
    connect(cmdDeselectAll, &QPushButton::clicked, this, &TfrmWizard::cmdDeselectAllClick);
}

void TfrmWizard::FormCreate()
{
    setWindowTitle(lang(LangKey::Wizard_Caption));
    setCaption(cmdNext, lang(LangKey::Wizard_cmdNext_Caption));
    setCaption(cmdBack, lang(LangKey::Wizard_cmdBack_Caption));
    setCaption(cmdFinish, lang(LangKey::Wizard_cmdFinish_Caption));
    setCaption(cmdCancel, lang(LangKey::Wizard_cmdCancel_Caption));
    setCaption(lblAuthor, lang(LangKey::Wizard_Step1_lblAuthor_Caption));
    setCaption(lblWebSite, lang(LangKey::Wizard_Step1_lblWebSite_Caption));
    setCaption(lblVersion, lang(LangKey::Wizard_Step1_lblVersion_Caption));
    setCaption(lblPackName, lang(LangKey::Wizard_Step1_lblPackName_Caption));

    txtAuthor->setText(m_pack.PackAuthor);
    txtWebSite->setText(m_pack.PackWebSite);
    txtVersion->setText(m_pack.PackVersion);
    txtPackName->setText(m_pack.PackName);
    txtAuthor->setAccessibleName(lblAuthor->text());
    txtWebSite->setAccessibleName(lblWebSite->text());
    txtVersion->setAccessibleName(lblVersion->text());
    txtPackName->setAccessibleName(lblPackName->text());

    setCaption(lblLanguages, lang(LangKey::Wizard_Step2_lblLanguages_Caption));
    setCaption(cmdSelectAll, lang(LangKey::Wizard_Step2_cmdSelectAll_Caption));
    setCaption(cmdDeselectAll, lang(LangKey::Wizard_Step2_cmdDeselectAll_Caption));
    lstLanguages->setAccessibleName(lblLanguages->text());
    // A translated caption longer than the buttons' fixed width widens both to the left; the list
    // gives up that room.
    const int selectWidth =
        std::max({cmdSelectAll->width(), cmdSelectAll->sizeHint().width(), cmdDeselectAll->sizeHint().width()});
    for (QPushButton *button : {cmdSelectAll, cmdDeselectAll})
        button->setGeometry(button->geometry().right() + 1 - selectWidth, button->y(), selectWidth, button->height());
    lstLanguages->resize(std::min(lstLanguages->width(), cmdSelectAll->x() - 15 - lstLanguages->x()),
                         lstLanguages->height());

    QStringList chosen;
    for (const QString &language : m_pack.PackLanguages)
        chosen << language.toLower();
    for (const SetupLanguage &language : setupLanguages(m_appDir)) {
        auto *item = new QListWidgetItem(language.displayName, lstLanguages);
        item->setData(LanguageRole, language.language);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(chosen.contains(language.language) ? Qt::Checked : Qt::Unchecked);
    }
    if (lstLanguages->count() > 0)
        lstLanguages->setCurrentRow(0);

    SetColors();
    showStep(1);

    if (const QScreen *screen = parent() ? parentWidget()->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TfrmWizard::SetColors()
{
    for (QWidget *widget :
         std::initializer_list<QWidget *>{lblStepName, lblStepDescription, lblPackName, lblAuthor, lblWebSite,
                                          lblVersion, lblLanguages, pnlButtons, pnlSteps, pnlStep1, pnlStep2, pnlTop})
        setRole(widget, QPalette::Window, ColorPanel);
    for (QWidget *widget : std::initializer_list<QWidget *>{txtPackName, txtAuthor, txtWebSite, txtVersion})
        setRole(widget, QPalette::Text, ColorText);
    for (QWidget *widget : std::initializer_list<QWidget *>{lblPackName, lblAuthor, lblWebSite, lblVersion, lblStepName,
                                                            lblStepDescription, lblLanguages})
        setRole(widget, QPalette::WindowText, ColorText);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{cmdFinish, cmdNext, cmdBack, cmdCancel, cmdSelectAll, cmdDeselectAll})
        setRole(widget, QPalette::ButtonText, ColorText);
    for (QWidget *widget :
         std::initializer_list<QWidget *>{txtPackName, txtAuthor, txtWebSite, txtVersion, lstLanguages})
        setRole(widget, QPalette::Base, ColorWindow);
    // The list's entries are drawn in the edits' text colour too.
    setRole(lstLanguages, QPalette::Text, ColorText);
}

void TfrmWizard::showStep(int step)
{
    const bool first = step == 1;
    pnlStep1->setVisible(first);
    pnlStep2->setVisible(!first);
    cmdNext->setEnabled(first);
    cmdBack->setEnabled(!first);
    setCaption(lblStepName, first ? lang(LangKey::Wizard_Step1_Name) : lang(LangKey::Wizard_Step2_Name));
    setCaption(lblStepDescription,
               first ? lang(LangKey::Wizard_Step1_Description) : lang(LangKey::Wizard_Step2_Description));
    // Enter moves on in step 1 and finishes in step 2.
    cmdNext->setDefault(first);
    cmdFinish->setDefault(!first);
    if (first)
        txtPackName->setFocus();
    else
        lstLanguages->setFocus();
}

void TfrmWizard::cmdNextClick()
{
    showStep(2);
}

void TfrmWizard::cmdBackClick()
{
    showStep(1);
}

void TfrmWizard::checkValues() const
{
    const QString name = txtPackName->text();
    requireWindowsName(lang(LangKey::message_Subject_PackName), name);
    requireExactText(lang(LangKey::message_Subject_PackName), name);
    requireExactText(lang(LangKey::message_Subject_Version), txtVersion->text());
    requireExactText(lang(LangKey::message_Subject_Author), txtAuthor->text());
    requireStorableText(lang(LangKey::message_Subject_WebSite), txtWebSite->text());
    requireWebAddress(lang(LangKey::message_Subject_WebSite), txtWebSite->text());
    // Refused by the build as well; said here, it is said while the value is in front of the user.
    refuseDoubleQuote(lang(LangKey::message_Subject_WebSite), txtWebSite->text());
}

void TfrmWizard::cmdFinishClick()
{
    try {
        checkValues();
    } catch (const UserError &error) {
        // The wizard stays open on step 1 with everything typed, so the value can be mended.
        showStep(1);
        m_dialogs.showMessage(windowTitle(), error.message());
        return;
    }
    m_finished = true;
    m_pack.PackAuthor = txtAuthor->text();
    m_pack.PackWebSite = txtWebSite->text();
    m_pack.PackVersion = txtVersion->text();
    m_pack.PackName = txtPackName->text();
    m_pack.PackLanguages = QStringList();
    for (int i = 0; i < lstLanguages->count(); ++i) {
        const QListWidgetItem *item = lstLanguages->item(i);
        if (item->checkState() == Qt::Checked)
            m_pack.PackLanguages.append(item->data(LanguageRole).toString());
    }
    accept();
}

void TfrmWizard::cmdCancelClick()
{
    reject();
}

void TfrmWizard::setAllChecked(bool checked)
{
    for (int i = 0; i < lstLanguages->count(); ++i)
        lstLanguages->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TfrmWizard::cmdSelectAllClick()
{
    setAllChecked(true);
}

void TfrmWizard::cmdDeselectAllClick()
{
    setAllChecked(false);
}

bool ShowPackWizard(Dialogs &dialogs, PackProperties &pack, const QString &appDir, QWidget *parent)
{
    bool finished = false;
    {
        // A new dialog every time: each wizard starts in step 1 from the pack fields.
        TfrmWizard wizard(pack, appDir, dialogs, parent);
        wizard.exec();
        finished = wizard.isFinished();
    }
    if (!pack.PackPropertiesSet)
        pack.PackPropertiesSet = finished;
    return finished;
}

} // namespace tervelle
