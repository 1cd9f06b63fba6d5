#pragma once

#include <QPointer>
#include <QWidget>

#include <QLineEdit>
class QToolButton;

// A pair of arrows attached to an edit (its buddy). The position is the last
// value the edit held that lay within the range; the arrows step it and write
// it into the edit, and the edit's own text changes move it when they are
// valid numbers.
class UpDown : public QWidget {
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int minimum, int maximum, int position, QWidget* parent);

    int Position() const { return mPosition; }
    // Sets the position, held within the range, and writes it into the edit.
    void SetPosition(int position);
    QLineEdit* Buddy() const { return mBuddy; }
    int Minimum() const { return mMinimum; }
    int Maximum() const { return mMaximum; }

    void StepUp();
    void StepDown();

signals:
    void PositionChanged(int position);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuddyTextChanged(const QString& text);

    QPointer<QLineEdit> mBuddy;
    QToolButton* mUp;
    QToolButton* mDown;
    int mMinimum;
    int mMaximum;
    int mPosition;
};
