#include "history/history_store.h"
#include "report/monitor_text.h"
#include "test_folder.h"
#include "ui/dialog_units.h"
#include "ui/history_window.h"
#include "ui/viewer_dlg.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QtTest>
#include <ctime>
#include <utime.h>

namespace {

// 2026-11-01 00:00:00 UTC and later days.
constexpr std::int64_t kDay1 = 1793491200;
constexpr std::int64_t kDay = 86400;

const QByteArray kModel = "ST3500418AS";
const QByteArray kInfo = "SERIAL_NUMBER=5VM0000A\n";
const QByteArray kAttributes = "ATTR_1=117,99,6,0,0\nATTR_5=98,98,36,8,0\n";

DriveReading Reading(int value, std::int64_t raw) {
    return {{kModel.toStdString(), "5VM0000A"}, {{1, 117, 99, 6, 0}, {5, value, value, 36, raw}}};
}

// Three runs: reallocated sectors 0, then 8 (value 100 -> 98), then unchanged.
void WriteHistory(const CTestFolder& folder) {
    CHistoryStore store;
    const std::string path = (folder.Path() + "/history.sqlite").toStdString();
    QVERIFY(store.Open(path, CHistoryStore::Access::Write));
    QVERIFY(store.RecordRun(kDay1, {Reading(100, 0)}));
    QVERIFY(store.RecordRun(kDay1 + 2 * kDay, {Reading(98, 8)}));
    QVERIFY(store.RecordRun(kDay1 + 5 * kDay, {Reading(98, 8)}));
}

QTreeWidgetItem* RowOf(CRankListCtrl& table, const QString& id) {
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.RowText(row, 0) == id) {
            return table.topLevelItem(row);
        }
    }
    return nullptr;
}

QChart* ChartOf(const QWidget* window) {
    const QChartView* view = window->findChild<QChartView*>();
    return view != nullptr ? view->chart() : nullptr;
}

// The points of the chart's series of that name (the legend's text).
QList<QPointF> Points(const QWidget* window, const QString& name) {
    const QChart* chart = ChartOf(window);
    if (chart == nullptr) {
        return {};
    }
    for (const QAbstractSeries* series : chart->series()) {
        if (series->name() == name) {
            return static_cast<const QLineSeries*>(series)->points();
        }
    }
    return {};
}

// The viewer finds the history window's module in its program folder.
void AddModule(const CTestFolder& folder) {
    QVERIFY(QFile::link(QStringLiteral(TOLVENAR_HISTORY_MODULE),
                        folder.Path() + QLatin1Char('/') + QLatin1String(kHistoryWindowModule)));
}

QPointF At(std::int64_t time, double y) {
    return {static_cast<double>(time) * 1000.0, y};
}

// A program folder with the attribute table and drive 0, and a PATH
// without any collector.
struct CDriveFolder {
    explicit CDriveFolder(const QByteArray& info = kInfo) {
        folder.WriteAttributeTable();
        folder.WriteReport(0, kModel, kAttributes, info);
    }
    QTemporaryDir emptyPath;
    CPathOverride path{emptyPath.path().toUtf8()};
    CTestFolder folder;
};

} // namespace

class TestHistoryDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    // First: once loaded, the module stays for the rest of the process.
    void withoutTheModuleAMessageSaysSo_data();
    void withoutTheModuleAMessageSaysSo();
    void doubleClickShowsTheAttributesHistory();
    void secondRequestRaisesTheSameWindow();
    void keyboardOpensTheHistory_data();
    void keyboardOpensTheHistory();
    void escCloses();
    void withoutUsableHistoryTheWindowSaysSo_data();
    void withoutUsableHistoryTheWindowSaysSo();
    void hintRowOpensNothing();
    void rowTipTellsTheLastRawChange();
    void driveTipTellsWhenTheReportWasWritten();

private:
    // Fills the folder and shows a viewer with drive 0 selected.
    void ShowDrive(CViewerDlg& dlg);
    // The history window the double click opened; nullptr unless exactly one.
    QDialog* DoubleClick(CViewerDlg& dlg, const QString& id);
};

void TestHistoryDlg::initTestCase() {
    QApplication::setFont(DialogFont());
    SetUpJapaneseTexts(TOLVENAR_BIN_DIR "/locale");
    // Dates in the tooltips are local: fix the zone they are read in.
    qputenv("TZ", "UTC");
    tzset();
}

void TestHistoryDlg::ShowDrive(CViewerDlg& dlg) {
    dlg.SetErrorBox([](const QString&) {});
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    dlg.m_lstDrives.setCurrentRow(0);
}

QDialog* TestHistoryDlg::DoubleClick(CViewerDlg& dlg, const QString& id) {
    QTreeWidgetItem* item = RowOf(dlg.m_lvAttributes, id);
    if (item == nullptr) {
        return nullptr;
    }
    // A view takes a double click only on the row its press went to.
    QWidget* viewport = dlg.m_lvAttributes.viewport();
    const QPoint centre = dlg.m_lvAttributes.visualItemRect(item).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, centre);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
    const QList<QDialog*> windows = dlg.findChildren<QDialog*>(QStringLiteral("historyWindow"));
    return windows.size() == 1 ? windows.front() : nullptr;
}

