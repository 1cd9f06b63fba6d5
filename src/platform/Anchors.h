#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// The window is laid out in fixed pixel positions. A control keeps its
// distance to the edges it is anchored to when its parent is resized; a
// control anchored both left and right (or top and bottom) stretches.
enum Anchor : unsigned {
    AnchorLeft = 1,
    AnchorTop = 2,
    AnchorRight = 4,
    AnchorBottom = 8,
    AnchorTopLeft = AnchorLeft | AnchorTop,
    AnchorAll = AnchorLeft | AnchorTop | AnchorRight | AnchorBottom,
};

class AnchorLayout : public QObject {
    Q_OBJECT
public:
    // Watches `parent` for resizes; the parent's size now is the size the
    // controls' positions were designed for.
    explicit AnchorLayout(QWidget* parent, QSize designSize);

    // Places `control` at `geometry` (relative to the designed parent size)
    // and keeps it anchored from now on.
    void Place(QWidget* control, const QRect& geometry, unsigned anchors = AnchorTopLeft);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> control;
        QRect designed;
        unsigned anchors;
    };
    void Apply(const Entry& entry, QSize parentSize) const;

    QWidget* mParent;
    QSize mDesignSize;
    std::vector<Entry> mEntries;
};
