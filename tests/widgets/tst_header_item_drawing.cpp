#include "controls/header_item_drawing.h"

#include <QtTest>

Q_DECLARE_METATYPE(HeaderRect)
Q_DECLARE_METATYPE(HeaderPoint)
Q_DECLARE_METATYPE(std::vector<HeaderPoint>)

namespace {

using Points = std::vector<HeaderPoint>;

HeaderItemState State(HeaderRect rect, bool pressed, bool arrow, bool ascending,
                      int alignment = Qt::AlignLeft) {
    HeaderItemState state;
    state.rect = rect;
    state.pressed = pressed;
    state.alignment = alignment;
    state.arrowColumn = arrow;
    state.ascending = ascending;
    return state;
}

} // namespace

class TestHeaderItemDrawing : public QObject {
    Q_OBJECT
private slots:
    void workedExampleArrowLines_data();
    void workedExampleArrowLines();
    void titleRectangle_data();
    void titleRectangle();
    void titleNeedsRoom_data();
    void titleNeedsRoom();
    void alignment_data();
    void alignment();
    void fillAndClipAreTheItem();
    void segmentPixels_data();
    void segmentPixels();
};

void TestHeaderItemDrawing::workedExampleArrowLines_data() {
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<Points>("highlight");
    QTest::addColumn<Points>("shadow");
    const Points upHighlight{{92, 4}, {96, 12}, {86, 12}};
    const Points upShadow{{87, 12}, {92, 3}};
    const Points downHighlight{{95, 4}, {91, 13}};
    const Points downShadow{{90, 13}, {87, 4}, {95, 4}};
    QTest::newRow("ascending") << true << false << upHighlight << upShadow;
    QTest::newRow("descending") << false << false << downHighlight << downShadow;
    // A pressed item moves its title only; the arrow stays still.
    QTest::newRow("ascending pressed") << true << true << upHighlight << upShadow;
    QTest::newRow("descending pressed") << false << true << downHighlight << downShadow;
}

void TestHeaderItemDrawing::workedExampleArrowLines() {
    QFETCH(bool, ascending);
    QFETCH(bool, pressed);
    QFETCH(Points, highlight);
    QFETCH(Points, shadow);
    const HeaderItemDrawing drawing =
        ComputeHeaderItemDrawing(State({0, 0, 100, 17}, pressed, true, ascending));
    QCOMPARE(drawing.lines.size(), std::size_t{2});
    QCOMPARE(drawing.lines[0].pen, QPalette::Light);
    QVERIFY(drawing.lines[0].points == highlight);
    QCOMPARE(drawing.lines[1].pen, QPalette::Dark);
    QVERIFY(drawing.lines[1].points == shadow);
}

void TestHeaderItemDrawing::titleRectangle_data() {
    QTest::addColumn<HeaderRect>("item");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("arrow");
    QTest::addColumn<HeaderRect>("title");
    QTest::newRow("arrow column") << HeaderRect{0, 0, 100, 17} << false << true
                                  << HeaderRect{4, 0, 84, 17};
    QTest::newRow("arrow column pressed")
        << HeaderRect{0, 0, 100, 17} << true << true << HeaderRect{5, 2, 85, 17};
    QTest::newRow("sorted before, no arrow")
        << HeaderRect{0, 0, 100, 17} << false << false << HeaderRect{4, 0, 96, 17};
    QTest::newRow("second column")
        << HeaderRect{28, 0, 358, 20} << false << true << HeaderRect{33, 0, 338, 20};
    QTest::newRow("short header, d = 0")
        << HeaderRect{10, 0, 50, 3} << false << true << HeaderRect{10, 0, 50, 3};
}

void TestHeaderItemDrawing::titleRectangle() {
    QFETCH(HeaderRect, item);
    QFETCH(bool, pressed);
    QFETCH(bool, arrow);
    QFETCH(HeaderRect, title);
    const HeaderItemDrawing drawing = ComputeHeaderItemDrawing(State(item, pressed, arrow, true));
    QVERIFY(drawing.titleRect == title);
    QVERIFY(drawing.drawTitle);
    QCOMPARE(drawing.lines.empty(), !arrow);
}

void TestHeaderItemDrawing::titleNeedsRoom_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("arrow");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<bool>("drawTitle");
    // d = 4 for a 17-pixel header: the arrow column needs more than 5d, others 2d.
    QTest::newRow("arrow 21") << 21 << true << false << true;
    QTest::newRow("arrow 20") << 20 << true << false << false;
    QTest::newRow("arrow 20 pressed") << 20 << true << true << false;
    QTest::newRow("plain 9") << 9 << false << false << true;
    QTest::newRow("plain 8") << 8 << false << false << false;
    QTest::newRow("plain 8 pressed") << 8 << false << true << false;
}