void TestHistoryDlg::withoutTheModuleAMessageSaysSo_data() {
    QTest::addColumn<QByteArray>("module"); // empty: none
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("broken") << QByteArray("\x7f"
                                          "ELF not really");
}

void TestHistoryDlg::withoutTheModuleAMessageSaysSo() {
    QFETCH(QByteArray, module);
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    if (!module.isEmpty()) {
        folder.WriteFile(QLatin1String(kHistoryWindowModule), module);
    }
    CViewerDlg dlg;
    ShowDrive(dlg);

    QVERIFY(DoubleClick(dlg, QStringLiteral("5")) == nullptr);
    const QList<QMessageBox*> boxes = dlg.findChildren<QMessageBox*>();
    QCOMPARE(boxes.size(), 1);
    // One sentence, and no path or loader message beside it.
    QCOMPARE(boxes.front()->text(),
             QStringLiteral("履歴の画面の部品を読み込めないため、履歴を表示できません。"));
    QCOMPARE(boxes.front()->informativeText(), QString());
    QCOMPARE(boxes.front()->detailedText(), QString());
}

void TestHistoryDlg::doubleClickShowsTheAttributesHistory() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    AddModule(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);

    QDialog* window = DoubleClick(dlg, QStringLiteral("5"));
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    QVERIFY(ChartOf(window) != nullptr);
    QCOMPARE(ChartOf(window)->title(), QStringLiteral("5 Reallocated Sectors Count"));
    // Each level holds until the next change; the last until the last run.
    // ... and a fiftieth of the five days (2.4 hours) past it, so that it shows.
    const std::int64_t changed = kDay1 + 2 * kDay;
    const std::int64_t end = kDay1 + 5 * kDay + 8640;
    QCOMPARE(Points(window, QStringLiteral("生の値")),
             QList<QPointF>({At(kDay1, 0), At(changed, 0), At(changed, 8), At(end, 8)}));
    QCOMPARE(Points(window, QStringLiteral("点数")),
             QList<QPointF>({At(kDay1, 100), At(changed, 100), At(changed, 98), At(end, 98)}));
    QCOMPARE(Points(window, QStringLiteral("危険値")),
             QList<QPointF>({At(kDay1, 36), At(end, 36)}));
}

void TestHistoryDlg::secondRequestRaisesTheSameWindow() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    AddModule(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);

    QPointer<QDialog> first = DoubleClick(dlg, QStringLiteral("5"));
    QVERIFY(first != nullptr);
    QCOMPARE(DoubleClick(dlg, QStringLiteral("5")), first.data()); // still only one
    // A closed one opens anew.
    first->close();
    QTRY_VERIFY(first.isNull());
    QVERIFY(DoubleClick(dlg, QStringLiteral("5")) != nullptr);
}

void TestHistoryDlg::keyboardOpensTheHistory_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("throughMenu");
    QTest::newRow("Space") << int(Qt::Key_Space) << int(Qt::NoModifier) << false;
    QTest::newRow("Ctrl+Enter") << int(Qt::Key_Return) << int(Qt::ControlModifier) << false;
    QTest::newRow("Shift+F10, menu") << int(Qt::Key_F10) << int(Qt::ShiftModifier) << true;
    // The platform turns the Menu key into a keyboard context-menu event.
    QTest::newRow("Menu key, menu") << int(Qt::Key_Menu) << int(Qt::NoModifier) << true;
}

void TestHistoryDlg::keyboardOpensTheHistory() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, throughMenu);
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    AddModule(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);
    CRankListCtrl& table = dlg.m_lvAttributes;
    table.setFocus();
    table.setCurrentItem(RowOf(table, QStringLiteral("5")));

    QStringList entries;
    if (throughMenu) {
        // The menu runs its own loop: answer it from inside.
        QTimer::singleShot(0, [&entries] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) {
                return;
            }
            for (const QAction* action : menu->actions()) {
                entries << action->text();
            }
            QTest::keyClick(menu, Qt::Key_Return); // its first entry is chosen already
        });
    }
    if (key == Qt::Key_Menu) {
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
        QApplication::sendEvent(&table, &event);
    } else {
        QTest::keyClick(&table, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    }
    if (throughMenu) {
        QCOMPARE(entries, QStringList({QStringLiteral("履歴を表示"), QString(),
                                       QStringLiteral("Tolvenar のﾊﾞｰｼﾞｮﾝ情報(&A)...")}));
    }
    const QList<QDialog*> windows = dlg.findChildren<QDialog*>(QStringLiteral("historyWindow"));
    QCOMPARE(windows.size(), 1);
    QVERIFY(ChartOf(windows.front()) != nullptr);
    QCOMPARE(ChartOf(windows.front())->title(), QStringLiteral("5 Reallocated Sectors Count"));
    QVERIFY(dlg.isVisible()); // Ctrl+Enter is not the Enter that ends the dialog
}

