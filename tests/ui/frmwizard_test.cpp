#include "core/common.h"
#include "support/testcompiler.h"
#include "support/testsupport.h"
#include "ui/colors.h"
#include "ui/dialogs/dialogs.h"
#include "ui/wizard/frmwizard.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace tervelle;

namespace {

// Records every message; any other dialog is a fault of the wizard.
class RecordingDialogs : public Dialogs
{
public:
    void showMessage(const QString &caption, const QString &text) override { messages << caption + ": " + text; }
    ReplaceAnswer askReplace(const QString &, const QString &) override
    {
        ADD_FAILURE() << "unexpected question";
        return ReplaceAnswer::No;
    }
    bool askYesNo(const QString &, const QString &) override
    {
        ADD_FAILURE() << "unexpected question";
        return false;
    }
    std::optional<int> askChoice(const QString &, const QString &, const QStringList &) override
    {
        ADD_FAILURE() << "unexpected question";
        return std::nullopt;
    }
    std::optional<int> chooseItem(const QString &, const QString &, const QStringList &) override
    {
        ADD_FAILURE() << "unexpected list";
        return std::nullopt;
    }
    std::optional<QString> inputText(const QString &, const QString &, const QString &) override
    {
        ADD_FAILURE() << "unexpected prompt";
        return std::nullopt;
    }
    QStringList openFiles(const FileDialogRequest &, bool) override
    {
        ADD_FAILURE() << "unexpected open dialog";
        return {};
    }
    std::optional<QString> saveFile(const FileDialogRequest &) override
    {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    std::optional<QString> selectDirectory(const QString &, const QString &, const QString &) override
    {
        ADD_FAILURE() << "unexpected folder picker";
        return std::nullopt;
    }

    QStringList messages;
};

class Wizard : public ::testing::Test
{
protected:
    void SetUp() override
    {
        test::resetLanguage();
        appDir = app.path() + "/";
        pack.PackName = "New map pack";
        pack.PackVersion = "1.0";
        pack.PackWebSite = MakerWebSite;
        test::writeSetupLanguages(appDir, {"Russian", "English", "German", "Czech"});
    }

    template <typename T>
    T *control(QWidget &wizard, const char *name)
    {
        T *widget = wizard.findChild<T *>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QPushButton *button(QWidget &w, const char *name) { return control<QPushButton>(w, name); }
    QLineEdit *edit(QWidget &w, const char *name) { return control<QLineEdit>(w, name); }
    QString label(QWidget &w, const char *name) { return control<QLabel>(w, name)->text(); }
    void click(QWidget &w, const char *name) { QTest::mouseClick(button(w, name), Qt::LeftButton); }

    QStringList shownLanguages(QWidget &w)
    {
        QStringList shown;
        auto *list = control<QListWidget>(w, "lstLanguages");
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "+" : "-");
        return shown;
    }

    void replaceText(QWidget &w, const char *name, const QString &text)
    {
        QLineEdit *line = edit(w, name);
        line->selectAll();
        QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, text);
    }

    // Runs ShowPackWizard and acts on the open wizard from inside its modal loop.
    bool runWizard(const std::function<void(QWidget &)> &act)
    {
        QTimer::singleShot(0, [&] {
            QWidget *wizard = QApplication::activeModalWidget();
            if (!wizard) {
                ADD_FAILURE() << "no modal wizard";
                return;
            }
            // Keys go to the focus widget of the active window, as for a person at the keyboard.
            wizard->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(wizard));
            act(*wizard);
            if (wizard->isVisible())
                wizard->close();
        });
        return ShowPackWizard(dialogs, pack, appDir);
    }

    QTemporaryDir app;
    QString appDir;
    PackProperties pack;
    RecordingDialogs dialogs;
};