void TestHeaderItemDrawing::titleNeedsRoom() {
    QFETCH(int, width);
    QFETCH(bool, arrow);
    QFETCH(bool, pressed);
    QFETCH(bool, drawTitle);
    const HeaderItemDrawing drawing =
        ComputeHeaderItemDrawing(State({0, 0, width, 17}, pressed, arrow, false));
    QCOMPARE(drawing.drawTitle, drawTitle);
    // Even without a title the arrow is drawn, clipped to the item.
    QCOMPARE(drawing.lines.size(), arrow ? std::size_t{2} : std::size_t{0});
}

void TestHeaderItemDrawing::alignment_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("left") << int(Qt::AlignLeft | Qt::AlignVCenter) << int(Qt::AlignLeft);
    QTest::newRow("centre") << int(Qt::AlignHCenter) << int(Qt::AlignHCenter);
    QTest::newRow("right") << int(Qt::AlignRight) << int(Qt::AlignRight);
    QTest::newRow("centre wins over right")
        << int(Qt::AlignRight | Qt::AlignHCenter) << int(Qt::AlignHCenter);
    QTest::newRow("none") << 0 << int(Qt::AlignLeft);
}

void TestHeaderItemDrawing::alignment() {
    QFETCH(int, alignment);
    QFETCH(int, horizontal);
    const HeaderItemDrawing drawing =
        ComputeHeaderItemDrawing(State({0, 0, 100, 17}, false, false, true, alignment));
    QCOMPARE(drawing.titleFlags & Qt::AlignHorizontal_Mask, horizontal);
    // Qt::TextSingleLine shares its bit with Qt::AlignBaseline.
    QCOMPARE(drawing.titleFlags & (Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter),
             int(Qt::AlignVCenter));
    QVERIFY(drawing.titleFlags & Qt::TextSingleLine);
    QVERIFY(!(drawing.titleFlags & Qt::TextShowMnemonic));
    QVERIFY(drawing.elideTitleEnd);
}

void TestHeaderItemDrawing::fillAndClipAreTheItem() {
    const HeaderRect item{28, 0, 358, 20};
    const HeaderItemDrawing drawing = ComputeHeaderItemDrawing(State(item, true, true, true));
    QVERIFY(drawing.clip == item);
    QCOMPARE(drawing.fill, QPalette::Button);
}

void TestHeaderItemDrawing::segmentPixels_data() {
    QTest::addColumn<HeaderPoint>("from");
    QTest::addColumn<HeaderPoint>("to");
    QTest::addColumn<std::vector<HeaderPoint>>("pixels");
    QTest::newRow("leftwards") << HeaderPoint{96, 12} << HeaderPoint{92, 12}
                               << std::vector<HeaderPoint>{{96, 12}, {95, 12}, {94, 12}, {93, 12}};
    QTest::newRow("upwards") << HeaderPoint{3, 5} << HeaderPoint{3, 2}
                             << std::vector<HeaderPoint>{{3, 5}, {3, 4}, {3, 3}};
    QTest::newRow("diagonal") << HeaderPoint{0, 0} << HeaderPoint{3, 3}
                              << std::vector<HeaderPoint>{{0, 0}, {1, 1}, {2, 2}};
    QTest::newRow("steep, ends where it should")
        << HeaderPoint{87, 12} << HeaderPoint{92, 3}
        << std::vector<HeaderPoint>{{87, 12}, {88, 11}, {88, 10}, {89, 9}, {89, 8},
                                    {90, 7},  {90, 6},  {91, 5},  {91, 4}};
    QTest::newRow("empty") << HeaderPoint{5, 5} << HeaderPoint{5, 5} << std::vector<HeaderPoint>{};
}

void TestHeaderItemDrawing::segmentPixels() {
    QFETCH(HeaderPoint, from);
    QFETCH(HeaderPoint, to);
    QFETCH(std::vector<HeaderPoint>, pixels);
    const std::vector<HeaderPoint> actual = SegmentPixels(from, to);
    QCOMPARE(actual.size(), pixels.size());
    QVERIFY(actual == pixels);
    // Each step moves to a neighbouring pixel.
    for (std::size_t i = 1; i < actual.size(); ++i) {
        QVERIFY(qAbs(actual[i].x - actual[i - 1].x) <= 1 &&
                qAbs(actual[i].y - actual[i - 1].y) <= 1);
    }
}

QTEST_APPLESS_MAIN(TestHeaderItemDrawing)
#include "tst_header_item_drawing.moc"