void TestHistoryDlg::escCloses() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    AddModule(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);

    QPointer<QDialog> window = DoubleClick(dlg, QStringLiteral("5"));
    QVERIFY(window != nullptr);
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_Escape);
    QTRY_VERIFY(window.isNull() || !window->isVisible());
    QVERIFY(dlg.isVisible()); // only the history window closes
}

void TestHistoryDlg::withoutUsableHistoryTheWindowSaysSo_data() {
    QTest::addColumn<QByteArray>("history"); // empty: no file
    QTest::addColumn<QByteArray>("info");
    QTest::addColumn<QString>("says"); // the start of the window's text
    const QString none = QStringLiteral("この属性の履歴はまだありません。");
    QTest::newRow("no history file") << QByteArray() << kInfo << none;
    QTest::newRow("damaged history file")
        << QByteArray("SQLite format 3\0garbage", 23) << kInfo
        << QStringLiteral("履歴を読み込めないため、表示できません。\n");
    QTest::newRow("another drive's history") << QByteArray("other") << kInfo << none;
    QTest::newRow("drive without serial") << QByteArray("ours") << QByteArray() << none;
}

void TestHistoryDlg::withoutUsableHistoryTheWindowSaysSo() {
    QFETCH(QByteArray, history);
    QFETCH(QByteArray, info);
    QFETCH(QString, says);
    const CDriveFolder drive(info);
    const CTestFolder& folder = drive.folder;
    if (history == "ours") {
        WriteHistory(folder);
    } else if (history == "other") {
        CHistoryStore store;
        QVERIFY(store.Open((folder.Path() + "/history.sqlite").toStdString(),
                           CHistoryStore::Access::Write));
        QVERIFY(store.RecordRun(kDay1, {{{kModel.toStdString(), "OTHER"}, {{5, 1, 1, 1, 1}}}}));
    } else if (!history.isEmpty()) {
        folder.WriteFile(QStringLiteral("history.sqlite"), history);
    }
    AddModule(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);

    QDialog* window = DoubleClick(dlg, QStringLiteral("5"));
    QVERIFY(window != nullptr);
    QVERIFY(ChartOf(window) == nullptr);
    const QLabel* empty = window->findChild<QLabel*>(QStringLiteral("historyEmpty"));
    QVERIFY(empty != nullptr);
    if (says.endsWith(QLatin1Char('\n'))) {
        QVERIFY2(empty->text().startsWith(says) && empty->text().size() > says.size(),
                 qPrintable(empty->text())); // the reason follows
    } else {
        QCOMPARE(empty->text(), says);
    }
}

void TestHistoryDlg::hintRowOpensNothing() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    AddModule(folder);
    CViewerDlg dlg;
    dlg.OnInitDialog();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.m_lvAttributes.RowCount(), 1); // only the hint, no drive chosen
    QTreeWidgetItem* hint = dlg.m_lvAttributes.topLevelItem(0);
    const QPoint centre = dlg.m_lvAttributes.visualItemRect(hint).center();
    QTest::mouseClick(dlg.m_lvAttributes.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(dlg.m_lvAttributes.viewport(), Qt::LeftButton, {}, centre);
    QVERIFY(dlg.findChildren<QDialog*>().isEmpty());
}

void TestHistoryDlg::rowTipTellsTheLastRawChange() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    WriteHistory(folder);
    CViewerDlg dlg;
    ShowDrive(dlg);

    QTreeWidgetItem* reallocated = RowOf(dlg.m_lvAttributes, QStringLiteral("5"));
    QTreeWidgetItem* unchanged = RowOf(dlg.m_lvAttributes, QStringLiteral("1"));
    QVERIFY(reallocated != nullptr && unchanged != nullptr);
    // The warning of the row comes first, then the change.
    const QString tip = QStringLiteral("ST3500418AS (5VM0000A): 5 Reallocated Sectors Count が "
                                       "0 → 8 に増えました\n生の値 0 → 8（2026-11-03 に変化）");
    QCOMPARE(reallocated->toolTip(1), tip);
    QCOMPARE(unchanged->toolTip(1), QString());
    // Sorting moves the rows with their tips.
    dlg.m_lvAttributes.SortByColumn(false, 0);
    QCOMPARE(RowOf(dlg.m_lvAttributes, QStringLiteral("5"))->toolTip(0), tip);
}

void TestHistoryDlg::driveTipTellsWhenTheReportWasWritten() {
    const CDriveFolder drive;
    const CTestFolder& folder = drive.folder;
    // 2026-12-07 14:00:30 UTC
    const utimbuf times{1796652030, 1796652030};
    QCOMPARE(utime((folder.Path() + "/smart_PhysicalDrive0.ini").toLocal8Bit().constData(), &times),
             0);
    CViewerDlg dlg;
    dlg.OnInitDialog();
    // Its warnings follow.
    QCOMPARE(dlg.m_lstDrives.item(0)->toolTip(),
             QStringLiteral("レポート作成: 2026-12-07 14:00\n"
                            "ST3500418AS (5VM0000A): 5 Reallocated Sectors Count が 8 です"));
}

QTEST_MAIN(TestHistoryDlg)
#include "tst_history_dlg.moc"
