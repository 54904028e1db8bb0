#pragma once

#include <QSplitter>

namespace tervelle {

// The window's splitters: 4-pixel bars that drag as a line and move on release, never collapse
// a panel below its minimum size, and are painted as plain panel colour. The last panel takes
// what the splitter gains or loses, so the others keep the sizes asked for and get them back
// when a window made small grows again.
class PanelSplitter : public QSplitter
{
    Q_OBJECT

public:
    PanelSplitter(const QString &name, Qt::Orientation orientation, QWidget *parent);

    // Names the bar between panel `index` - 1 and panel `index`.
    void nameBar(int index, const QString &name);
    // The sizes asked for, the last panel's ignored: it takes the rest.
    void askSizes(QList<int> sizes);
    // The sizes of saveState(); false for a state this splitter cannot take, or whose sizes
    // no screen could show.
    bool restoreLayout(const QByteArray &state);
    // The largest size a panel may be asked for along this splitter: the desktop's extent.
    int largestSize() const;

    static constexpr int Thickness = 4;

protected:
    QSplitterHandle *createHandle() override;

private:
    void keepBehaviour();

    // What saveState() writes first: QSplitter's marker and the newest version it reads.
    static constexpr qint32 StateMarker = 0xff;
    static constexpr qint32 StateVersion = 1;
};

} // namespace tervelle
