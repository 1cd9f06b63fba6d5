#include "platform/UpDown.h"

#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

UpDown::UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent)
    : QWidget(parent), mBuddy(buddy), mUp(new QToolButton(this)), mDown(new QToolButton(this)),
      mMinimum(minimum), mMaximum(maximum), mPosition(position) {
    mUp->setArrowType(Qt::UpArrow);
    mDown->setArrowType(Qt::DownArrow);
    mUp->setAutoRepeat(true);
    mDown->setAutoRepeat(true);
    mUp->setFocusPolicy(Qt::NoFocus);
    mDown->setFocusPolicy(Qt::NoFocus);
    connect(mUp, &QToolButton::clicked, this, &UpDown::StepUp);
    connect(mDown, &QToolButton::clicked, this, &UpDown::StepDown);
    connect(buddy, &QLineEdit::textChanged, this, &UpDown::BuddyTextChanged);
    buddy->setText(QString::number(position));
}

void UpDown::SetPosition(int position) {
    position = std::clamp(position, mMinimum, mMaximum);
    mPosition = position;
    if (mBuddy && mBuddy->text() != QString::number(position)) {
        mBuddy->setText(QString::number(position));
    }
    emit PositionChanged(position);
}

void UpDown::StepUp() {
    if (mPosition < mMaximum) {
        SetPosition(mPosition + 1);
    }
}

void UpDown::StepDown() {
    if (mPosition > mMinimum) {
        SetPosition(mPosition - 1);
    }
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    mUp->setGeometry(0, 0, width(), half);
    mDown->setGeometry(0, half, width(), height() - half);
}

void UpDown::BuddyTextChanged(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value >= mMinimum && value <= mMaximum && value != mPosition) {
        mPosition = value;
        emit PositionChanged(value);
    }
}
