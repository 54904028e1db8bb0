#include "ui/editor/fileicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace tervelle {

namespace {

constexpr int Size = 16;
constexpr int ResourceImage = FileImageCount;

QPixmap blank()
{
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void drawGroup(QPainter &p, bool selected)
{
    // A box of files: the six fixed groups.
    const QColor body = selected ? QColor(70, 110, 190) : QColor(110, 130, 170);
    p.setPen(QColor(40, 50, 80));
    p.setBrush(body);
    p.drawRect(1, 5, 13, 9);
    p.setBrush(body.lighter(140));
    p.drawPolygon(QPolygon({QPoint(1, 5), QPoint(4, 2), QPoint(14, 2), QPoint(14, 5)}));
    p.setPen(Qt::white);
    p.drawLine(5, 9, 10, 9);
}

void drawFolder(QPainter &p, bool open)
{
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 90));
    p.drawRect(1, 4, 13, 10);
    p.drawRect(1, 2, 5, 2);
    if (open) {
        p.setBrush(QColor(255, 225, 130));
        p.drawPolygon(QPolygon({QPoint(3, 7), QPoint(15, 7), QPoint(13, 14), QPoint(1, 14)}));
    }
}

void drawPage(QPainter &p, const QColor &band, const QString &letter)
{
    QPainterPath page;
    page.moveTo(2.5, 0.5);
    page.lineTo(10.5, 0.5);
    page.lineTo(13.5, 3.5);
    page.lineTo(13.5, 15.5);
    page.lineTo(2.5, 15.5);
    page.closeSubpath();
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawPath(page);
    if (!band.isValid())
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRect(3, 7, 10, 8);
    QFont font = p.font();
    font.setPixelSize(8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(3, 7, 10, 8), Qt::AlignCenter, letter);
}

// Draws image `index` (12 for the resources list's page) in a 16 by 16 square.
void drawImage(QPainter &p, int index)
{
    switch (index) {
    case 0:
    case 1: drawGroup(p, index == 1); break;
    case 2:
    case 3: drawFolder(p, index == 3); break;
    case 4: drawPage(p, QColor(), QString()); break;
    case 5:
        drawPage(p, QColor(40, 140, 60), QStringLiteral("M")); // map
        break;
    case 6:
        drawPage(p, QColor(120, 90, 50), QStringLiteral("H")); // height map
        break;
    case 7:
        drawPage(p, QColor(200, 80, 40), QStringLiteral("I")); // level icon
        break;
    case 8:
        drawPage(p, QColor(150, 60, 160), QStringLiteral("T")); // texture list
        break;
    case 9:
        drawPage(p, QColor(30, 90, 200), QStringLiteral("L")); // Lua script
        break;
    case 10:
        drawPage(p, QColor(0, 140, 150), QStringLiteral("W")); // information page
        break;
    case 11:
        drawPage(p, QColor(190, 40, 60), QStringLiteral("P")); // map list
        break;
    case ResourceImage: drawPage(p, QColor(110, 110, 110), QStringLiteral("+")); break;
    default: break;
    }
}

QPixmap makeImage(int index)
{
    QPixmap pixmap = blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    drawImage(p, index);
    return pixmap;
}

// The images are drawn, not scaled, for each size and screen scale they are shown at, so they
// stay sharp at 150 % and 200 %.
class DrawnIconEngine : public QIconEngine
{
public:
    DrawnIconEngine(int normal, int selected) : m_normal(normal), m_selected(selected) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        painter->translate(rect.topLeft());
        const qreal scale = qreal(rect.width()) / Size;
        painter->scale(scale, qreal(rect.height()) / Size);
        // Whole-pixel scales keep the crisp lines of the 16-pixel drawing; others are smoothed.
        painter->setRenderHint(QPainter::Antialiasing, scale != qRound(scale));
        drawImage(*painter, mode == QIcon::Selected ? m_selected : m_normal);
        painter->restore();
    }

    // Qt asks with the size in device pixels for a scaled screen.
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, pixmap.rect(), mode, state);
        return pixmap;
    }

    QSize actualSize(const QSize &size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine *clone() const override { return new DrawnIconEngine(m_normal, m_selected); }

private:
    int m_normal;
    int m_selected;
};

} // namespace

QPixmap fileImage(int index)
{
    if (index < 0 || index >= FileImageCount)
        return QPixmap();
    // Each image drawn when first asked for: a new project shows only the groups, and drawing the
    // lettered pages loads a font of their own.
    static std::array<QPixmap, FileImageCount> made;
    QPixmap &image = made[std::size_t(index)];
    if (image.isNull())
        image = makeImage(index);
    return image;
}

QIcon treeNodeIcon(int imageIndex, int selectedIndex)
{
    if (imageIndex < 0 || imageIndex >= FileImageCount)
        return QIcon();
    if (selectedIndex < 0 || selectedIndex >= FileImageCount)
        selectedIndex = imageIndex;
    // One icon per pair, made once: the tree asks for one for every row it paints.
    static std::array<QIcon, FileImageCount * FileImageCount> made;
    QIcon &icon = made[std::size_t(imageIndex) * FileImageCount + std::size_t(selectedIndex)];
    if (icon.isNull())
        icon = QIcon(new DrawnIconEngine(imageIndex, selectedIndex));
    return icon;
}

QIcon resourceIcon()
{
    static const QIcon icon(new DrawnIconEngine(ResourceImage, ResourceImage));
    return icon;
}

} // namespace tervelle
