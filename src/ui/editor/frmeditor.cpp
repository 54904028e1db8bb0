#include "ui/editor/frmeditor.h"

#include "core/common.h"
#include "core/langload.h"
#include "project/projectmodel.h"

namespace tervelle {

TfrmEditor::TfrmEditor(QWidget *parent) : QMainWindow(parent), m_project(new ProjectModel(Common, this))
{
    setObjectName(QStringLiteral("frmEditor"));
    connect(m_project, &ProjectModel::headerChanged, this, &TfrmEditor::UpdateProjectCaption);
    connect(m_project, &ProjectModel::projectReset, this, &TfrmEditor::UpdateProjectCaption);
    FormCreate();
}

TfrmEditor::~TfrmEditor()
{
    FormDestroy();
}

void TfrmEditor::FormCreate()
{
    LoadSettings();
    setWindowTitle(GetLangText(QStringLiteral("[frmEditor.Caption]")));
    resize(746, 706);
    setMinimumHeight(608);
    NewFile();
}

void TfrmEditor::FormDestroy()
{
    SaveSettings();
}

void TfrmEditor::NewFile()
{
    m_project->NewFile();
}

void TfrmEditor::UpdateProjectCaption()
{
    const QString title = m_project->packTitle();
    QString caption;
    if (m_project->ProjectFileName.isEmpty()) {
        caption = GetLangText(QStringLiteral("[frmEditor.ProjectCaption]"));
        caption.replace(QStringLiteral("/p"), title);
    } else {
        caption = GetLangText(QStringLiteral("[frmEditor.ProjectFullCaption]"));
        caption.replace(QStringLiteral("/p"), title);
        caption.replace(QStringLiteral("/f"), m_project->ProjectFileName);
    }
    setWindowTitle(caption);
}

} // namespace tervelle