TEST_F(Wizard, OpensInStepOneWithThePackFieldsCaptionsAndPlacement)
{
    pack.PackAuthor = "Dana";
    TfrmWizard wizard(pack, appDir, dialogs);
    wizard.show();
    EXPECT_EQ(wizard.windowTitle(), "Map pack properties");
    EXPECT_EQ(wizard.size(), QSize(493, 355));
    EXPECT_FALSE(wizard.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(wizard.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(wizard.windowFlags() & Qt::WindowCloseButtonHint);

    EXPECT_EQ(edit(wizard, "txtPackName")->text(), "New map pack");
    EXPECT_EQ(edit(wizard, "txtVersion")->text(), "1.0");
    EXPECT_EQ(edit(wizard, "txtAuthor")->text(), "Dana");
    EXPECT_EQ(edit(wizard, "txtWebSite")->text(), MakerWebSite);
    EXPECT_EQ(label(wizard, "lblStepName"), "Map pack information");
    EXPECT_EQ(label(wizard, "lblStepDescription"), "Please specify some basic information about your map pack");
    EXPECT_EQ(label(wizard, "lblPackName"), "Name of pack");
    EXPECT_EQ(button(wizard, "cmdSelectAll")->text(), "Select all");
    EXPECT_TRUE(control<QWidget>(wizard, "pnlStep1")->isVisible());
    EXPECT_FALSE(control<QWidget>(wizard, "pnlStep2")->isVisible());
    EXPECT_FALSE(button(wizard, "cmdBack")->isEnabled());
    EXPECT_TRUE(button(wizard, "cmdNext")->isEnabled());
    EXPECT_TRUE(button(wizard, "cmdFinish")->isEnabled());

    EXPECT_EQ(control<QWidget>(wizard, "pnlTop")->geometry(), QRect(0, 0, 493, 57));
    EXPECT_EQ(control<QWidget>(wizard, "pnlButtons")->geometry(), QRect(0, 314, 493, 41));
    EXPECT_EQ(control<QWidget>(wizard, "pnlSteps")->geometry(), QRect(0, 57, 493, 257));
    EXPECT_EQ(button(wizard, "cmdFinish")->geometry(), QRect(392, 10, 89, 20));
    EXPECT_EQ(edit(wizard, "txtWebSite")->geometry().topLeft(), QPoint(40, 176));
    EXPECT_EQ(control<QWidget>(wizard, "lstLanguages")->geometry(), QRect(40, 40, 337, 201));
    EXPECT_TRUE(control<QLabel>(wizard, "lblPackName")->font().bold());
    EXPECT_FALSE(control<QLabel>(wizard, "lblVersion")->font().bold());

    EXPECT_EQ(control<QWidget>(wizard, "pnlTop")->palette().color(QPalette::Window), toQColor(ColorPanel));
    EXPECT_EQ(edit(wizard, "txtAuthor")->palette().color(QPalette::Base), toQColor(ColorWindow));
    EXPECT_EQ(button(wizard, "cmdNext")->palette().color(QPalette::ButtonText), toQColor(ColorText));
    // A disabled button still looks disabled.
    EXPECT_NE(button(wizard, "cmdBack")->palette().color(QPalette::ButtonText), toQColor(ColorText));
    // What is drawn: the three bands in the panel colour, the edits white.
    const QImage picture = wizard.grab().toImage();
    for (const QPoint at : {QPoint(470, 45), QPoint(470, 150), QPoint(150, 330)})
        EXPECT_EQ(picture.pixelColor(at), toQColor(ColorPanel)) << at.x() << "," << at.y();
    EXPECT_EQ(picture.pixelColor(300, 57 + 140), toQColor(ColorWindow));
    EXPECT_EQ(edit(wizard, "txtVersion")->accessibleName(), "Version");
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Wizard, NextAndBackSwitchStepsAndKeepWhatWasTyped)
{
    TfrmWizard wizard(pack, appDir, dialogs);
    wizard.show();
    replaceText(wizard, "txtAuthor", "Kim");
    click(wizard, "cmdNext");
    EXPECT_FALSE(control<QWidget>(wizard, "pnlStep1")->isVisible());
    EXPECT_TRUE(control<QWidget>(wizard, "pnlStep2")->isVisible());
    EXPECT_EQ(label(wizard, "lblStepName"), "Setup languages");
    EXPECT_EQ(label(wizard, "lblStepDescription"), "Please specify languages which setup languages should be included");
    EXPECT_FALSE(button(wizard, "cmdNext")->isEnabled());
    EXPECT_TRUE(button(wizard, "cmdBack")->isEnabled());

    click(wizard, "cmdSelectAll");
    click(wizard, "cmdBack");
    EXPECT_TRUE(control<QWidget>(wizard, "pnlStep1")->isVisible());
    EXPECT_EQ(label(wizard, "lblStepName"), "Map pack information");
    EXPECT_EQ(edit(wizard, "txtAuthor")->text(), "Kim");
    EXPECT_EQ(shownLanguages(wizard), QStringList({"Czech+", "German+", "Russian+"}));
    // Nothing reaches the pack before Finish.
    EXPECT_EQ(pack.PackAuthor, "");
    EXPECT_TRUE(pack.PackLanguages.isEmpty());
}

TEST_F(Wizard, LanguagesArePreCheckedAndFinishInStepOneKeepsThem)
{
    // A language whose file is gone is dropped, as the list is rebuilt from what is shown.
    pack.PackLanguages = {"russian", "french"};
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        EXPECT_EQ(shownLanguages(w), QStringList({"Czech-", "German-", "Russian+"}));
        click(w, "cmdFinish");
    }));
    EXPECT_EQ(pack.PackLanguages, QStringList({"russian"}));
    EXPECT_EQ(pack.PackName, "New map pack");
    EXPECT_EQ(pack.PackVersion, "1.0");
    EXPECT_TRUE(pack.PackPropertiesSet);
}

