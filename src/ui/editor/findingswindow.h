#pragma once

#include "mappack/packreview.h"

#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tervelle {

class ProjectModel;
struct Settings;

// `frmCheck`: the pack review as a list beside the editor, not modal, so the map maker fixes
// one finding after the other. Enter or a double click asks to go to the finding's place in
// the editor. While the window shows, it checks again shortly after each change of the project.
class FindingsWindow : public QWidget
{
    Q_OBJECT

public:
    // A window of its own over `parent`, reviewing `project` as built with `settings`.
    FindingsWindow(const ProjectModel &project, const Settings &settings, QWidget *parent);

    // Shows this review and brings the window up; a headline (why a build stopped) leads the
    // summary.
    void showReview(const PackReview &review, const QString &headline = {});
    // Reviews the project afresh.
    void refresh();
    const PackReview &review() const { return m_review; }

signals:
    void goToRequested(const tervelle::FindingPlace &place);
    // The Locate button; the list checks again once whoever answers has relinked.
    void locateMissingRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void activate(QTreeWidgetItem *item);
    void currentChanged();
    void projectChanged();

    QTreeWidget *lstFindings = nullptr;
    QLabel *lblSummary = nullptr;
    QLabel *lblFix = nullptr;
    QPushButton *cmdLocate = nullptr;
    QPushButton *cmdRefresh = nullptr;
    QPushButton *cmdClose = nullptr;

    const ProjectModel &m_project;
    const Settings &m_settings;
    PackReview m_review;
    QTimer *m_again = nullptr;
    QString m_headline;
};

} // namespace tervelle
