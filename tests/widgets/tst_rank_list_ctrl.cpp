#include "controls/arrow_header_ctrl.h"
#include "controls/rank_list_ctrl.h"

#include <QtTest>

namespace {

const QColor kRed(250, 0, 0);

struct Row {
    const char* id;
    const char* score;
    quint32 rank;
};

// Attribute rows in id order, as a fill inserts them; ids 3 and 194 fail.
const Row kRows[] = {
    {"1", "100 (100)", 0},  {"2", "99 (99)", 0},  {"3", "98 (90)", 1},    {"9", "95 (95)", 0},
    {"10", "100 (100)", 0}, {"12", "99 (99)", 0}, {"194", "- (45 ℃)", 1},
};

QStringList Column(const CRankListCtrl& list, int column) {
    QStringList texts;
    for (int row = 0; row < list.RowCount(); ++row) {
        texts << list.RowText(row, column);
    }
    return texts;
}

} // namespace

class TestRankListCtrl : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup() { delete m_list; }
    void compareRowTexts_data();
    void compareRowTexts();
    void compareLeadingNumbers_data();
    void compareLeadingNumbers();
    void numericColumnSortsByNumber();
    void columnClicks_data();
    void columnClicks();
    void emptyAndHintOnlyLists();
    void colours();
    void selectionStaysWithItsRow();

private:
    void Fill();

    CRankListCtrl* m_list = nullptr;
};

void TestRankListCtrl::init() {
    m_list = new CRankListCtrl;
    m_list->setColumnCount(5);
    m_list->resize(600, 300);
}

void TestRankListCtrl::Fill() {
    m_list->DeleteAllRows();
    for (const Row& row : kRows) {
        m_list->AddRow({row.id, "x", "v", QString::fromUtf8(row.score), "t"}, row.rank);
    }
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
    QTest::newRow("upper before lower") << "Z"
                                        << "a" << -1;
    QTest::newRow("ASCII before multibyte") << "z"
                                            << "概要" << -1;
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

void TestRankListCtrl::compareLeadingNumbers_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("sign");
    QTest::newRow("9 before 10") << "9"
                                 << "10" << -1;
    QTest::newRow("grouped hours") << "950 時間"
                                   << "8,120 時間" << -1;
    QTest::newRow("leading zeros") << "007"
                                   << "7" << 0;
    QTest::newRow("comma after the digits") << "12,"
                                            << "12" << 0;
    QTest::newRow("longer than 64 bits") << "18446744073709551615"
                                         << "100000000000000000000" << -1;
    QTest::newRow("no number first") << ""
                                     << "0" << -1;
    QTest::newRow("word first") << "-"
                                << "1" << -1;
}

void TestRankListCtrl::compareLeadingNumbers() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, sign);
    const auto signOf = [](int v) { return (v > 0) - (v < 0); };
    QCOMPARE(signOf(CRankListCtrl::CompareLeadingNumbers(a.toUtf8(), b.toUtf8())), sign);
    QCOMPARE(signOf(CRankListCtrl::CompareLeadingNumbers(b.toUtf8(), a.toUtf8())), -sign);
}

void TestRankListCtrl::numericColumnSortsByNumber() {
    Fill();
    m_list->SetNumericColumn(0);
    m_list->OnColumnClick(0);
    QCOMPARE(Column(*m_list, 0), (QStringList{"1", "2", "3", "9", "10", "12", "194"}));
}

void TestRankListCtrl::columnClicks_data() {
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<bool>("ascending");
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("first click") << QList<int>{0} << true
                                 << QStringList{"1", "10", "12", "194", "2", "3", "9"};
    QTest::newRow("second click") << QList<int>{0, 0} << false
                                  << QStringList{"9", "3", "2", "194", "12", "10", "1"};
    QTest::newRow("third click") << QList<int>{0, 0, 0} << true
                                 << QStringList{"1", "10", "12", "194", "2", "3", "9"};
    // Equal scores keep the order the rows had before (9, 3, 2, 194, 12, 10, 1).
    QTest::newRow("another column")
        << QList<int>{0, 0, 3} << true << QStringList{"194", "10", "1", "9", "3", "2", "12"};
    QTest::newRow("A, B, A") << QList<int>{3, 3, 0, 3} << true
                             << QStringList{"194", "1", "10", "9", "3", "12", "2"};
}

void TestRankListCtrl::columnClicks() {
    QFETCH(QList<int>, clicks);
    QFETCH(bool, ascending);
    QFETCH(QStringList, ids);
    Fill();
    for (int click : clicks) {
        m_list->OnColumnClick(click);
    }
    QCOMPARE(m_list->SortColumn(), clicks.last());
    QCOMPARE(m_list->IsAscending(), ascending);
    QCOMPARE(m_list->Header().ArrowColumn(), clicks.last());
    QCOMPARE(m_list->Header().IsArrowAscending(), ascending);
    QCOMPARE(Column(*m_list, 0), ids);
    for (int row = 0; row < m_list->RowCount(); ++row) { // ranks went with their rows
        const bool failing = ids[row] == QLatin1String("3") || ids[row] == QLatin1String("194");
        QCOMPARE(m_list->RowRank(row), failing ? 1u : 0u);
    }
}

void TestRankListCtrl::emptyAndHintOnlyLists() {
    m_list->OnColumnClick(2);
    QCOMPARE(m_list->SortColumn(), 2);
    QCOMPARE(m_list->Header().ArrowColumn(), 2);
    const QString hint = QStringLiteral("←左のリストからHDDを選択してください。");
    m_list->AddRow({QString(), hint}, 0);
    for (int column : {0, 1, 1, 4}) {
        m_list->OnColumnClick(column);
        QCOMPARE(Column(*m_list, 1), QStringList{hint});
    }
}

void TestRankListCtrl::colours() {
    const QColor text = m_list->palette().color(QPalette::Text);
    QCOMPARE(m_list->TextColorForRank(1), text);
    m_list->m_mapRankColor[1] = kRed;
    QCOMPARE(m_list->TextColorForRank(1), kRed);
    QCOMPARE(m_list->TextColorForRank(0), text);
    QCOMPARE(m_list->TextColorForRank(2), text);
    QCOMPARE(m_list->m_mapRankColor.size(), std::size_t{1}); // lookups add nothing

    // Three-digit ids show whole in the narrow first column.
    QVERIFY(m_list->itemDelegateForColumn(0) != nullptr);
    QCOMPARE(m_list->itemDelegateForColumn(1), nullptr);
}

void TestRankListCtrl::selectionStaysWithItsRow() {
    Fill();
    QTreeWidgetItem* selected = m_list->topLevelItem(4); // id 10
    m_list->setCurrentItem(selected);
    m_list->OnColumnClick(0);
    QCOMPARE(m_list->currentItem(), selected);
    QCOMPARE(m_list->selectedItems(), QList<QTreeWidgetItem*>{selected});
    QCOMPARE(m_list->indexOfTopLevelItem(selected), 1);
}

QTEST_MAIN(TestRankListCtrl)
#include "tst_rank_list_ctrl.moc"
