#pragma once

#include "mappack/packreview.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;
class QPushButton;
class QTableView;
class QThread;
class QTimer;

namespace tervelle {

class ProjectModel;
struct Settings;

// The findings of a review as rows of severity, place and message; a finding that stands for
// others says how many. The icons are made once, not per row.
class FindingsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit FindingsModel(QObject *parent = nullptr);

    void setReview(PackReview review);
    const PackReview &review() const { return m_review; }
    // Forgets the tree nodes the findings point at, once the tree changes under them.
    void forgetNodes();
    void setIcons(const std::array<QIcon, 3> &icons) { m_icons = icons; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    PackReview m_review;
    std::array<QString, 3> m_severities;
    std::array<QString, 3> m_headers;
    std::array<QIcon, 3> m_icons;
};

// `frmCheck`: the pack review as a list beside the editor, not modal, so the map maker fixes
// one finding after the other. Enter or a double click asks to go to the finding's place in
// the editor; Esc closes it. While the window shows, it checks again shortly after each change
// of the project. Check pack and Check again review on a thread of their own: a large project
// must not freeze the editor, which holds its commands meanwhile (reviewRunning), so the project
// stays as it is.
class FindingsWindow : public QWidget
{
    Q_OBJECT

public:
    // A window of its own beside `parent`, reviewing `project` as built with `settings`.
    FindingsWindow(const ProjectModel &project, const Settings &settings, QWidget *parent);
    // Waits for a review still running: it reads the project.
    ~FindingsWindow() override;

    // Shows this review and brings the window up; a headline (why a build stopped) leads the
    // summary and is announced.
    void showReview(const PackReview &review, const QString &headline = {});
    // Shows the window and reviews the project afresh on a thread; the list follows when the
    // review ends.
    void startReview();
    // Reviews the project afresh on a thread, the editor's commands held meanwhile.
    void refresh();
    bool isReviewing() const { return m_thread != nullptr; }
    const PackReview &review() const { return m_model->review(); }

signals:
    void goToRequested(const tervelle::FindingPlace &place);
    // The Locate button; the list checks again once whoever answers has relinked.
    void locateMissingRequested();
    // A review started (true) or ended (false) on its thread.
    void reviewRunning(bool running);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void fill();
    void activate(const QModelIndex &index);
    void currentChanged();
    void projectChanged();
    void reviewEnded(PackReview review);
    void placeBesideParent();
    void fitColumns();
    void fitMessageColumn();

    QTableView *lstFindings = nullptr;
    QLabel *lblSummary = nullptr;
    QLabel *lblFix = nullptr;
    QPushButton *cmdLocate = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdClose = nullptr;

    const ProjectModel &m_project;
    const Settings &m_settings;
    FindingsModel *m_model = nullptr;
    QTimer *m_again = nullptr;
    QString m_headline;
    std::unique_ptr<QThread> m_thread;
    bool m_reviewAgain = false;
    bool m_placed = false;
    int m_messageWidth = 0;
};

} // namespace tervelle
