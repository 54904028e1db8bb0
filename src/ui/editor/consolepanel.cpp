#include "ui/editor/consolepanel.h"

#include "core/langload.h"
#include "ui/editor/contentpanel.h"

#include <QFontDatabase>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>

namespace tervelle {

ConsolePanel::ConsolePanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("pnlCompile"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setLineWidth(2);
    setAutoFillBackground(true);
    lblCompile = new QLabel(GetLangText(QStringLiteral("[lblCompile.Caption]")), this);
    lblCompile->setObjectName(QStringLiteral("lblCompile"));
    lblCompile->setAlignment(Qt::AlignCenter);
    lblCompile->setAutoFillBackground(true);

    lstCompile = new QPlainTextEdit(this);
    lstCompile->setObjectName(QStringLiteral("lstCompile"));
    lstCompile->setReadOnly(true);
    lstCompile->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont courier(QStringLiteral("Courier New"), 8);
    courier.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(courier).fixedPitch())
        courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    lstCompile->setFont(courier);
    lstCompile->setAccessibleName(lblCompile->text());

    pmnuCompile = new QMenu(this);
    pmnuCompile->setObjectName(QStringLiteral("pmnuCompile"));
    mnuCompileSaveToFile = addMenuItem(pmnuCompile, QStringLiteral("mnuCompileSaveToFile"), "[mnuCompile.SaveToFile.Caption]");
    mnuCompileClear = addMenuItem(pmnuCompile, QStringLiteral("mnuCompileClear"), "[mnuCompile.Clear.Caption]");
    lstCompile->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lstCompile, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { pmnuCompile->popup(lstCompile->mapToGlobal(at)); });
    resize(width(), DefaultHeight);
    hide();
}

void ConsolePanel::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    pnlCompileResize();
}

void ConsolePanel::pnlCompileResize()
{
    const int frame = frameWidth();
    lblCompile->setGeometry(frame, frame, width() - 2 * frame, ContentPanel::MenuStripTop - 4 - frame);
    lstCompile->setGeometry(8, 24, width() - 16, height() - 32);
}

} // namespace tervelle
