#include "ui/editor/panelsplitter.h"

#include <QDataStream>
#include <QGuiApplication>
#include <QScreen>
#include <QSplitterHandle>

namespace tervelle {

namespace {

// The style would draw a grip on the bar; the window's bars are plain.
class PlainHandle : public QSplitterHandle
{
public:
    using QSplitterHandle::QSplitterHandle;

protected:
    void paintEvent(QPaintEvent *) override {}
};

} // namespace

PanelSplitter::PanelSplitter(const QString &name, Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent)
{
    setObjectName(name);
    keepBehaviour();
    // A dragged bar leaves the last panel at what it had.
    connect(this, &QSplitter::splitterMoved, this, [this] { askSizes(sizes()); });
}

void PanelSplitter::keepBehaviour()
{
    // Set again, the same width would lay the splitter out again.
    if (handleWidth() != Thickness)
        setHandleWidth(Thickness);
    setOpaqueResize(false);
    setChildrenCollapsible(false);
    for (int i = 0; i < count(); ++i)
        setStretchFactor(i, i == count() - 1 ? 1 : 0);
}

QSplitterHandle *PanelSplitter::createHandle()
{
    auto *handle = new PlainHandle(orientation(), this);
    handle->setAutoFillBackground(true);
    return handle;
}

void PanelSplitter::nameBar(int index, const QString &name)
{
    handle(index)->setObjectName(name);
}

void PanelSplitter::askSizes(QList<int> sizes)
{
    keepBehaviour();
    // Asked for nothing, the last panel gets its minimum plus whatever is left over.
    if (!sizes.isEmpty())
        sizes.last() = 0;
    setSizes(sizes);
}

int PanelSplitter::largestSize() const
{
    const QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!shown)
        return QWIDGETSIZE_MAX;
    const QRect desktop = shown->virtualGeometry();
    return orientation() == Qt::Horizontal ? desktop.width() : desktop.height();
}

bool PanelSplitter::restoreLayout(const QByteArray &state)
{
    // A damaged state could name more sizes than memory holds: only one with a size for each
    // panel is taken. It starts with a marker, a version and the number of sizes.
    if (state.size() < 12 || state.size() > 256)
        return false;
    QDataStream in(state);
    qint32 marker = 0;
    qint32 version = 0;
    quint32 stored = 0;
    in >> marker >> version >> stored;
    if (marker != StateMarker || version < 0 || version > StateVersion || stored != quint32(count()))
        return false;
    // A size past the desktop leaves the window blank, and would be written back as it was.
    const int largest = largestSize();
    QList<int> sizes;
    for (quint32 i = 0; i < stored; ++i) {
        qint32 size = -1;
        in >> size;
        if (in.status() != QDataStream::Ok || size < 0 || size > largest)
            return false;
        sizes.append(size);
    }
    // Only the sizes: the rest of the state says how the bars behave and which way they run, and
    // those stay ours. Restoring it whole would lay the splitter out once more for each.
    keepBehaviour();
    setSizes(sizes);
    return true;
}

} // namespace tervelle
