#pragma once

#include <QListWidget>
#include <QStyledItemDelegate>
#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;
class QToolButton;

namespace tervelle {

class TextureTiles;

// The editor a value cell gets, by the value kind of its row (or a header row's key kind).
enum class CellEditor { Text, PickList, Tiles, Scripts };

// The script value: its text, edited as typed, with the "+" button (`cmdScripts`) at its right
// end that drops the script list (`lstScripts`) below the cell. A script chosen there is added
// to the value at once.
class ScriptsEditor : public QWidget
{
    Q_OBJECT

public:
    ScriptsEditor(const QStringList &scripts, QWidget *parent);
    ~ScriptsEditor() override;

    QString text() const;
    void setText(const QString &text);
    void setScripts(const QStringList &scripts);
    QLineEdit *edit() const { return m_edit; }
    QListWidget *list() const { return lstScripts; }

    void cmdScriptsClick();
    void lstScriptsClick();

signals:
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;

private:
    void placeList();

    QLineEdit *m_edit = nullptr;
    QToolButton *cmdScripts = nullptr;
    QListWidget *lstScripts = nullptr; // over the grid, a sibling of this editor; null once gone
};

// The editors of a key/value grid's cells. Key cells and text values get a line edit; a value
// with a pick list, the tiles or the scripts gets that editor as the cell's own editor, placed on
// the cell so it follows scrolling and resizing. Every editor writes through the model at once:
// a value at every keystroke and when a pick list's item is chosen, so whatever reads the project
// (Save, a shortcut) sees what the cell shows; a key only when it is finished.
class GridDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    GridDelegate(const QString &pickListName, QObject *parent);

    std::function<CellEditor(int row)> editorFor;
    std::function<QStringList(int row)> pickItems;
    std::function<QStringList()> scripts;
    TextureTiles *tiles = nullptr;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;

    // The pick list's items afresh, keeping its text.
    static void refill(QComboBox *combo, const QStringList &items);
    // The item equal to the value ignoring case selected (or none), the value as the text.
    static void showValue(QComboBox *combo, const QString &value);

signals:
    // Typing into a cell's line editor begins.
    void editStarted(int row, int column) const;
    // A typed value or key was finished (Enter or leaving the cell).
    void editFinished(int row, int column) const;
    // Esc left a cell's line editor: what was typed is to be taken back.
    void editCancelled(int row, int column) const;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void commit(QWidget *editor);

    QString m_pickListName;
};

} // namespace tervelle
