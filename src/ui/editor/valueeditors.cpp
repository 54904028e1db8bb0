#include "ui/editor/valueeditors.h"

#include "project/picklists.h"
#include "ui/editor/tilecombo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>

#include <algorithm>

namespace tervelle {

namespace {
constexpr int PickListHeight = 21;
constexpr int ButtonSide = 21;
constexpr int ScriptListHeight = 73;
// The cell a line editor types into, as (column, row).
const char *const CellProperty = "gridCell";
} // namespace

ScriptsEditor::ScriptsEditor(const QStringList &scripts, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scriptsEditor"));
    setFixedHeight(ButtonSide);
    m_edit = new QLineEdit(this);
    m_edit->setFrame(false);
    cmdScripts = new QToolButton(this);
    cmdScripts->setObjectName(QStringLiteral("cmdScripts"));
    cmdScripts->setText(QStringLiteral("+"));
    cmdScripts->setFixedSize(ButtonSide, ButtonSide);
    cmdScripts->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_edit);
    layout->addWidget(cmdScripts);
    setFocusProxy(m_edit);
    // Taken by Tab like any cell's editor: the view refuses to edit, and warns, where the
    // editor it finds takes no focus.
    setFocusPolicy(Qt::StrongFocus);

    // Over the window rather than the grid's cells, so a click the list leaves unused does not
    // reach the cell below it, and the list may be wider than the value column.
    QWidget *over = parent ? parent->window() : nullptr;
    lstScripts = new QListWidget(over);
    lstScripts->setObjectName(QStringLiteral("lstScripts"));
    lstScripts->setFixedHeight(ScriptListHeight);
    lstScripts->hide();
    lstScripts->installEventFilter(this);
    connect(lstScripts, &QObject::destroyed, this, [this] { lstScripts = nullptr; });
    setScripts(scripts);

    connect(m_edit, &QLineEdit::textEdited, this, &ScriptsEditor::changed);
    connect(cmdScripts, &QToolButton::clicked, this, &ScriptsEditor::cmdScriptsClick);
    connect(lstScripts, &QListWidget::itemClicked, this, &ScriptsEditor::lstScriptsClick);
    connect(lstScripts, &QListWidget::itemActivated, this, &ScriptsEditor::lstScriptsClick);
}

ScriptsEditor::~ScriptsEditor()
{
    delete lstScripts;
}

QString ScriptsEditor::text() const
{
    return m_edit->text();
}

void ScriptsEditor::setText(const QString &text)
{
    if (m_edit->text() != text)
        m_edit->setText(text);
}

void ScriptsEditor::setScripts(const QStringList &scripts)
{
    lstScripts->clear();
    lstScripts->addItems(scripts);
    placeList();
}

void ScriptsEditor::cmdScriptsClick()
{
    if (lstScripts->isHidden()) {
        placeList();
        lstScripts->show();
        lstScripts->raise();
        lstScripts->setFocus();
    } else {
        m_edit->setFocus();
        lstScripts->hide();
    }
}

void ScriptsEditor::lstScriptsClick()
{
    if (QListWidgetItem *item = lstScripts->currentItem()) {
        m_edit->setText(PickLists::withScript(m_edit->text(), item->text()));
        emit changed();
    }
    // The keyboard goes back first: a focused list that hides hands it on to the next cell.
    m_edit->setFocus();
    lstScripts->hide();
}

bool ScriptsEditor::eventFilter(QObject *watched, QEvent *event)
{
    // lstScriptsExit: the list goes when it loses the keyboard.
    if (watched == lstScripts && event->type() == QEvent::FocusOut)
        lstScripts->hide();
    return QWidget::eventFilter(watched, event);
}

void ScriptsEditor::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeList();
}

void ScriptsEditor::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    placeList();
}

void ScriptsEditor::placeList()
{
    if (!lstScripts || !parentWidget())
        return;
    const QPoint below = parentWidget()->mapTo(lstScripts->parentWidget(), QPoint(x(), y() + height()));
    // As wide as its longest script, as the pick lists drop down, within the grid it lies over:
    // a wider list reaches left from the cell's right edge.
    int wanted = lstScripts->sizeHintForColumn(0) + 2 * lstScripts->frameWidth();
    if (lstScripts->count() * std::max(1, lstScripts->sizeHintForRow(0)) > ScriptListHeight)
        wanted += lstScripts->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, lstScripts);
    const int room = lstScripts->parentWidget()->width();
    const int listWidth = std::min(std::max(width(), wanted), room);
    const int left = std::clamp(below.x() + width() - listWidth, 0, std::max(0, room - listWidth));
    lstScripts->setGeometry(left, below.y(), listWidth, ScriptListHeight);
}

namespace {

// A pick list whose drop-down is as wide as its longest item (up to the screen), so file names
// longer than the value column can be read before one is chosen.
class WidePickList : public QComboBox
{
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        QAbstractItemView *list = view();
        int width = list->sizeHintForColumn(0) + 2 * list->frameWidth();
        if (count() > maxVisibleItems())
            width += list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
        if (const QScreen *shown = screen())
            width = std::min(width, shown->availableGeometry().width());
        list->setMinimumWidth(width);
        QComboBox::showPopup();
    }
};

} // namespace

