#include "ui/editor/tilecombo.h"

#include "image/texturetiles.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace tervelle {

namespace {
constexpr int ItemHeight = 66;
constexpr int TextLeft = 66;
constexpr int TextTop = 33;
constexpr int ComboHeight = 72;
constexpr int VisibleItems = 6;
} // namespace

void cmbPropertiesTgaDrawItem(QPainter &painter, TextureTiles &tiles, int index, const QString &text, const QRect &rect,
                              bool selected, const QPalette &palette)
{
    painter.fillRect(rect, palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    if (index >= 0 && index < tiles.count()) {
        const QImage thumbnail = tiles.thumbnail(index);
        if (!thumbnail.isNull())
            painter.drawImage(QRect(rect.left() + 1, rect.top() + 1, ThumbnailSide, ThumbnailSide), thumbnail);
    }
    painter.setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    const QRect textRect(rect.left() + TextLeft, rect.top() + TextTop, std::max(0, rect.width() - TextLeft),
                         std::max(0, rect.height() - TextTop));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

TileItemDelegate::TileItemDelegate(TextureTiles &tiles, QObject *parent) : QStyledItemDelegate(parent), m_tiles(tiles)
{}

void TileItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    painter->save();
    cmbPropertiesTgaDrawItem(*painter, m_tiles, index.row(), index.data().toString(), option.rect,
                             option.state & QStyle::State_Selected, option.palette);
    painter->restore();
}

QSize TileItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &) const
{
    return {std::max(option.rect.width(), TextLeft + 40), ItemHeight};
}

TileCombo::TileCombo(TextureTiles &tiles, QWidget *parent) : QComboBox(parent), m_tiles(tiles)
{
    setObjectName(QStringLiteral("cmbPropertiesTga"));
    setFixedHeight(ComboHeight);
    setMaxVisibleItems(VisibleItems);
    // A plain list keeps the six-item drop-down in every style.
    setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    view()->setItemDelegate(new TileItemDelegate(tiles, this));
    fill();
}

void TileCombo::fill()
{
    const QSignalBlocker quiet(this);
    const QString current = currentText();
    clear();
    addItems(tileNames());
    setCurrentIndex(findText(current, Qt::MatchFixedString));
}

void TileCombo::paintEvent(QPaintEvent *)
{
    // The closed box shows the chosen tile as the list draws it, beside the drop-down arrow.
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    cmbPropertiesTgaDrawItem(painter, m_tiles, currentIndex(), currentText(), field, false, palette());
}

} // namespace tervelle
