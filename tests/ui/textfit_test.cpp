// Every text a control shows fits the control, in English and in every shipped translation, and a
// screen reader is told the same text. Also leaves pictures of the windows in each language for a
// person to look at when TERVELLE_SHOTS_DIR is set.

#include "core/langload.h"
#include "editorfixture.h"
#include "project/packproperties.h"
#include "trial/trialresult.h"
#include "ui/editor/findingswindow.h"
#include "ui/editor/trialwindow.h"
#include "ui/wizard/frmwizard.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTest>

namespace tervelle {

namespace {

// The built-in English (""), then each translation the project ships.
QStringList languages()
{
    return QStringList{QString()}
    + QDir(QStringLiteral(TERVELLE_SOURCE_DIR "/translations")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
}

// What of `widget` its window shows, in the widget's coordinates: its rectangle clipped by the
// inside of every parent up to the window.
QRect shownRect(const QWidget *widget)
{
    QRect shown = widget->rect();
    QPoint offset;
    for (const QWidget *w = widget; !w->isWindow() && w->parentWidget(); w = w->parentWidget()) {
        offset += w->pos();
        // Inside the parent's frame: a text running under a panel's border is cut too.
        shown &= w->parentWidget()->contentsRect().translated(-offset);
    }
    return shown;
}

QString plain(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)"))).section(QLatin1Char('\t'), 0, 0);
}

// Collects the texts that do not fit their controls, one line each: where, the text, the
// pixels it needs and those it has.
class FitCheck
{
public:
    explicit FitCheck(QString language) : m_language(std::move(language)) {}

    void window(const QWidget *top, const QString &what)
    {
        spoken(top, what, top->windowTitle());
        QList<const QWidget *> widgets{top};
        for (const QWidget *child : top->findChildren<QWidget *>())
            widgets << child;
        for (const QWidget *widget : std::as_const(widgets)) {
            if (auto *menu = qobject_cast<const QMenu *>(widget)) {
                this->menu(menu, what);
                continue;
            }
            if (!widget->isVisibleTo(top))
                continue;
            if (auto *label = qobject_cast<const QLabel *>(widget))
                this->label(label, what);
            else if (auto *button = qobject_cast<const QAbstractButton *>(widget))
                this->button(button, what);
            else if (auto *box = qobject_cast<const QGroupBox *>(widget))
                need(box, what, box->title(), box->fontMetrics().horizontalAdvance(box->title()) + 16, box->width());
            else if (auto *header = qobject_cast<const QHeaderView *>(widget))
                this->header(header, what);
            else if (auto *tabs = qobject_cast<const QTabBar *>(widget))
                this->tabs(tabs, what);
        }
    }

    const QStringList &cuts() const { return m_cuts; }

private:
    void need(const QWidget *widget, const QString &what, const QString &text, int needed, int has)
    {
        if (needed > has) {
            m_cuts << QStringLiteral("%1 %2 %3 \"%4\": needs %5 px, has %6")
                          .arg(m_language.isEmpty() ? QStringLiteral("en") : m_language, what, widget->objectName(),
                               plain(text))
                          .arg(needed)
                          .arg(has);
        }
    }

    // A screen reader reads what the control shows, in the same language.
    void spoken(const QWidget *widget, const QString &what, const QString &text)
    {
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(const_cast<QWidget *>(widget));
        const QString name = accessible ? accessible->text(QAccessible::Name) : QString();
        // The label menus' captions lead with a blank that is no part of their name.
        if (name != plain(text).trimmed()) {
            m_cuts << QStringLiteral("%1 %2 %3 \"%4\": a screen reader says \"%5\"")
                          .arg(m_language.isEmpty() ? QStringLiteral("en") : m_language, what, widget->objectName(),
                               plain(text), name);
        }
    }

    void label(const QLabel *label, const QString &what)
    {
        const QString text = label->text();
        if (text.isEmpty() || label->textFormat() == Qt::RichText)
            return;
        const QRect room = label->contentsRect() & shownRect(label);
        const QFontMetrics metrics = label->fontMetrics();
        if (label->wordWrap()) {
            const QRect wrapped = metrics.boundingRect(QRect(0, 0, label->contentsRect().width(), 100000),
                                                       Qt::TextWordWrap | Qt::TextShowMnemonic, text);
            need(label, what, text, wrapped.height(), room.height());
            need(label, what, text, wrapped.width(), room.width());
        } else {
            const QSize size = metrics.size(Qt::TextShowMnemonic, text);
            need(label, what, text, size.width(), room.width());
            need(label, what, text, size.height(), room.height());
        }
        spoken(label, what, text);
    }

