#pragma once

#include <QMainWindow>

namespace tervelle {

class ProjectModel;

// The editor's main window. It owns the project; the panels bind to the project's signals.
class TfrmEditor : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfrmEditor(QWidget *parent = nullptr);
    ~TfrmEditor() override;

    ProjectModel &project() const { return *m_project; }

    void NewFile();
    void UpdateProjectCaption();

private:
    void FormCreate();
    void FormDestroy();

    ProjectModel *m_project = nullptr;
};

} // namespace tervelle
