#include "controls/arrow_header_ctrl.h"
#include "controls/rank_list_ctrl.h"
#include "controls/unelided_delegate.h"

#include <QtTest>

namespace {

class CDelegateProbe : public CUnelidedDelegate {
public:
    using CUnelidedDelegate::initStyleOption;
};

const QColor kRed(250, 0, 0);

struct Row {
    const char* id;
    const char* score;
    quint32 rank;
};

// Attribute rows in id order, as a fill inserts them.
const Row kRows[] = {
    {"1", "100 (100)", 0},  {"2", "99 (99)", 0},  {"3", "98 (90)", 1},    {"9", "95 (95)", 0},
    {"10", "100 (100)", 0}, {"12", "99 (99)", 0}, {"194", "- (45 ℃)", 1},
};

void Fill(CRankListCtrl& list) {
    list.DeleteAllRows();
    for (const Row& row : kRows) {
        list.AddRow({QString::fromUtf8(row.id), QStringLiteral("x"), QStringLiteral("v"),
                     QString::fromUtf8(row.score), QStringLiteral("t")},
                    row.rank);
    }
}

QStringList Column(const CRankListCtrl& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.RowCount(); ++row) {
        texts << list.RowText(row, column);
    }
    return texts;
}

int SectionCentre(const CRankListCtrl& list, int column) {
    return list.header()->sectionViewportPosition(column) + list.header()->sectionSize(column) / 2;
}

// Pixels of the rank-1 red in a row of the rendered list.
int RedPixels(const QImage& image, const QRect& rowRect) {
    int count = 0;
    for (int y = rowRect.top(); y <= rowRect.bottom(); ++y) {
        for (int x = rowRect.left(); x <= rowRect.right() && x < image.width(); ++x) {
            if (image.pixelColor(x, y) == kRed) {
                ++count;
            }
        }
    }
    return count;
}

} // namespace

class TestRankListCtrl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void compareRowTexts_data();
    void compareRowTexts();
    void columnClickRules_data();
    void columnClickRules();
    void idColumnSortsAsText();
    void ranksFollowTheirRows();
    void clickOnEmptyListMovesArrow();
    void hintRowAloneStays();
    void refillKeepsSortState();
    void headerClickSorts();
    void colourTable();
    void rowsPaintInTheirRankColour();
    void selectionStaysWithItsRow();
    void idsAreNeverElided();

private:
    CRankListCtrl* m_list = nullptr;
};

void TestRankListCtrl::init() {
    m_list = new CRankListCtrl;
    m_list->setColumnCount(5);
    m_list->setHeaderLabels({QStringLiteral("ID"), QStringLiteral("概要"), QStringLiteral("値"),
                             QStringLiteral("点数(ﾜｰｽﾄ)"), QStringLiteral("危険値")});
    m_list->resize(600, 300);
}

void TestRankListCtrl::cleanup() {
    delete m_list;
}

void TestRankListCtrl::compareRowTexts_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("digits as text") << "10"
                                    << "2" << -1;
    QTest::newRow("prefix first") << "1"
                                  << "10" << -1;
    QTest::newRow("100 before 99") << "100 (100)"
                                   << "99 (99)" << -1;
    QTest::newRow("equal") << "194"
                           << "194" << 0;
    QTest::newRow("empty first") << ""
                                 << "a" << -1;
    QTest::newRow("ASCII before multibyte") << "z"
                                            << "概要" << -1;
    QTest::newRow("upper before lower") << "Z"
                                        << "a" << -1;
    QTest::newRow("multibyte by bytes") << "値"
                                        << "危険値" << -1;
}

void TestRankListCtrl::compareRowTexts() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const auto signOf = [](int v) { return (v > 0) - (v < 0); };
    QCOMPARE(signOf(CRankListCtrl::CompareRowTexts(a.toUtf8(), b.toUtf8())), sign);
    QCOMPARE(signOf(CRankListCtrl::CompareRowTexts(b.toUtf8(), a.toUtf8())), -sign);
}