    void button(const QAbstractButton *button, const QString &what)
    {
        const QString text = button->text();
        if (text.isEmpty())
            return;
        const int has = shownRect(button).width();
        if (auto *push = qobject_cast<const QPushButton *>(button)) {
            // The room inside the button's frame and margins, where the style draws the text.
            QStyleOptionButton option;
            option.initFrom(push);
            option.text = text;
            const QRect contents = push->style()->subElementRect(QStyle::SE_PushButtonContents, &option, push);
            need(push, what, text, push->fontMetrics().size(Qt::TextShowMnemonic, text).width(),
                 std::min(contents.width(), has));
        } else {
            need(button, what, text, button->sizeHint().width(), has);
        }
        spoken(button, what, text);
    }

    void header(const QHeaderView *header, const QString &what)
    {
        if (!header->model() || header->orientation() != Qt::Horizontal)
            return;
        const int margin = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section))
                continue;
            const QString text = header->model()->headerData(section, Qt::Horizontal).toString();
            need(header, what + QStringLiteral(" column"), text, header->fontMetrics().horizontalAdvance(text) + margin,
                 header->sectionSize(section));
        }
    }

    void tabs(const QTabBar *tabs, const QString &what)
    {
        const int space = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            need(tabs, what, tabs->tabText(i), tabs->fontMetrics().horizontalAdvance(plain(tabs->tabText(i))) + space,
                 tabs->tabRect(i).width());
        }
    }

    void menu(const QMenu *menu, const QString &what)
    {
        for (QAction *action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible() || action->text().isEmpty())
                continue;
            need(menu, what + QStringLiteral(" menu"), action->text(),
                 menu->fontMetrics().horizontalAdvance(plain(action->text())), menu->actionGeometry(action).width());
        }
    }

    QString m_language;
    QStringList m_cuts;
};

class TextFit : public test::EditorTest
{
protected:
    void useLanguage(const QString &language)
    {
        test::resetLanguage();
        if (!language.isEmpty())
            LoadLanguageFile(QStringLiteral(TERVELLE_SOURCE_DIR "/translations/%1/Lang.lng").arg(language));
        makeEditor();
    }

    void shoot(QWidget *window, const QString &language, const char *name) const
    {
        if (m_shots.isEmpty())
            return;
        QApplication::processEvents();
        window->grab().save(
            QStringLiteral("%1/%2-%3.png")
                .arg(m_shots, language.isEmpty() ? QStringLiteral("en") : language, QLatin1String(name)));
    }

    const QString m_shots = qEnvironmentVariable("TERVELLE_SHOTS_DIR");
};

TEST_F(TextFit, EveryControlsTextFitsInEveryLanguage)
{
    QStringList cuts;
    for (const QString &language : languages()) {
        useLanguage(language);
        FitCheck check(language);

        // The main window at its smallest, the console shown, every popup menu.
        ProjectModel &project = projectToSetUp();
        TreeNode *folder = project.AddDirElement(project.root(FilesRoot), QStringLiteral("info"));
        project.AddFileElement(folder, QStringLiteral("gone.htm"), InfoPageFile, tempPath(QStringLiteral("gone.htm")));
        project.AddMap();
        item("mnuFileShowConsole")->trigger();
        editor->resize(editor->minimumSize());
        QApplication::processEvents();
        check.window(editor.get(), QStringLiteral("window"));
        shoot(editor.get(), language, "window-minimum");
        editor->resize(1000, 760);
        shoot(editor.get(), language, "window");

        // The findings list, as Check pack shows it.
        item("mnuFileCheckPack")->trigger();
        auto *findings = test::panelOf<FindingsWindow>(*editor);
        ASSERT_TRUE(findings && findings->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !findings->isReviewing(); }, 10000));
        QApplication::processEvents();
        check.window(findings, QStringLiteral("findings"));
        shoot(findings, language, "findings");
        findings->close();

        // Both steps of the wizard.
        PackProperties pack;
        TfrmWizard wizard(pack, settings.AppDir, dialogs, editor.get());
        wizard.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard));
        check.window(&wizard, QStringLiteral("wizard step 1"));
        shoot(&wizard, language, "wizard-1");
        wizard.findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
        check.window(&wizard, QStringLiteral("wizard step 2"));
        shoot(&wizard, language, "wizard-2");
        wizard.close();

        TrialWindow trial(editor.get());
        trial.showResult(TrialResult{});
        QApplication::processEvents();
        check.window(&trial, QStringLiteral("trial"));
        trial.close();

        cuts << check.cuts();
    }
    EXPECT_TRUE(cuts.isEmpty()) << cuts.join(QLatin1Char('\n')).toStdString();
}

} // namespace

} // namespace tervelle
