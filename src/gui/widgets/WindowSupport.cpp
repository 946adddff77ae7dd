#include "widgets/WindowSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QImageReader>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

void zsCenterFormEx(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    const QSize size =
        window->frameSize().isValid() && window->isVisible() ? window->frameSize() : window->size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}

void zsSetFrameFont(QWidget* window) {
    QFont tahoma(QStringLiteral("Tahoma"), 9);
    // Without Tahoma, a face of about its width keeps the captions inside their controls.
    tahoma.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"),
                        QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    tahoma.setStyleHint(QFont::SansSerif);
    window->setFont(tahoma);
}

namespace {

// The icon group: a small and a large image. Read as PNG outright: finding out the format
// loaded every image plugin of the system at start-up.
QIcon ResourceIcon(const QString& resourceName) {
    QIcon icon;
    for (const char* size : {"16", "32"}) {
        QImageReader reader(QStringLiteral(":/icons/") + resourceName + QLatin1Char('-') +
                                QLatin1String(size) + QStringLiteral(".png"),
                            "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
    }
    return icon;
}

} // namespace

void zsSetWindowResIconAll(QWidget* window, const QString& resourceName) {
    window->setWindowIcon(ResourceIcon(resourceName));
}

void zsSetApplicationIcon(const QString& resourceName) {
    QApplication::setWindowIcon(ResourceIcon(resourceName));
}

void zsRegisterAppPath() {
    // Remembers where the program was last started from, for tools that look for it. Written
    // only when it moved: a durable write at every start held up the first frame.
    QSettings paths(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Velmora"),
                    QStringLiteral("AppPaths"));
    const QString key = QStringLiteral("Marivane");
    const QString path = QCoreApplication::applicationFilePath();
    if (paths.value(key).toString() != path)
        paths.setValue(key, path);
}

void PaintWindowBackground(QWidget* window, QPainter& painter) {
    const QRect area = window->rect();
    QLinearGradient gradient(area.topLeft(), area.bottomLeft());
    const QColor face = window->palette().color(QPalette::Window);
    gradient.setColorAt(0.0, face.lighter(108));
    gradient.setColorAt(1.0, face.darker(104));
    painter.fillRect(area, gradient);
}

void zsHighlightText(QWidget* textBox) {
    if (auto* line = qobject_cast<QLineEdit*>(textBox))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(textBox))
        plain->selectAll();
    else if (auto* rich = qobject_cast<QTextEdit*>(textBox))
        rich->selectAll();
}

void HighlightOnFocus(QObject* owner, const QList<QWidget*>& textBoxes) {
    QObject::connect(qApp, &QApplication::focusChanged, owner, [textBoxes](QWidget*, QWidget* now) {
        // Once the focus has settled, or the click that gave it would undo the selection.
        if (textBoxes.contains(now))
            QTimer::singleShot(0, now, [now] { zsHighlightText(now); });
    });
}

void zsUnloadForm(QWidget* window) {
    QTimer::singleShot(0, window, [window] { window->close(); });
}

QString GetBoxText(const QWidget* textBox) {
    if (auto* line = qobject_cast<const QLineEdit*>(textBox))
        return line->text();
    if (auto* plain = qobject_cast<const QPlainTextEdit*>(textBox)) {
        // The raw text, since toPlainText turns U+00A0 into a blank. Every line break the box
        // shows is one of these, however it was typed, pasted or stored.
        static const QRegularExpression lineBreak(
            QStringLiteral("\\r\\n|[\\r\\n\\x{2028}\\x{2029}]"));
        return plain->document()->toRawText().replace(lineBreak, QStringLiteral("\r\n"));
    }
    return {};
}

void SetBoxText(QWidget* textBox, const QString& text) {
    if (auto* line = qobject_cast<QLineEdit*>(textBox)) {
        line->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(textBox)) {
        QString shown = text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        plain->setPlainText(shown);
    }
}
