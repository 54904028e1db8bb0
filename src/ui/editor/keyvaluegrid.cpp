#include "ui/editor/keyvaluegrid.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPersistentModelIndex>
#include <QTableView>
#include <QTimer>

#include <utility>

namespace tervelle {

namespace {

constexpr int KeyColumnWidth = 90;
const char *const ClickingProperty = "clicking";

class ClickWatcher : public QObject
{
public:
    ClickWatcher(QTableView *grid) : QObject(grid), m_grid(grid) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
            m_grid->setProperty(ClickingProperty, true);
        else if (event->type() == QEvent::MouseButtonRelease)
            m_grid->setProperty(ClickingProperty, false);
        return false;
    }

private:
    QTableView *m_grid;
};

// Typing over a value cell that carries a pick list or the scripts editor goes to that editor
// whole: the first key too (the view would only move the focus), and in place of the old value
// as in a plain cell, not appended to it.
class TypingHandOver : public QObject
{
public:
    TypingHandOver(QTableView *grid) : QObject(grid), m_grid(grid) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->text().isEmpty() || !key->text().at(0).isPrint()
            || (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
            return false;
        const QModelIndex current = m_grid->currentIndex();
        QWidget *editor = current.isValid() && current.column() == 1 ? m_grid->indexWidget(current) : nullptr;
        if (!editor || !editor->isEnabled() || !editor->isVisible())
            return false;
        QWidget *target = editor;
        if (auto *combo = qobject_cast<QComboBox *>(editor)) {
            if (combo->isEditable())
                target = combo->lineEdit();
        } else if (auto *edit = editor->findChild<QLineEdit *>()) {
            target = edit;
        }
        target->setFocus(Qt::OtherFocusReason);
        if (auto *edit = qobject_cast<QLineEdit *>(target))
            edit->selectAll();
        QCoreApplication::sendEvent(target, event);
        return true;
    }

private:
    QTableView *m_grid;
};

// A click on the selected cell opens its editor once a double-click can no longer come. Qt's own
// way edits whatever cell is current when its timer fires, and warns when a reload has left none
// by then; this one edits only the cell that was clicked, if it is still there and current.
class KeyValueTable : public QTableView
{
public:
    explicit KeyValueTable(QWidget *parent) : QTableView(parent)
    {
        m_delayedEdit.setSingleShot(true);
        connect(&m_delayedEdit, &QTimer::timeout, this, [this] {
            if (m_clicked.isValid() && m_clicked == currentIndex() && state() != EditingState)
                edit(m_clicked, AllEditTriggers, nullptr);
        });
    }

    void setModel(QAbstractItemModel *model) override
    {
        QTableView::setModel(model);
        if (model)
            connect(model, &QAbstractItemModel::modelAboutToBeReset, &m_delayedEdit, &QTimer::stop);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        m_delayedEdit.stop();
        const QModelIndex at = indexAt(event->position().toPoint());
        m_pressedSelected = at.isValid() && at == currentIndex() && selectionModel()->isSelected(at);
        QTableView::mousePressEvent(event);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const QModelIndex at = indexAt(event->position().toPoint());
        const bool wasSelected = std::exchange(m_pressedSelected, false);
        QTableView::mouseReleaseEvent(event);
        if (wasSelected && event->button() == Qt::LeftButton && at.isValid() && at == currentIndex()
            && state() != EditingState) {
            m_clicked = at;
            m_delayedEdit.start(QApplication::doubleClickInterval());
        }
    }

    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        m_delayedEdit.stop();
        QTableView::mouseDoubleClickEvent(event);
    }

    // Clicking elsewhere first, or a reload of the rows, means the click was not an edit.
    void focusOutEvent(QFocusEvent *event) override
    {
        m_delayedEdit.stop();
        QTableView::focusOutEvent(event);
    }

private:
    QTimer m_delayedEdit;
    QPersistentModelIndex m_clicked;
    bool m_pressedSelected = false;
};

} // namespace

QTableView *makeKeyValueGrid(const QString &name, QAbstractItemModel *model, QWidget *parent)
{
    auto *grid = new KeyValueTable(parent);
    grid->setObjectName(name);
    grid->setModel(model);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setStretchLastSection(true);
    // The stretched value column may shrink below the usual section size in a narrow column.
    grid->horizontalHeader()->setDefaultSectionSize(KeyColumnWidth / 2);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setAutoFillBackground(true);
    grid->setColumnWidth(0, KeyColumnWidth);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                          | QAbstractItemView::AnyKeyPressed);
    grid->setWordWrap(false);
    // The value column stretches to the grid's edge; long values are elided, not scrolled.
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->viewport()->installEventFilter(new ClickWatcher(grid));
    grid->installEventFilter(new TypingHandOver(grid));
    return grid;
}

bool isClicking(const QTableView *grid)
{
    return grid->property(ClickingProperty).toBool();
}

} // namespace tervelle
