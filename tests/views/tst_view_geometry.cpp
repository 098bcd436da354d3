#include "views/GridGeometry.h"
#include "views/WindowPlacement.h"

#include <QRect>
#include <QTest>

#include <array>

// The geometry of the grids and where the account windows open, as plain
// figures, checked without a window.
class tst_ViewGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void gridExtent();
    void cellTextX_data();
    void cellTextX();
    void monthCardPosition_data();
    void monthCardPosition();
    void chargeDetailTop_data();
    void chargeDetailTop();
};

void tst_ViewGeometry::gridExtent()
{
    // Each row and column carries a one-pixel line; the border adds 4 in height, 2 in width.
    const std::array<int, 7> documents{30, 100, 110, 110, 110, 110, 250};
    QCOMPARE(GridGeometry::Height(3), 3 * 21 + 4);
    QCOMPARE(GridGeometry::Height(0), 4);
    QCOMPARE(GridGeometry::Width(documents), 820 + 7 + 2);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 0), 0);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 4), 31 + 101 + 111 + 111);
    QCOMPARE(GridGeometry::ColumnOffset(documents, 5), 31 + 101 + 111 + 111 + 111);
}

void tst_ViewGeometry::cellTextX_data()
{
    using GridGeometry::Align;
    QTest::addColumn<int>("align");
    QTest::addColumn<int>("textWidth");
    QTest::addColumn<int>("x");
    // A cell at 100, 110 wide.
    QTest::newRow("left: 2 px margin") << int(Align::Left) << 40 << 102;
    QTest::newRow("right: 4 px margin") << int(Align::Right) << 40 << 100 + 110 - 40 - 4;
    QTest::newRow("right, too wide: kept in the cell") << int(Align::Right) << 150 << 100;
    QTest::newRow("centred, odd remainder rounded toward zero") << int(Align::Centre) << 41 << 100 + 34;
    QTest::newRow("centred, too wide: kept in the cell") << int(Align::Centre) << 130 << 100;
}

void tst_ViewGeometry::cellTextX()
{
    QFETCH(int, align);
    QFETCH(int, textWidth);
    QFETCH(int, x);
    QCOMPARE(GridGeometry::TextX(GridGeometry::Align(align), 100, 110, textWidth), x);
    QCOMPARE(GridGeometry::TextY(40, 20, 15), 42);
}

void tst_ViewGeometry::monthCardPosition_data()
{
    QTest::addColumn<QPoint>("owner");
    QTest::addColumn<QRect>("screen");
    QTest::addColumn<int>("width");
    QTest::addColumn<QPoint>("expected");
    const QRect screen(0, 0, 1600, 1000);
    QTest::newRow("down and right by one step") << QPoint(100, 50) << screen << 869 << QPoint(125, 75);
    QTest::newRow("exactly at the right edge") << QPoint(706, 50) << screen << 869 << QPoint(731, 75);
    QTest::newRow("one pixel past: centred") << QPoint(707, 50) << screen << 869 << QPoint(365, 75);
    QTest::newRow("wider than the screen: centred, rounded toward zero")
        << QPoint(0, 0) << QRect(0, 0, 800, 600) << 869 << QPoint(-34, 25);
    QTest::newRow("second screen") << QPoint(2400, 10) << QRect(1600, 0, 1280, 1024) << 869 << QPoint(1600 + 205, 35);
}

void tst_ViewGeometry::monthCardPosition()
{
    QFETCH(QPoint, owner);
    QFETCH(QRect, screen);
    QFETCH(int, width);
    QFETCH(QPoint, expected);
    QCOMPARE(MonthCardPosition(owner, 25, screen, width), expected);
}

void tst_ViewGeometry::chargeDetailTop_data()
{
    QTest::addColumn<int>("anchorY");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expected");
    // Screen 1000 high, rows 20 high.
    QTest::newRow("fits below the row") << 300 << 500 << 300;
    QTest::newRow("bottom exactly at the screen's edge") << 500 << 500 << 500;
    QTest::newRow("one pixel below: above the row") << 601 << 400 << 601 - 400 - 20 - 5;
    QTest::newRow("taller than the room above: at the top") << 900 << 950 << 0;
}

void tst_ViewGeometry::chargeDetailTop()
{
    QFETCH(int, anchorY);
    QFETCH(int, height);
    QFETCH(int, expected);
    QCOMPARE(ChargeDetailTop(anchorY, height, 20, QRect(0, 0, 1600, 1000)), expected);
}

QTEST_GUILESS_MAIN(tst_ViewGeometry)
#include "tst_view_geometry.moc"