void TestRankListCtrl::columnClickRules_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ascending");
    QTest::newRow("first click") << QList<int>{0} << 0 << true;
    QTest::newRow("second click") << QList<int>{0, 0} << 0 << false;
    QTest::newRow("third click") << QList<int>{0, 0, 0} << 0 << true;
    QTest::newRow("another column") << QList<int>{0, 0, 3} << 3 << true;
    QTest::newRow("A, B, A") << QList<int>{2, 2, 3, 2} << 2 << true;
    QTest::newRow("A, A, B, B") << QList<int>{1, 1, 4, 4} << 4 << false;
}

void TestRankListCtrl::columnClickRules() {
    QFETCH(QList<int>, clicks);
    QFETCH(int, column);
    QFETCH(bool, ascending);
    Fill(*m_list);
    for (int click : clicks) {
        m_list->OnColumnClick(click);
    }
    QCOMPARE(m_list->SortColumn(), column);
    QCOMPARE(m_list->IsAscending(), ascending);
    QCOMPARE(m_list->Header().ArrowColumn(), column);
    QCOMPARE(m_list->Header().IsArrowAscending(), ascending);
}

void TestRankListCtrl::idColumnSortsAsText() {
    Fill(*m_list);
    m_list->OnColumnClick(0);
    const QStringList ascending{"1", "10", "12", "194", "2", "3", "9"};
    QCOMPARE(Column(*m_list, 0), ascending);
    m_list->OnColumnClick(0);
    QStringList descending = ascending;
    std::reverse(descending.begin(), descending.end());
    QCOMPARE(Column(*m_list, 0), descending);
    m_list->OnColumnClick(3);
    QCOMPARE(Column(*m_list, 3), (QStringList{"- (45 ℃)", "100 (100)", "100 (100)", "95 (95)",
                                              "98 (90)", "99 (99)", "99 (99)"}));
    // Equal texts keep the order they had before this sort (here: 10 after 1).
    QCOMPARE(Column(*m_list, 0).mid(0, 3), (QStringList{"194", "10", "1"}));
}

void TestRankListCtrl::ranksFollowTheirRows() {
    Fill(*m_list);
    for (int column : {0, 0, 3, 1, 3}) {
        m_list->OnColumnClick(column);
        for (int row = 0; row < m_list->RowCount(); ++row) {
            const QString id = m_list->RowText(row, 0);
            const bool failing = id == QLatin1String("3") || id == QLatin1String("194");
            QCOMPARE(m_list->RowRank(row), failing ? 1u : 0u);
        }
    }
}

void TestRankListCtrl::clickOnEmptyListMovesArrow() {
    m_list->OnColumnClick(2);
    QCOMPARE(m_list->RowCount(), 0);
    QCOMPARE(m_list->SortColumn(), 2);
    QVERIFY(m_list->IsAscending());
    QCOMPARE(m_list->Header().ArrowColumn(), 2);
    QVERIFY(m_list->Header().IsOwnerDrawn(2));
}

void TestRankListCtrl::hintRowAloneStays() {
    m_list->AddRow({QString(), QStringLiteral("←左のリストからHDDを選択してください。")}, 0);
    for (int column : {0, 1, 1, 4}) {
        m_list->OnColumnClick(column);
        QCOMPARE(m_list->RowCount(), 1);
        QCOMPARE(m_list->RowText(0, 1), QStringLiteral("←左のリストからHDDを選択してください。"));
        QCOMPARE(m_list->RowRank(0), 0u);
    }
}

void TestRankListCtrl::refillKeepsSortState() {
    Fill(*m_list);
    m_list->OnColumnClick(0);
    Fill(*m_list);
    // The new rows stand in insertion order; the arrow stays where it was.
    QCOMPARE(Column(*m_list, 0), (QStringList{"1", "2", "3", "9", "10", "12", "194"}));
    QCOMPARE(m_list->SortColumn(), 0);
    QCOMPARE(m_list->Header().ArrowColumn(), 0);
    QVERIFY(m_list->Header().IsArrowAscending());
    // The next click on that column goes the other way.
    m_list->OnColumnClick(0);
    QVERIFY(!m_list->IsAscending());
    QCOMPARE(Column(*m_list, 0).first(), QStringLiteral("9"));
}

