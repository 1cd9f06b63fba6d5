#include "platform/Anchors.h"

#include <QEvent>
#include <QResizeEvent>

AnchorLayout::AnchorLayout(QWidget* parent, QSize designSize)
    : QObject(parent), mParent(parent), mDesignSize(designSize) {
    parent->installEventFilter(this);
}

void AnchorLayout::Place(QWidget* control, const QRect& geometry, unsigned anchors) {
    mEntries.push_back({control, geometry, anchors});
    Apply(mEntries.back(), mParent->size());
}

bool AnchorLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mParent && event->type() == QEvent::Resize) {
        const QSize size = static_cast<QResizeEvent*>(event)->size();
        for (const Entry& entry : mEntries) {
            Apply(entry, size);
        }
    }
    return QObject::eventFilter(watched, event);
}

void AnchorLayout::Apply(const Entry& entry, QSize parentSize) const {
    if (!entry.control) {
        return;
    }
    const int dw = parentSize.width() - mDesignSize.width();
    const int dh = parentSize.height() - mDesignSize.height();
    QRect r = entry.designed;
    const bool left = entry.anchors & AnchorLeft;
    const bool right = entry.anchors & AnchorRight;
    const bool top = entry.anchors & AnchorTop;
    const bool bottom = entry.anchors & AnchorBottom;
    if (right && left) {
        r.setWidth(std::max(0, r.width() + dw));
    } else if (right) {
        r.moveLeft(r.left() + dw);
    }
    if (bottom && top) {
        r.setHeight(std::max(0, r.height() + dh));
    } else if (bottom) {
        r.moveTop(r.top() + dh);
    }
    entry.control->setGeometry(r);
}
