#pragma once

#include <QWidget>

// A filled circle, the status lamp of an output. Colours are the dialler
// program's 24-bit values with blue in the high byte and red in the low byte
// (255 red, 65280 green, 16777215 white).
class CircleShape : public QWidget {
    Q_OBJECT
public:
    static constexpr int White = 16777215;

    explicit CircleShape(QWidget* parent = nullptr);

    int BrushColor() const { return mColor; }
    void SetBrushColor(int color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int mColor = White;
};
