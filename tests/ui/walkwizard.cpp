#include "walkwizard.h"

#include "core/namerule.h"
#include "core/textcodec.h"
#include "ui/wizard/frmwizard.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tervelle::test {

const QStringList WalkLanguages = {QStringLiteral("Czech"), QStringLiteral("French"), QStringLiteral("German"),
                                   QStringLiteral("Russian")};

namespace {

// What the project file and the installer can carry as typed, as the build promises to check
// it: no control character anywhere and nothing the code page lacks, a pack name that is one
// Windows name, no blank at either end of the name, version and author, and a web site that is
// empty or a web address without a double quote.
bool carriable(const PackFields &fields)
{
    const auto storable = [](const QString &text) { return !hasControlCharacter(text) && textCodec().canEncode(text); };
    const auto exact = [&](const QString &text) { return storable(text) && text == text.trimmed(); };
    return isWindowsName(fields.name) && exact(fields.name) && exact(fields.version) && exact(fields.author)
        && storable(fields.webSite) && !fields.webSite.contains(QLatin1Char('"'))
        && (fields.webSite.isEmpty() || fields.webSite.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
            || fields.webSite.startsWith(QLatin1String("https://"), Qt::CaseInsensitive));
}

// The checked languages in the list's order, as Finish stores them.
QStringList inListOrder(const QStringList &checked)
{
    QStringList ordered;
    for (const QString &language : WalkLanguages) {
        if (checked.contains(language.toLower()))
            ordered.append(language.toLower());
    }
    return ordered;
}

struct Field
{
    const char *name;
    QString PackFields::*value;
};

const Field Fields[] = {
    {"txtPackName", &PackFields::name},
    {"txtVersion", &PackFields::version},
    {"txtAuthor", &PackFields::author},
    {"txtWebSite", &PackFields::webSite},
};

// Texts a map maker means, for each field in Fields' order.
const QStringList OrdinaryTexts[] = {
    {QStringLiteral("Arctic Pack"), QStringLiteral("Desert maps 2"), QString::fromUtf8("Z\xc3\xbcrich roofs")},
    {QStringLiteral("1.0"), QStringLiteral("2.1 beta"), QString()},
    {QStringLiteral("Kim"), QStringLiteral("Dana Ruiz"), QString()},
    {QStringLiteral("http://maps.example/"), QStringLiteral("https://a.example/p?x=1"), QString()},
};

template <typename T>
T *control(TfrmWizard &wizard, const char *name)
{
    return wizard.findChild<T *>(QLatin1String(name));
}

// Types the text key by key; QTest knows keys for ASCII only, so other letters come as the text
// of a key the keyboard layout gives.
void typeKeys(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(widget, char(c.unicode()));
            continue;
        }
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void click(TfrmWizard &wizard, const char *button)
{
    QTest::mouseClick(control<QPushButton>(wizard, button), Qt::LeftButton);
}

} // namespace

PackFields PackFields::of(const PackProperties &pack)
{
    return {pack.PackName,    pack.PackVersion,   pack.PackAuthor,
            pack.PackWebSite, pack.PackLanguages, pack.PackPropertiesSet};
}

bool PackFields::operator==(const PackFields &other) const
{
    return name == other.name && version == other.version && author == other.author && webSite == other.webSite
        && languages == other.languages && set == other.set;
}

QString PackFields::describe() const
{
    return QStringLiteral("name %1, version %2, author %3, web site %4, languages (%5), %6")
        .arg(describeText(name), describeText(version), describeText(author), describeText(webSite),
             languages.join(QLatin1Char(' ')), set ? QStringLiteral("set") : QStringLiteral("not set"));
}

WizardWalk::WizardWalk(WalkRandom &random, ScriptedDialogs &dialogs, QStringList &problems)
    : m_random(random), m_dialogs(dialogs), m_problems(problems)
{}

void WizardWalk::expect(bool ok, const QString &what)
{
    if (!ok)
        m_problems.append(QStringLiteral("wizard: ") + what);
}

