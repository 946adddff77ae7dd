#include "widgets/FontScaling.h"

#include <QApplication>
#include <QLayout>
#include <QVariant>
#include <QWidget>

namespace {

constexpr char kScaleProperty[] = "marivaneDesktopFontScale";
// Qt's logical resolution: 96 pixels an inch, 72 points.
constexpr qreal kPixelsPerPoint = 96.0 / 72.0;

qreal PointSize(const QFont& font) {
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() / kPixelsPerPoint;
}

// The edges are scaled, not the size, so that controls that touch keep touching.
QRect Scaled(const QRect& rect, qreal factor) {
    const int left = qRound(rect.left() * factor);
    const int top = qRound(rect.top() * factor);
    return {left, top, qRound((rect.left() + rect.width()) * factor) - left,
            qRound((rect.top() + rect.height()) * factor) - top};
}

QSize Scaled(const QSize& size, qreal factor) {
    auto one = [factor](int length) {
        return length >= QWIDGETSIZE_MAX ? length : qRound(length * factor);
    };
    return {one(size.width()), one(size.height())};
}

void ScaleFont(QWidget* widget, qreal factor) {
    QFont font = widget->font();
    font.setPointSizeF(PointSize(font) * factor);
    widget->setFont(font);
}

// The controls of the design, not the parts Qt builds inside them (viewports, scroll bars,
// named "qt_..."), nor what a layout places, nor pop-ups.
bool IsDesignedControl(const QWidget* widget) {
    const QString name = widget->objectName();
    if (widget->isWindow() || name.isEmpty() || name.startsWith(QLatin1String("qt_")))
        return false;
    const QLayout* layout = widget->parentWidget()->layout();
    return !layout || layout->indexOf(widget) < 0;
}

struct Control {
    QWidget* widget;
    qreal points; // before scaling
};

void CollectControls(QWidget* parent, QList<Control>& controls) {
    for (QWidget* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!IsDesignedControl(child))
            continue;
        controls.append({child, PointSize(child->font())});
        CollectControls(child, controls);
    }
}

} // namespace

void ScaleToDesktopFont(QWidget* window) {
    const qreal factor = PointSize(QApplication::font()) / PointSize(window->font());
    if (!(factor > 1))
        return;
    window->setProperty(kScaleProperty, factor);
    QList<Control> controls;
    CollectControls(window, controls);
    ScaleFont(window, factor);
    // The limits first: a fixed-size window takes no size outside them.
    const QSize size = Scaled(window->size(), factor);
    window->setMaximumSize(Scaled(window->maximumSize(), factor));
    window->setMinimumSize(Scaled(window->minimumSize(), factor));
    window->resize(size);
    for (const Control& control : controls) {
        QWidget* widget = control.widget;
        // A control with a font or a style sheet of its own does not follow the window's font.
        if (!qFuzzyCompare(PointSize(widget->font()), control.points * factor)) {
            QFont font = widget->font();
            font.setPointSizeF(control.points * factor);
            widget->setFont(font);
        }
        widget->setMinimumSize(Scaled(widget->minimumSize(), factor));
        widget->setMaximumSize(Scaled(widget->maximumSize(), factor));
        widget->setGeometry(Scaled(widget->geometry(), factor));
    }
}

int DesignPixels(const QWidget* window, int pixels) {
    const QVariant factor = window->property(kScaleProperty);
    return factor.isValid() ? qRound(pixels * factor.toReal()) : pixels;
}