GridDelegate::GridDelegate(const QString &pickListName, QObject *parent)
    : QStyledItemDelegate(parent), m_pickListName(pickListName)
{}

QWidget *GridDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const int row = index.row();
    const int column = index.column();
    const CellEditor kind = column == 1 && editorFor ? editorFor(row) : CellEditor::Text;
    auto *self = const_cast<GridDelegate *>(this);
    switch (kind) {
    case CellEditor::PickList: {
        auto *combo = new WidePickList(parent);
        combo->setObjectName(m_pickListName);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setFixedHeight(PickListHeight);
        // What is typed is what is written: no completion slipped in behind the cursor.
        combo->setCompleter(nullptr);
        combo->addItems(pickItems ? pickItems(row) : QStringList());
        connect(combo, &QComboBox::activated, self, [self, combo] { self->commit(combo); });
        connect(combo->lineEdit(), &QLineEdit::textEdited, self, [self, combo] { self->commit(combo); });
        connect(combo->lineEdit(), &QLineEdit::editingFinished, self, [self, combo, row] {
            self->commit(combo);
            emit self->editFinished(row, 1);
        });
        return combo;
    }
    case CellEditor::Tiles: {
        auto *combo = new TileCombo(*tiles, parent);
        connect(combo, &QComboBox::activated, self, [self, combo] { self->commit(combo); });
        return combo;
    }
    case CellEditor::Scripts: {
        auto *editor = new ScriptsEditor(scripts ? scripts() : QStringList(), parent);
        connect(editor, &ScriptsEditor::changed, self, [self, editor] { self->commit(editor); });
        connect(editor->edit(), &QLineEdit::editingFinished, self, [self, row] { emit self->editFinished(row, 1); });
        return editor;
    }
    case CellEditor::Text: break;
    }
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setProperty(CellProperty, QPoint(column, row));
        emit self->editStarted(row, column);
        // A value is written at every keystroke (the map name and the caption follow it); a
        // key only when finished, so a half-typed key is not refused.
        if (column == 1)
            connect(edit, &QLineEdit::textEdited, self, [self, edit] { self->commit(edit); });
        connect(edit, &QLineEdit::editingFinished, self, [self, row, column] { emit self->editFinished(row, column); });
    }
    return editor;
}

void GridDelegate::commit(QWidget *editor)
{
    // An editor the view has let go is hidden before it goes; the focus it then loses must not
    // write through a view that no longer knows it.
    if (!editor->isHidden())
        emit commitData(editor);
}

bool GridDelegate::eventFilter(QObject *object, QEvent *event)
{
    const QVariant cell = object->property(CellProperty);
    if (event->type() != QEvent::KeyPress || !cell.isValid())
        return QStyledItemDelegate::eventFilter(object, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const int row = cell.toPoint().y();
    const int column = cell.toPoint().x();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Written and closed at once. Qt would do both later, from a queued call that finds the
        // editor gone (and warns) when a command has closed it in between.
        auto *editor = static_cast<QWidget *>(object);
        emit commitData(editor);
        emit editFinished(row, column);
        // Its closing is no second finish.
        const QSignalBlocker quiet(editor);
        emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
        return true;
    }
    // Taken back while the editor is still open: closing it ends the typing step.
    if (key == Qt::Key_Escape)
        emit editCancelled(row, column);
    return QStyledItemDelegate::eventFilter(object, event);
}

void GridDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString value = index.data(Qt::EditRole).toString();
    if (auto *scriptsEditor = qobject_cast<ScriptsEditor *>(editor)) {
        scriptsEditor->setText(value);
    } else if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (combo->currentText() != value || combo->currentIndex() < 0)
            showValue(combo, value);
    } else if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        // Leaves the cursor alone while the cell's own typing comes back.
        if (edit->text() != value)
            edit->setText(value);
    } else {
        QStyledItemDelegate::setEditorData(editor, index);
    }
}

void GridDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    QString text;
    if (auto *scriptsEditor = qobject_cast<ScriptsEditor *>(editor))
        text = scriptsEditor->text();
    else if (auto *combo = qobject_cast<QComboBox *>(editor))
        text = combo->currentText();
    else if (auto *edit = qobject_cast<QLineEdit *>(editor))
        text = edit->text();
    else {
        QStyledItemDelegate::setModelData(editor, model, index);
        return;
    }
    // A refused text (its reason already shown) leaves the editor, so that the next keystroke
    // or commit does not meet it again.
    if (!model->setData(index, text))
        setEditorData(editor, index);
}

void GridDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    // The pick lists keep their own height, a little over the row they cover.
    QRect rect = option.rect;
    if (editor->minimumHeight() == editor->maximumHeight())
        rect.setHeight(editor->height());
    editor->setGeometry(rect);
}

void GridDelegate::refill(QComboBox *combo, const QStringList &items)
{
    const QSignalBlocker quiet(combo);
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(items);
    showValue(combo, text);
}

void GridDelegate::showValue(QComboBox *combo, const QString &value)
{
    const QSignalBlocker quiet(combo);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    combo->setCurrentIndex(PickLists::indexOfValue(items, value));
    if (combo->isEditable())
        combo->setEditText(value);
}

} // namespace tervelle
