#include "TestSupport.h"
#include "creation/frmCreator.h"

#include <QApplication>
#include <QMap>
#include <QtTest>
#include <cmath>

// The windows follow a desktop font larger than their own, and only a larger one.
class tst_FontScaling : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void followsLargerDesktopFont_data();
    void followsLargerDesktopFont();

private:
    struct Layout {
        QSize size;
        qreal points = 0;
        QMap<QString, QRect> controls;
        QMap<QString, qreal> fonts;
    };
    static Layout CreatorAt(qreal desktopPoints);

    TestHome m_home;
    MessageRecorder m_messages;
};

tst_FontScaling::Layout tst_FontScaling::CreatorAt(qreal desktopPoints) {
    const QFont before = QApplication::font();
    QFont desktop = before;
    desktop.setPointSizeF(desktopPoints);
    QApplication::setFont(desktop);
    Layout layout;
    {
        frmCreator creator;
        layout.size = creator.size();
        layout.points = creator.font().pointSizeF();
        for (const QWidget* control : creator.findChildren<QWidget*>()) {
            if (!control->objectName().isEmpty() &&
                !control->objectName().startsWith(QLatin1String("qt_"))) {
                layout.controls.insert(control->objectName(), control->geometry());
                layout.fonts.insert(control->objectName(), control->font().pointSizeF());
            }
        }
    }
    QApplication::setFont(before);
    return layout;
}

void tst_FontScaling::followsLargerDesktopFont_data() {
    QTest::addColumn<qreal>("desktopPoints");
    QTest::addColumn<qreal>("factor");
    QTest::newRow("default 9 pt") << 9.0 << 1.0;
    QTest::newRow("smaller 7 pt") << 7.0 << 1.0;
    QTest::newRow("14 pt") << 14.0 << 14.0 / 9.0;
}

void tst_FontScaling::followsLargerDesktopFont() {
    QFETCH(qreal, desktopPoints);
    QFETCH(qreal, factor);
    const Layout design = CreatorAt(9);
    // The window as drawn: 385 x 277 pixels in the 9 pt frame font.
    QCOMPARE(design.size, QSize(385, 277));
    QCOMPARE(design.points, 9.0);
    const Layout shown = CreatorAt(desktopPoints);
    QCOMPARE(shown.points, 9.0 * factor);
    QCOMPARE(shown.controls.keys(), design.controls.keys());
    auto near = [](int got, double wanted) {
        return std::abs(got - wanted) <= 1.0;
    };
    QVERIFY(near(shown.size.width(), design.size.width() * factor));
    QVERIFY(near(shown.size.height(), design.size.height() * factor));
    for (auto it = design.controls.cbegin(); it != design.controls.cend(); ++it) {
        const QRect got = shown.controls.value(it.key());
        const QRect was = it.value();
        // Boxes with a style sheet of their own too.
        QVERIFY2(qFuzzyCompare(shown.fonts.value(it.key()), 9.0 * factor), qPrintable(it.key()));
        if (factor == 1.0) {
            QCOMPARE(got, was); // not a pixel moved
            continue;
        }
        QVERIFY2(near(got.x(), was.x() * factor) && near(got.y(), was.y() * factor) &&
                     near(got.width(), was.width() * factor) &&
                     near(got.height(), was.height() * factor),
                 qPrintable(it.key()));
    }
}

QTEST_MAIN(tst_FontScaling)
#include "tst_FontScaling.moc"