void TestRankListCtrl::headerClickSorts() {
    Fill(*m_list);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    QWidget* header = m_list->header()->viewport();
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(SectionCentre(*m_list, 0), 5));
    QCOMPARE(Column(*m_list, 0).first(), QStringLiteral("1"));
    QCOMPARE(Column(*m_list, 0).at(4), QStringLiteral("2"));
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(SectionCentre(*m_list, 0), 5));
    QCOMPARE(Column(*m_list, 0).first(), QStringLiteral("9"));
    QTest::mouseClick(header, Qt::LeftButton, {}, QPoint(SectionCentre(*m_list, 3), 5));
    QCOMPARE(m_list->SortColumn(), 3);
    QVERIFY(m_list->IsAscending());
}

void TestRankListCtrl::colourTable() {
    const QColor text = m_list->palette().color(QPalette::Text);
    QCOMPARE(m_list->TextColorForRank(0), text);
    QCOMPARE(m_list->TextColorForRank(1), text);
    m_list->m_mapRankColor[1] = kRed;
    QCOMPARE(m_list->TextColorForRank(1), kRed);
    QCOMPARE(m_list->TextColorForRank(0), text);
    QCOMPARE(m_list->TextColorForRank(2), text);
    QCOMPARE(m_list->TextColorForRank(0xFFFFFFFFu), text);
    // A lookup never adds an entry.
    QCOMPARE(m_list->m_mapRankColor.size(), std::size_t{1});
}

void TestRankListCtrl::rowsPaintInTheirRankColour() {
    Fill(*m_list);
    m_list->m_mapRankColor[1] = kRed;
    m_list->OnColumnClick(0); // red rows move; their colour goes with them
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list));
    const QImage image = m_list->viewport()->grab().toImage();
    for (int row = 0; row < m_list->RowCount(); ++row) {
        const QRect rect = m_list->visualItemRect(m_list->topLevelItem(row));
        const int red = RedPixels(image, rect);
        if (m_list->RowRank(row) == 1) {
            QVERIFY2(red > 0, qPrintable(m_list->RowText(row, 0)));
        } else {
            QVERIFY2(red == 0, qPrintable(m_list->RowText(row, 0)));
        }
    }
}

void TestRankListCtrl::selectionStaysWithItsRow() {
    Fill(*m_list);
    QTreeWidgetItem* selected = m_list->topLevelItem(4); // id 10
    m_list->setCurrentItem(selected);
    m_list->OnColumnClick(0);
    QCOMPARE(m_list->currentItem(), selected);
    QCOMPARE(m_list->selectedItems(), QList<QTreeWidgetItem*>{selected});
    QCOMPARE(m_list->indexOfTopLevelItem(selected), 1);
}

void TestRankListCtrl::idsAreNeverElided() {
    Fill(*m_list);
    // Only the narrow ID column draws whole texts; the others keep the ellipsis.
    QVERIFY(qobject_cast<CUnelidedDelegate*>(m_list->itemDelegateForColumn(0)) != nullptr);
    QCOMPARE(m_list->itemDelegateForColumn(2), nullptr);
    QCOMPARE(m_list->textElideMode(), Qt::ElideRight);
    CDelegateProbe probe;
    QStyleOptionViewItem option;
    option.textElideMode = Qt::ElideRight;
    probe.initStyleOption(&option, m_list->model()->index(6, 0));
    QCOMPARE(option.textElideMode, Qt::ElideNone);
    QCOMPARE(option.text, QStringLiteral("194"));
}

QTEST_MAIN(TestRankListCtrl)
#include "tst_rank_list_ctrl.moc"
