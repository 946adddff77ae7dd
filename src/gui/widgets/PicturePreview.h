#pragma once

#include <QFrame>
#include <QImage>

// The manager's picture view: paints its picture stretched over the whole view (the view's
// proportions, not the picture's) and reports the mouse gestures the manager acts on.
class PicturePreview final : public QFrame {
    Q_OBJECT
public:
    using QFrame::QFrame;

    // A null picture paints nothing.
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }
    // Keeps the mouse until its button is released, then reports HoldReleased.
    void HoldUntilRelease();

Q_SIGNALS:
    void DoubleClicked();
    void MenuRequested(const QPoint& globalPos);
    void HoldReleased();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    bool m_held = false;
};
