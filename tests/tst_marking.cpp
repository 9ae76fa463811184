// The rules of marking and range picking, apart from any window.
#include "storage/MarkGesture.h"
#include "tally/RangeSelection.h"

#include <QTest>

using namespace hibi;

class TestMarking : public QObject
{
    Q_OBJECT

private slots:
    void pressGivesMark_data();
    void pressGivesMark();
    void heldFlagsFollowPressesAndReleases();
    void rangeEndsInDateOrder_data();
    void rangeEndsInDateOrder();
    void rangeSelectionStates();
};

void TestMarking::pressGivesMark_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("rightHeld");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const int left = Qt::LeftButton;
    const int right = Qt::RightButton;
    const int middle = Qt::MiddleButton;
    QTest::newRow("left on ○ clears") << left << false << 1 << 0;
    for (int before : {0, 2, 3})
        QTest::addRow("left on %d gives ○", before) << left << false << before << 1;
    QTest::newRow("right on × clears") << right << false << 2 << 0;
    for (int before : {0, 1, 3})
        QTest::addRow("right on %d gives ×", before) << right << false << before << 2;
    QTest::newRow("left with right held on △ clears") << left << true << 3 << 0;
    for (int before : {0, 1, 2})
        QTest::addRow("left with right held on %d gives △", before) << left << true << before << 3;
    for (int before : {0, 1, 2, 3})
        QTest::addRow("middle on %d changes nothing", before) << middle << false << before << before;
    QTest::newRow("right with right held still gives ×") << right << true << 0 << 2;
}

void TestMarking::pressGivesMark()
{
    QFETCH(int, button);
    QFETCH(bool, rightHeld);
    QFETCH(int, before);
    QFETCH(int, after);
    bool leftHeld = false;
    bool held = rightHeld;
    QCOMPARE(int(PressMark(std::uint8_t(before), Qt::MouseButton(button), leftHeld, held)), after);
}

void TestMarking::heldFlagsFollowPressesAndReleases()
{
    bool left = false;
    bool right = false;
    std::uint8_t mark = 0;
    mark = PressMark(mark, Qt::RightButton, left, right);   // ×, right held
    QVERIFY(right && !left);
    mark = PressMark(mark, Qt::LeftButton, left, right);    // △
    QCOMPARE(mark, std::uint8_t(Sankaku));
    ReleaseButton(Qt::RightButton, left, right);
    QVERIFY(!right && left);
    mark = PressMark(mark, Qt::LeftButton, left, right);    // the right is up again: ○
    QCOMPARE(mark, std::uint8_t(Maru));
    ReleaseButton(Qt::LeftButton, left, right);
    ReleaseButton(Qt::MiddleButton, left, right);
    QVERIFY(!left && !right);
    // Keys toggle the same way.
    QCOMPARE(ToggleMark(Batu, Batu), std::uint8_t(NoMark));
    QCOMPARE(ToggleMark(Batu, Maru), std::uint8_t(Maru));
}

void TestMarking::rangeEndsInDateOrder_data()
{
    QTest::addColumn<RangePoint>("first");
    QTest::addColumn<RangePoint>("last");
    QTest::addColumn<bool>("exchanged");
    const RangePoint mar20{2026, 3, 4, 5, 20};
    const RangePoint mar5_2025{2025, 3, 1, 3, 5};
    QTest::newRow("last pick earlier: exchanged") << mar20 << mar5_2025 << true;
    QTest::newRow("in order") << mar5_2025 << mar20 << false;
    QTest::newRow("same day") << mar20 << mar20 << false;
    QTest::newRow("same month, earlier day") << RangePoint{2026, 3, 3, 1, 9} << RangePoint{2026, 3, 1, 6, 7} << true;
}

void TestMarking::rangeEndsInDateOrder()
{
    QFETCH(RangePoint, first);
    QFETCH(RangePoint, last);
    QFETCH(bool, exchanged);
    RangePoint start = first;
    RangePoint end = last;
    OrderRange(start, end);
    QCOMPARE(start, exchanged ? last : first);
    QCOMPARE(end, exchanged ? first : last);
}

void TestMarking::rangeSelectionStates()
{
    RangeSelection r;
    QVERIFY(!r.active());
    r.begin();
    QCOMPARE(r.RangeState, 1);
    QVERIFY(!r.highlights(2026, 3, 3, 2));
    r.pickStart({2026, 3, 2, 3, 10});
    QCOMPARE(r.RangeState, 2);
    QVERIFY(r.highlights(2026, 3, 3, 2));      // blinking on
    r.RangeBlink = false;
    QVERIFY(!r.highlights(2026, 3, 3, 2));     // and off
    QVERIFY(!r.highlights(2025, 3, 3, 2));     // another year shows nothing
    r.pickEnd({2026, 4, 1, 4, 2});
    QVERIFY(r.highlights(2026, 3, 3, 2) && r.highlights(2026, 4, 4, 1));
    QVERIFY(!r.highlights(2026, 4, 4, 0));     // never the header row
    r.finish();
    QCOMPARE(r.RangeState, 0);
    QVERIFY(!r.RangeBlink);
    QCOMPARE(r.RangeStart.year, 2026);         // the dates stay, the cells go
    QCOMPARE(r.RangeStart.column, 0);
    QCOMPARE(r.RangeEnd.row, 0);
    // Cancelling keeps the ends for the next selection to overwrite.
    r.begin();
    r.pickStart({2026, 5, 1, 5, 1});
    r.cancel();
    QVERIFY(!r.active());
    QCOMPARE(r.RangeStart.month, 5);
}

QTEST_APPLESS_MAIN(TestMarking)
#include "tst_marking.moc"
