#pragma once

#include <QComboBox>
#include <QStyledItemDelegate>

namespace tervelle {

class TextureTiles;

// Draws one item of the tile list: the thumbnail stretched into 64 x 64 at (1, 1) and the name
// with its top-left at (66, 33); a tile without a picture shows its name only.
void cmbPropertiesTgaDrawItem(QPainter &painter, TextureTiles &tiles, int index, const QString &text, const QRect &rect,
                              bool selected, const QPalette &palette);

// The dropped-down items of the tile list, 66 pixels high.
class TileItemDelegate : public QStyledItemDelegate
{
public:
    TileItemDelegate(TextureTiles &tiles, QObject *parent);
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TextureTiles &m_tiles;
};

// `cmbPropertiesTga`: the 320 texture tiles with their thumbnails, 72 pixels high, six items
// shown when dropped down. Thumbnails come from the tile cache as items are drawn.
class TileCombo : public QComboBox
{
    Q_OBJECT

public:
    TileCombo(TextureTiles &tiles, QWidget *parent);
    // The 320 names afresh, after the textures folder changed.
    void fill();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TextureTiles &m_tiles;
};

} // namespace tervelle
