#include "widgets/PicturePreview.h"

#include <QMouseEvent>
#include <QPainter>

void PicturePreview::SetPicture(const QImage& picture) {
    m_picture = picture;
    update();
}

void PicturePreview::HoldUntilRelease() {
    m_held = true;
    grabMouse();
}

void PicturePreview::paintEvent(QPaintEvent* event) {
    if (!m_picture.isNull()) {
        QPainter painter(this);
        painter.drawImage(rect(), m_picture);
    }
    QFrame::paintEvent(event);
}

void PicturePreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        Q_EMIT MenuRequested(event->globalPosition().toPoint());
        return;
    }
    QFrame::mousePressEvent(event);
}

void PicturePreview::mouseDoubleClickEvent(QMouseEvent*) {
    Q_EMIT DoubleClicked();
}

void PicturePreview::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_held) {
        QFrame::mouseReleaseEvent(event);
        return;
    }
    m_held = false;
    releaseMouse();
    Q_EMIT HoldReleased();
}
