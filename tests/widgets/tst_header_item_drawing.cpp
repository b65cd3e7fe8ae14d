#include "controls/header_item_drawing.h"

#include <QtTest>

using Points = std::vector<HeaderPoint>;
Q_DECLARE_METATYPE(HeaderRect)
Q_DECLARE_METATYPE(Points)

class TestHeaderItemDrawing : public QObject {
    Q_OBJECT
private slots:
    void drawing_data();
    void drawing();
    void alignment_data();
    void alignment();
    void fitTitle_data();
    void fitTitle();
};

void TestHeaderItemDrawing::drawing_data() {
    QTest::addColumn<HeaderRect>("item");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<int>("arrow"); // 0 none, 1 ascending, 2 descending
    QTest::addColumn<HeaderRect>("title");
    QTest::addColumn<bool>("drawTitle");
    QTest::addColumn<Points>("highlight");
    QTest::addColumn<Points>("shadow");
    const HeaderRect example{0, 0, 100, 17};
    const Points up{{92, 4}, {96, 12}, {86, 12}}, upShadow{{87, 12}, {92, 3}};
    const Points down{{95, 4}, {91, 13}}, downShadow{{90, 13}, {87, 4}, {95, 4}};
    // The worked example: d = 4; pressing moves the title, never the arrow.
    QTest::newRow("ascending") << example << false << 1 << HeaderRect{4, 0, 84, 17} << true << up
                               << upShadow;
    QTest::newRow("descending") << example << false << 2 << HeaderRect{4, 0, 84, 17} << true << down
                                << downShadow;
    QTest::newRow("ascending pressed")
        << example << true << 1 << HeaderRect{5, 2, 85, 17} << true << up << upShadow;
    QTest::newRow("sorted before")
        << example << false << 0 << HeaderRect{4, 0, 96, 17} << true << Points{} << Points{};
    QTest::newRow("second column, d = 5")
        << HeaderRect{28, 0, 358, 20} << false << 0 << HeaderRect{33, 0, 353, 20} << true
        << Points{} << Points{};
    // The title needs more than 5d (arrow column) or 2d (others); the arrow
    // is drawn anyway, clipped to the item.
    QTest::newRow("arrow 21 wide")
        << HeaderRect{0, 0, 21, 17} << false << 2 << HeaderRect{4, 0, 5, 17} << true
        << Points{{16, 4}, {12, 13}} << Points{{11, 13}, {8, 4}, {16, 4}};
    QTest::newRow("arrow 20 wide")
        << HeaderRect{0, 0, 20, 17} << true << 2 << HeaderRect{5, 2, 5, 17} << false
        << Points{{15, 4}, {11, 13}} << Points{{10, 13}, {7, 4}, {15, 4}};
    QTest::newRow("plain 8 wide") << HeaderRect{0, 0, 8, 17} << false << 0
                                  << HeaderRect{4, 0, 4, 17} << false << Points{} << Points{};
}

void TestHeaderItemDrawing::drawing() {
    QFETCH(HeaderRect, item);
    QFETCH(bool, pressed);
    QFETCH(int, arrow);
    QFETCH(HeaderRect, title);
    QFETCH(bool, drawTitle);
    QFETCH(Points, highlight);
    QFETCH(Points, shadow);
    HeaderItemState state;
    state.rect = item;
    state.pressed = pressed;
    state.arrowColumn = arrow != 0;
    state.ascending = arrow == 1;
    const HeaderItemDrawing drawing = ComputeHeaderItemDrawing(state);
    QVERIFY(drawing.clip == item);
    QCOMPARE(drawing.fill, QPalette::Button);
    QVERIFY(drawing.titleRect == title);
    QCOMPARE(drawing.drawTitle, drawTitle);
    QCOMPARE(drawing.lines.size(), arrow != 0 ? std::size_t{2} : std::size_t{0});
    if (arrow != 0) {
        QCOMPARE(drawing.lines[0].pen, QPalette::Light);
        QVERIFY(drawing.lines[0].points == highlight);
        QCOMPARE(drawing.lines[1].pen, QPalette::Dark);
        QVERIFY(drawing.lines[1].points == shadow);
    }
}

