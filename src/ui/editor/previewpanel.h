#pragma once

#include "ui/editor/contentpanel.h"

class QLabel;
class QPlainTextEdit;
class QScrollArea;

namespace tervelle {

// `pnlPreview`: a picture in a scroll box, a text, or "No preview".
class PreviewPanel : public ContentPanel
{
    Q_OBJECT

public:
    explicit PreviewPanel(QWidget *parent);

    QLabel *lblNoPreview = nullptr;
    QScrollArea *sbPreview = nullptr;
    QLabel *imgPreview = nullptr;
    QPlainTextEdit *txtPreview = nullptr;

protected:
    void panelResize() override;
};

} // namespace tervelle
