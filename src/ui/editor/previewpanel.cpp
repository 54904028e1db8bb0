#include "ui/editor/previewpanel.h"

#include "core/errors.h"
#include "core/langload.h"
#include "project/filetree.h"
#include "project/previewkind.h"

#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScrollArea>

namespace tervelle {

PreviewPanel::PreviewPanel(QWidget *parent)
    : ContentPanel(QStringLiteral("pnlPreview"), QStringLiteral("lblPreview"), parent)
{
    setMinimumSize(150, 100);
    title()->setText(lang(LangKey::lblPreview_Caption));
    lblNoPreview = new QLabel(lang(LangKey::lblNoPreview_Caption), this);
    lblNoPreview->setObjectName(QStringLiteral("lblNoPreview"));
    lblNoPreview->setAlignment(Qt::AlignCenter);
    lblNoPreview->setAutoFillBackground(true);

    sbPreview = new QScrollArea(this);
    sbPreview->setObjectName(QStringLiteral("sbPreview"));
    // The picture stays centred while it is smaller than the box, at the top left when larger.
    sbPreview->setAlignment(Qt::AlignCenter);
    sbPreview->setWidgetResizable(false);
    imgPreview = new QLabel;
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setScaledContents(false);
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

void PreviewPanel::showNone()
{
    m_shown = nullptr;
    // Showing the label, still without a place of its own, would size it to its text first.
    if (m_showsNone)
        return;
    m_showsNone = true;
    sbPreview->hide();
    txtPreview->hide();
    txtPreview->clear();
    imgPreview->clear();
    imgPreview->resize(0, 0);
    lblNoPreview->show();
}

void PreviewPanel::UpdatePreview(const TreeNode *node)
{
    switch (previewKindFor(node)) {
    case PreviewKind::Picture:
        m_showsNone = false;
        lblNoPreview->hide();
        txtPreview->hide();
        txtPreview->clear();
        sbPreview->show();
        if (!DrawTgaOnImage(node->Info().Path, imgPreview, sbPreview)) {
            showNone();
            return;
        }
        break;
    case PreviewKind::Text:
        try {
            const QStringList lines = readPreviewText(node->Info().Path);
            m_showsNone = false;
            sbPreview->hide();
            imgPreview->clear();
            lblNoPreview->hide();
            txtPreview->setPlainText(lines.join(QLatin1Char('\n')));
            txtPreview->show();
        } catch (const UserError &) {
            // An unreadable text has no preview; the panel is no place for a message box.
            showNone();
            return;
        }
        break;
    case PreviewKind::None: showNone(); return;
    }
    m_shown = node;
}

void PreviewPanel::nodeAboutToBeRemoved(const TreeNode *removed)
{
    for (const TreeNode *node = m_shown; node; node = node->parent()) {
        if (node == removed) {
            showNone();
            return;
        }
    }
}

bool PreviewPanel::DrawTgaOnImage(const QString &path, QLabel *view, QScrollArea *box)
{
    view->clear();
    const std::optional<QImage> picture = readPreviewPicture(path);
    if (!picture) {
        view->resize(0, 0);
        return false;
    }
    view->setPixmap(QPixmap::fromImage(*picture));
    view->resize(picture->size());
    // The box centres a smaller picture and scrolls a larger one from its top left.
    box->ensureVisible(0, 0);
    return true;
}

} // namespace tervelle