QString WizardWalk::run(const ProjectModel &project, const std::function<void()> &command)
{
    m_project = &project;
    m_before = PackFields::of(project.packProperties());
    m_typed = m_before;
    m_typed.languages = inListOrder(m_before.languages);
    m_firstStep = true;
    m_opened = false;
    m_finished = false;
    m_actions.clear();

    // The wizard's modal loop runs this; the timer dies with this call should no wizard open.
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        if (auto *wizard = qobject_cast<TfrmWizard *>(QApplication::activeModalWidget()))
            play(*wizard);
    });
    timer.start(0);
    command();
    timer.stop();

    expect(m_opened, QStringLiteral("the wizard did not open"));
    if (m_opened) {
        PackFields expected = m_before;
        if (m_finished) {
            expected = m_typed;
            expected.set = true;
        }
        const PackFields after = PackFields::of(m_project->packProperties());
        expect(after == expected,
               QStringLiteral("the pack holds %1, expected %2").arg(after.describe(), expected.describe()));
    }
    return QStringLiteral("wizard [%1]").arg(m_actions.join(QStringLiteral(", ")));
}

void WizardWalk::play(TfrmWizard &wizard)
{
    m_opened = true;
    // Keys go to the active window's focus, as for a person at the keyboard.
    wizard.activateWindow();
    expect(QTest::qWaitForWindowActive(&wizard), QStringLiteral("the wizard cannot be activated"));
    checkShown(wizard);

    for (int i = int(m_random.next(6)); i > 0 && wizard.isVisible(); --i) {
        const quint32 kind = m_random.next(100);
        if (m_firstStep) {
            if (kind < 70) {
                m_actions.append(typeInto(wizard));
            } else if (kind < 85) {
                click(wizard, "cmdNext");
                m_firstStep = false;
                m_actions.append(QStringLiteral("Next"));
            } else {
                // Enter in step 1 moves on.
                QTest::keyClick(control<QLineEdit>(wizard, "txtPackName"), Qt::Key_Return);
                m_firstStep = false;
                m_actions.append(QStringLiteral("Enter"));
            }
        } else if (kind < 45) {
            toggleLanguage(wizard);
        } else if (kind < 60) {
            click(wizard, "cmdSelectAll");
            m_typed.languages = inListOrder({QStringLiteral("czech"), QStringLiteral("french"),
                                             QStringLiteral("german"), QStringLiteral("russian")});
            m_actions.append(QStringLiteral("Select all"));
        } else if (kind < 75) {
            click(wizard, "cmdDeselectAll");
            m_typed.languages.clear();
            m_actions.append(QStringLiteral("Deselect all"));
        } else {
            click(wizard, "cmdBack");
            m_firstStep = true;
            m_actions.append(QStringLiteral("Back"));
        }
        checkStep(wizard);
    }
    end(wizard, true);
}

void WizardWalk::checkShown(TfrmWizard &wizard)
{
    for (const Field &field : Fields) {
        auto *line = control<QLineEdit>(wizard, field.name);
        expect(line && line->text() == m_before.*field.value,
               QStringLiteral("%1 opens with %2, the pack holds %3")
                   .arg(QLatin1String(field.name), describeText(line ? line->text() : QString()),
                        describeText(m_before.*field.value)));
    }
    auto *list = control<QListWidget>(wizard, "lstLanguages");
    QStringList shown;
    QStringList checked;
    for (int i = 0; list && i < list->count(); ++i) {
        shown.append(list->item(i)->text());
        if (list->item(i)->checkState() == Qt::Checked)
            checked.append(list->item(i)->text().toLower());
    }
    expect(shown == WalkLanguages, QStringLiteral("the languages shown are %1").arg(shown.join(QLatin1Char(' '))));
    expect(checked == m_typed.languages,
           QStringLiteral("the languages checked at opening are %1, the pack holds %2")
               .arg(checked.join(QLatin1Char(' ')), m_before.languages.join(QLatin1Char(' '))));
    checkStep(wizard);
}

void WizardWalk::checkStep(TfrmWizard &wizard)
{
    const bool first = control<QWidget>(wizard, "pnlStep1")->isVisible();
    expect(first == m_firstStep && control<QWidget>(wizard, "pnlStep2")->isVisible() == !m_firstStep,
           QStringLiteral("step %1 is shown, expected step %2").arg(first ? 1 : 2).arg(m_firstStep ? 1 : 2));
    m_firstStep = first;
}

