#pragma once

#include <QWidget>

#include "core/Color.h"

// A rectangle or ellipse filled with a brush colour, used as a colour swatch
// (Tag selects the colour role) or as an outline with a clear brush.
class ShapeSwatch : public QWidget {
    Q_OBJECT
public:
    enum class Shape { Rectangle, Ellipse };

    explicit ShapeSwatch(QWidget* parent = nullptr);

    int Tag = 0;

    Color BrushColor() const { return brush_; }
    void SetBrushColor(Color color);
    void SetBrushClear(bool clear);
    void SetPen(Color color, int width);
    void SetShape(Shape shape);

signals:
    void mousePressed(ShapeSwatch* shape, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Color brush_ = 0x000000;
    Color pen_ = 0x000000;
    int penWidth_ = 1;
    bool clear_ = false;
    Shape shape_ = Shape::Rectangle;
};
