#include "platform/CircleShape.h"

#include <QPainter>

CircleShape::CircleShape(QWidget* parent) : QWidget(parent) {}

void CircleShape::SetBrushColor(int color) {
    if (color != mColor) {
        mColor = color;
        update();
    }
}

void CircleShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(QColor(mColor & 0xFF, (mColor >> 8) & 0xFF, (mColor >> 16) & 0xFF));
    const int side = std::min(width(), height()) - 1;
    painter.drawEllipse(QRect((width() - side) / 2, (height() - side) / 2, side, side));
}
