#pragma once

#include <QImage>
#include <QWidget>

// Shows a picture at its natural size, top-left aligned, with an optional
// overlay drawn over it (a transparent image of the same size), and reports
// mouse presses, moves and releases with the position in picture pixels. The
// second press of a double click is reported as a press too.
class ImageBox : public QWidget {
    Q_OBJECT
public:
    ImageBox(int width, int height, QWidget* parent = nullptr);

    QImage& Picture() { return picture_; }
    const QImage& Picture() const { return picture_; }
    void SetPicture(const QImage& picture);
    // Call after painting into Picture() directly.
    void PictureChanged() { update(); }
    // What is drawn over the picture; a null image draws nothing. The
    // picture itself is never changed by it.
    const QImage& Overlay() const { return overlay_; }
    void SetOverlay(const QImage& overlay);

signals:
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    QImage overlay_;
};