TEST_F(Wizard, FinishWritesTheFieldsAndTheCheckedLanguagesInListOrder)
{
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        replaceText(w, "txtPackName", "Arctic Äventures");
        replaceText(w, "txtVersion", "");
        replaceText(w, "txtAuthor", "Kim");
        replaceText(w, "txtWebSite", "");
        click(w, "cmdNext");
        auto *list = control<QListWidget>(w, "lstLanguages");
        list->item(2)->setCheckState(Qt::Checked);
        list->item(0)->setCheckState(Qt::Checked);
        click(w, "cmdFinish");
    }));
    EXPECT_EQ(pack.PackName, "Arctic Äventures");
    EXPECT_EQ(pack.PackVersion, "");
    EXPECT_EQ(pack.PackAuthor, "Kim");
    EXPECT_EQ(pack.PackWebSite, "");
    EXPECT_EQ(pack.PackLanguages, QStringList({"czech", "russian"}));
}

TEST_F(Wizard, SelectAllThenDeselectAllEmptiesTheLanguages)
{
    pack.PackLanguages = {"german"};
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        click(w, "cmdNext");
        click(w, "cmdSelectAll");
        EXPECT_EQ(shownLanguages(w), QStringList({"Czech+", "German+", "Russian+"}));
        click(w, "cmdDeselectAll");
        click(w, "cmdFinish");
    }));
    EXPECT_TRUE(pack.PackLanguages.isEmpty());
}

TEST_F(Wizard, CancelEscapeAndCloseBoxChangeNothingAndKeepAnEarlierFinish)
{
    EXPECT_TRUE(runWizard([&](QWidget &w) { click(w, "cmdFinish"); }));
    ASSERT_TRUE(pack.PackPropertiesSet);
    const PackProperties before = pack;

    EXPECT_FALSE(runWizard([&](QWidget &w) {
        replaceText(w, "txtPackName", "Changed");
        click(w, "cmdCancel");
    }));
    EXPECT_FALSE(runWizard([&](QWidget &w) {
        replaceText(w, "txtAuthor", "Changed");
        QTest::keyClick(edit(w, "txtAuthor"), Qt::Key_Escape);
    }));
    EXPECT_FALSE(runWizard([&](QWidget &w) {
        click(w, "cmdNext");
        click(w, "cmdSelectAll");
        w.close();
    }));
    EXPECT_TRUE(pack.PackPropertiesSet);
    EXPECT_EQ(pack.PackName, before.PackName);
    EXPECT_EQ(pack.PackAuthor, before.PackAuthor);
    EXPECT_EQ(pack.PackLanguages, before.PackLanguages);
}

