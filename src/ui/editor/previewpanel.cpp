#include "ui/editor/previewpanel.h"

#include "core/langload.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollArea>

namespace tervelle {

PreviewPanel::PreviewPanel(QWidget *parent)
    : ContentPanel(QStringLiteral("pnlPreview"), QStringLiteral("lblPreview"), parent)
{
    setMinimumSize(150, 100);
    title()->setText(GetLangText(QStringLiteral("[lblPreview.Caption]")));
    lblNoPreview = new QLabel(GetLangText(QStringLiteral("[lblNoPreview.Caption]")), this);
    lblNoPreview->setObjectName(QStringLiteral("lblNoPreview"));
    lblNoPreview->setAlignment(Qt::AlignCenter);

    sbPreview = new QScrollArea(this);
    sbPreview->setObjectName(QStringLiteral("sbPreview"));
    // The picture stays centred while it is smaller than the box, at the top left when larger.
    sbPreview->setAlignment(Qt::AlignCenter);
    sbPreview->setWidgetResizable(false);
    imgPreview = new QLabel;
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    sbPreview->setWidget(imgPreview);
    sbPreview->hide();

    txtPreview = new QPlainTextEdit(this);
    txtPreview->setObjectName(QStringLiteral("txtPreview"));
    txtPreview->setReadOnly(true);
    txtPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    txtPreview->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtPreview->hide();
}

void PreviewPanel::panelResize()
{
    const int frame = frameWidth();
    const int top = MenuStripTop - 4;
    lblNoPreview->setGeometry(frame, top, width() - 2 * frame, height() - top - frame);
    for (QWidget *view : std::initializer_list<QWidget *>{sbPreview, txtPreview})
        view->setGeometry(8, MenuStripTop, width() - 16, height() - 31);
}

} // namespace tervelle
