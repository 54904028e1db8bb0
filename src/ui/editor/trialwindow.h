#pragma once

#include "trial/trialresult.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTreeView;

namespace tervelle {

// What a trial of the installer did, as a tree of the stand-in game, launcher and install
// folders: an icon per state (added, replaced with its backup kept, stays after uninstall,
// removed by uninstall), the counts above, and the mismatches with the project first. It stays
// open beside the editor; Enter or a double-click on a file asks for its node in the files tree.
class TrialWindow : public QWidget
{
    Q_OBJECT

public:
    // Roles of a file's row: the tree node it came from, by its path and its absolute index.
    enum { NodePathRole = Qt::UserRole + 1, AbsoluteIndexRole };

    explicit TrialWindow(QWidget *parent = nullptr);

    void showResult(const TrialResult &result);

    QTreeView *tree() const { return trvTrial; }
    QLabel *summary() const { return lblSummary; }

signals:
    void nodeRequested(const QString &nodePath, int absoluteIndex);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void fill(const TrialResult &result);
    QStandardItem *folderItem(QStandardItem *placeRoot, const QString &folderPath);
    void rowActivated(const QModelIndex &index);

    QLabel *lblSummary = nullptr;
    QTreeView *trvTrial = nullptr;
    QStandardItemModel *m_model = nullptr;
    QPushButton *cmdClose = nullptr;
    bool m_placed = false;
};

} // namespace tervelle