TEST_F(Wizard, ACancelledFirstWizardLeavesThePropertiesUnconfirmed)
{
    EXPECT_FALSE(runWizard([&](QWidget &w) { click(w, "cmdCancel"); }));
    EXPECT_FALSE(pack.PackPropertiesSet);
    // Every wizard starts afresh in step 1, from the pack fields.
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        EXPECT_TRUE(control<QWidget>(w, "pnlStep1")->isVisible());
        EXPECT_EQ(edit(w, "txtPackName")->text(), "New map pack");
        click(w, "cmdFinish");
    }));
    EXPECT_TRUE(pack.PackPropertiesSet);
}

TEST_F(Wizard, EnterMovesOnInStepOneAndFinishesInStepTwo)
{
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        QTest::keyClick(edit(w, "txtPackName"), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit(w, "txtVersion"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit(w, "txtAuthor"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), edit(w, "txtWebSite"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        ASSERT_TRUE(control<QWidget>(w, "pnlStep2")->isVisible());
        // Space checks the current language, Enter finishes.
        QTest::keyClick(control<QListWidget>(w, "lstLanguages"), Qt::Key_Space);
        QTest::keyClick(control<QListWidget>(w, "lstLanguages"), Qt::Key_Return);
        EXPECT_FALSE(w.isVisible());
    }));
    EXPECT_EQ(pack.PackLanguages, QStringList({"czech"}));
}

TEST_F(Wizard, RefusedValuesKeepTheWizardOpenWithAMessageNamingThem)
{
    struct Case
    {
        const char *edit;
        QString text;
        const char *named;
    };
    const QList<Case> cases = {
        {"txtPackName", "", "pack name"},
        {"txtPackName", "Maps: best of", "\":\""},
        {"txtPackName", " Arctic", "\" Arctic\""},
        {"txtPackName", "Arctic ", "ends in a blank"},
        {"txtVersion", "1.0 ", "\"1.0 \""},
        {"txtAuthor", "\tKim", "\\tKim"},
        {"txtWebSite", "http://a.example/\x1b[2J", "\\x1b[2J"},
        {"txtWebSite", "http://a.example/\"x", "double quote"},
        {"txtWebSite", "\\\\host\\share\\x.exe", "\"\\\\host\\share\\x.exe\" is not a web address"},
        {"txtWebSite", "C:\\x.exe", "\"C:\\x.exe\" is not a web address"},
        {"txtWebSite", "www.a.example", "not a web address"},
        {"txtAuthor", QString::fromUtf8("Ωmega"), "code page"},
    };
    for (const Case &c : cases) {
        dialogs.messages.clear();
        EXPECT_TRUE(runWizard([&](QWidget &w) {
            click(w, "cmdNext");
            edit(w, c.edit)->setText(c.text);
            click(w, "cmdFinish");
            ASSERT_EQ(dialogs.messages.size(), 1) << c.edit;
            EXPECT_TRUE(dialogs.messages.first().contains(c.named)) << dialogs.messages.first().toStdString();
            EXPECT_TRUE(dialogs.messages.first().startsWith("Map pack properties: "));
            // Still open, back on the step that holds the value, nothing written yet.
            EXPECT_TRUE(w.isVisible());
            EXPECT_TRUE(control<QWidget>(w, "pnlStep1")->isVisible());
            EXPECT_EQ(pack.PackName, "New map pack");
            edit(w, c.edit)->setText(c.edit == QLatin1String("txtPackName") ? "Mended" : "");
            click(w, "cmdFinish");
        })) << c.edit;
        pack.PackName = "New map pack";
    }
}

TEST_F(Wizard, WithoutLanguageFilesTheListIsEmptyAndFinishEmptiesTheLanguages)
{
    ASSERT_TRUE(QDir(compilerFolder(appDir)).removeRecursively());
    pack.PackLanguages = {"russian"};
    EXPECT_TRUE(runWizard([&](QWidget &w) {
        EXPECT_TRUE(shownLanguages(w).isEmpty());
        click(w, "cmdFinish");
    }));
    EXPECT_TRUE(pack.PackLanguages.isEmpty());
}

} // namespace