void TestHeaderItemDrawing::alignment_data() {
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("horizontal");
    QTest::newRow("left") << int(Qt::AlignLeft | Qt::AlignVCenter) << int(Qt::AlignLeft);
    QTest::newRow("centre") << int(Qt::AlignHCenter) << int(Qt::AlignHCenter);
    QTest::newRow("right") << int(Qt::AlignRight) << int(Qt::AlignRight);
    QTest::newRow("centre wins") << int(Qt::AlignRight | Qt::AlignHCenter) << int(Qt::AlignHCenter);
    QTest::newRow("none") << 0 << int(Qt::AlignLeft);
}

void TestHeaderItemDrawing::alignment() {
    QFETCH(int, alignment);
    QFETCH(int, horizontal);
    HeaderItemState state;
    state.rect = {0, 0, 100, 17};
    state.alignment = alignment;
    const HeaderItemDrawing drawing = ComputeHeaderItemDrawing(state);
    QCOMPARE(drawing.titleFlags & Qt::AlignHorizontal_Mask, horizontal);
    // One vertically centred line, no mnemonic, an ellipsis when too long.
    // (Qt::TextSingleLine shares its bit with Qt::AlignBaseline.)
    QCOMPARE(drawing.titleFlags & (Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter),
             int(Qt::AlignVCenter));
    QVERIFY(drawing.titleFlags & Qt::TextSingleLine);
    QVERIFY(!(drawing.titleFlags & Qt::TextShowMnemonic));
    QVERIFY(drawing.elideTitleEnd);
}

namespace {

// Widths in pixels, like a proportional Japanese font: Latin letters 6, a
// full stop 3, "…" and other wide characters 12. The first half of a
// surrogate pair weighs nothing, so a cut between the halves would look
// cheap.
int FakeAdvance(const QString& text) {
    int width = 0;
    for (const QChar c : text) {
        if (c == QLatin1Char('.')) {
            width += 3;
        } else if (c.isHighSurrogate()) {
            width += 0;
        } else if (c.unicode() < 0x80) {
            width += 6;
        } else {
            width += 12;
        }
    }
    return width;
}

} // namespace

void TestHeaderItemDrawing::fitTitle_data() {
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("clip");
    QTest::newRow("fits exactly") << "ID" << 12 << "ID" << false;
    QTest::newRow("empty") << "" << 0 << "" << false;
    QTest::newRow("wide ellipsis") << "ABCDE" << 24 << "AB…" << false;
    QTest::newRow("dots keep more") << "ABCDE" << 23 << "AB..." << false;
    QTest::newRow("one short of whole") << "ABCDE" << 29 << "ABC..." << false;
    QTest::newRow("bare wide ellipsis") << "ABCDE" << 14 << "…" << false;
    QTest::newRow("bare dots") << "ID" << 11 << "..." << false;
    QTest::newRow("dots exactly") << "ID" << 9 << "..." << false;
    // The ID column while sorted: 8 pixels, nothing fits.
    QTest::newRow("nothing fits") << "ID" << 8 << "..." << true;
    QTest::newRow("no width") << "ID" << 0 << "..." << true;
    QTest::newRow("wide title") << "概要" << 23 << "概..." << false;
    QTest::newRow("pair kept whole") << "A\U0001F600BC" << 27 << "A\U0001F600..." << false;
    QTest::newRow("pair never split") << "A\U0001F600BC" << 17 << "A..." << false;
}

void TestHeaderItemDrawing::fitTitle() {
    QFETCH(QString, title);
    QFETCH(int, width);
    QFETCH(QString, shown);
    QFETCH(bool, clip);
    const HeaderTitle fitted = FitHeaderTitle(title, width, FakeAdvance);
    QCOMPARE(fitted.text, shown);
    QCOMPARE(fitted.clipToRect, clip);
}

QTEST_APPLESS_MAIN(TestHeaderItemDrawing)
#include "tst_header_item_drawing.moc"