QString WizardWalk::typeInto(TfrmWizard &wizard)
{
    const int which = int(m_random.next(4));
    const Field &field = Fields[which];
    auto *line = control<QLineEdit>(wizard, field.name);
    line->setFocus();
    line->selectAll();
    QString text;
    if (m_random.chance(40)) {
        // Control characters cannot be typed as keys; they arrive by pasting.
        text = m_random.oddText();
        line->insert(text);
    } else {
        text = m_random.pick(OrdinaryTexts[which]);
        QTest::keyClick(line, Qt::Key_Delete);
        typeKeys(line, text);
    }
    expect(line->text() == text,
           QStringLiteral("%1 shows %2 after %3 was typed")
               .arg(QLatin1String(field.name), describeText(line->text()), describeText(text)));
    m_typed.*field.value = line->text();
    return QStringLiteral("%1 := %2").arg(QLatin1String(field.name), describeText(text));
}

void WizardWalk::toggleLanguage(TfrmWizard &wizard)
{
    auto *list = control<QListWidget>(wizard, "lstLanguages");
    const int row = int(m_random.next(quint32(list->count())));
    list->setCurrentRow(row);
    // Space toggles the current language's check mark.
    QTest::keyClick(list, Qt::Key_Space);
    const QString language = WalkLanguages.value(row).toLower();
    QStringList checked = m_typed.languages;
    if (checked.contains(language))
        checked.removeAll(language);
    else
        checked.append(language);
    m_typed.languages = inListOrder(checked);
    const bool isChecked = list->item(row)->checkState() == Qt::Checked;
    expect(isChecked == m_typed.languages.contains(language),
           QStringLiteral("Space left %1 %2")
               .arg(language, isChecked ? QStringLiteral("checked") : QStringLiteral("unchecked")));
    m_actions.append(QStringLiteral("toggle %1").arg(language));
}

void WizardWalk::end(TfrmWizard &wizard, bool mayFinish)
{
    const quint32 kind = m_random.next(100);
    if (mayFinish && kind < 55) {
        finish(wizard, !m_firstStep && kind < 10);
        if (!wizard.isVisible())
            return;
        // Refused: the wizard stays open for the value to be mended; this time it is given up.
        end(wizard, false);
        return;
    }
    if (kind < 70) {
        click(wizard, "cmdCancel");
        m_actions.append(QStringLiteral("Cancel"));
    } else if (kind < 85) {
        wizard.close();
        m_actions.append(QStringLiteral("close box"));
    } else {
        QTest::keyClick(wizard.focusWidget() ? wizard.focusWidget() : &wizard, Qt::Key_Escape);
        m_actions.append(QStringLiteral("Esc"));
    }
    expect(!wizard.isVisible(), QStringLiteral("%1 left the wizard open").arg(m_actions.last()));
    if (wizard.isVisible())
        wizard.reject();
}

void WizardWalk::finish(TfrmWizard &wizard, bool byEnter)
{
    const qsizetype messages = m_dialogs.messages().size();
    if (byEnter)
        QTest::keyClick(control<QListWidget>(wizard, "lstLanguages"), Qt::Key_Return);
    else
        click(wizard, "cmdFinish");
    m_actions.append(byEnter ? QStringLiteral("Enter") : QStringLiteral("Finish"));
    const bool taken = !wizard.isVisible();
    const bool acceptable = carriable(m_typed);
    const qsizetype shown = m_dialogs.messages().size() - messages;
    if (taken) {
        expect(acceptable, QStringLiteral("Finish took values the pack cannot carry: %1").arg(m_typed.describe()));
        expect(shown == 0, QStringLiteral("Finish took the values and showed %1 messages").arg(shown));
        m_finished = true;
        return;
    }
    m_actions.last() += QStringLiteral(" (refused)");
    expect(!acceptable, QStringLiteral("Finish refused values the pack can carry: %1").arg(m_typed.describe()));
    expect(shown == 1, QStringLiteral("a refused Finish showed %1 messages").arg(shown));
    expect(PackFields::of(m_project->packProperties()) == m_before,
           QStringLiteral("a refused Finish changed the pack"));
    // The refused value is in step 1.
    m_firstStep = true;
    checkStep(wizard);
}

} // namespace tervelle::test
