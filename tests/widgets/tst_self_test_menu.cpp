#include "report/monitor_text.h"
#include "test_folder.h"
#include "ui/self_test_log_dlg.h"
#include "ui/viewer_dlg.h"

#include <QMenu>
#include <QtTest>

namespace {

const QByteArray kAttributes = "ATTR_1=200,200,51,0,0\n";
const QByteArray kSerial = "SERIAL_NUMBER=WD-1 $(touch x)'\"\n";
const QByteArray kRunning = "[SELFTEST]\nSTATE=running\nREMAINING_PERCENT=70\nENTRY_COUNT=0\n";
const QByteArray kIdleLog = "[SELFTEST]\nSTATE=idle\nENTRY_COUNT=3\n"
                            "ENTRY_1=extended,failed,7,12001,123456789,Completed: read failure\n"
                            "ENTRY_2=short,ok,0,11990,,Completed without error\n"
                            "ENTRY_3=short,aborted,1,,,Aborted by host\n";

// A dialog on one drive whose notices are collected instead of shown.
struct CDriveUnderTest {
    CDriveUnderTest() {
        dlg.SetNoticeBox([this](bool succeeded, const QString& text) {
            notices << QStringLiteral("%1 %2").arg(succeeded ? "ok" : "no", text);
        });
        dlg.SetCollectorTimeout(std::chrono::milliseconds(1000)); // the fakes answer at once
        dlg.OnInitDialog();
        dlg.show();
        dlg.m_lstDrives.setFocus();
        dlg.m_lstDrives.setCurrentRow(0);
    }
    CViewerDlg dlg;
    QStringList notices;
};

// Opens the drive list's menu from the keyboard and returns each entry as
// "+text" (enabled) or "-text", the chosen one marked with '*'; chooses
// nothing.
QStringList MenuEntries(CViewerDlg& dlg) {
    QStringList entries;
    QTimer::singleShot(0, [&entries] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                entries << (action == menu->activeAction() ? "*" : "") +
                               QString(action->isEnabled() ? "+" : "-") + action->text();
            }
        }
        menu->close();
    });
    QTest::keyClick(&dlg.m_lstDrives, Qt::Key_F10, Qt::ShiftModifier);
    return entries;
}

} // namespace

class TestSelfTestMenu : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetUpJapaneseTexts(TOLVENAR_BIN_DIR "/locale"); }
    void menuFollowsTheReport_data();
    void menuFollowsTheReport();
    void commandAndAnswer_data();
    void commandAndAnswer();
    void logWindowShowsTheEntries();
};

void TestSelfTestMenu::menuFollowsTheReport_data() {
    QTest::addColumn<QByteArray>("hddinfo");
    QTest::addColumn<QByteArray>("selftest");
    QTest::addColumn<QStringList>("entries");
    QTest::newRow("idle with a log")
        << kSerial << kIdleLog
        << QStringList{"*+短時間の自己診断を開始", "+拡張自己診断を開始", "-自己診断を中止",
                       "+自己診断の記録"};
    QTest::newRow("running") << kSerial << kRunning
                             << QStringList{"-短時間の自己診断を開始", "-拡張自己診断を開始",
                                            "*+自己診断を中止", "+自己診断の記録"};
    QTest::newRow("no section") << kSerial << QByteArray()
                                << QStringList{"*+短時間の自己診断を開始", "+拡張自己診断を開始",
                                               "-自己診断を中止", "-自己診断の記録"};
    QTest::newRow("running, no serial")
        << QByteArray() << kRunning
        << QStringList{"-短時間の自己診断を開始", "-拡張自己診断を開始", "-自己診断を中止",
                       "*+自己診断の記録"};
    QTest::newRow("nothing to do") << QByteArray("SERIAL_NUMBER=\n") << QByteArray()
                                   << QStringList{"-短時間の自己診断を開始", "-拡張自己診断を開始",
                                                  "-自己診断を中止", "-自己診断の記録"};
}

void TestSelfTestMenu::menuFollowsTheReport() {
    QFETCH(QByteArray, hddinfo);
    QFETCH(QByteArray, selftest);
    QFETCH(QStringList, entries);
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "Drive", kAttributes + selftest, hddinfo);
    CDriveUnderTest t;
    QCOMPARE(MenuEntries(t.dlg), entries);
    QCOMPARE(folder.CollectorRuns(), 1); // opening the menu ran nothing
}

void TestSelfTestMenu::commandAndAnswer_data() {
    QTest::addColumn<int>("entry"); // in the menu, from the top
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("notice");
    const QByteArray refusal = "echo 'quelmaro: drive X (/dev/sda): a self-test is already running'"
                               " >&2; exit 3";
    QTest::newRow("short started") << 0 << QByteArray("echo 'drive X: started'; exit 0") << "short"
                                   << "ok 短時間の自己診断を開始しました。";
    QTest::newRow("long refused") << 1 << refusal << "long"
                                  << "no このドライブでは今、自己診断を開始できません。\n"
                                     "quelmaro: drive X (/dev/sda): a self-test is already running";
    QTest::newRow("smartctl failed")
        << 0 << QByteArray("echo 'quelmaro: no' >&2; exit 1") << "short"
        << "no ドライブが自己診断の開始を受け付けませんでした。\n"
           "quelmaro: no";
    QTest::newRow("not authorized, no line")
        << 1 << QByteArray("exit 2") << "long"
        << "no 認証が取り消されたか、管理者の権限が得られなかったため、自己診断を開始できませんで"
           "した。";
    QTest::newRow("killed") << 0 << QByteArray("kill -9 $$") << "short"
                            << "no quelmaro が異常終了しました（終了コード 137）。";
    QTest::newRow("aborted") << 2 << QByteArray("exit 0") << "abort"
                             << "ok 自己診断を中止しました。";
    QTest::newRow("hung") << 1 << QByteArray("exec sleep 30") << "long"
                          << "no quelmaro が時間内に終わらなかったため、打ち切りました。";
}

void TestSelfTestMenu::commandAndAnswer() {
    QFETCH(int, entry);
    QFETCH(QByteArray, reply);
    QFETCH(QString, kind);
    QFETCH(QString, notice);
    CTestFolder folder;
    // A refresh after the command finds the test running.
    folder.WriteCollector("if [ \"$1\" = -uf ]; then\n"
                          "  [ -e args.log ] && cat report.ini > smart_PhysicalDrive0.ini\n"
                          "  exit 0\nfi\n"
                          "printf '%s\\n' \"$@\" > args.log\n" +
                          reply);
    // Only a running test can be aborted.
    folder.WriteReport(0, "Drive", kAttributes + (kind == "abort" ? kRunning : QByteArray()),
                       kSerial);
    folder.WriteFile("report.ini",
                     "[HDDINFO]\nMODEL=Drive\n" + kSerial + "[SMARTS]\n" + kAttributes + kRunning);
    CDriveUnderTest t;
    QTimer::singleShot(0, [entry] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menu->setActiveAction(menu->actions().at(entry));
            QTest::keyClick(menu, Qt::Key_Return);
        }
    });
    // What the platform makes of the Menu key.
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(&t.dlg.m_lstDrives, &event);
    // Each argument as given, the serial's quotes and $( ) untouched: no shell.
    QCOMPARE(folder.ReadFile("args.log"),
             "--self-test\n" + kind.toUtf8() + "\n--serial\nWD-1 $(touch x)'\"\n");
    QCOMPARE(t.notices, QStringList{notice});
    // Refreshed, the drive chosen again, and its progress in both tips.
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), 0);
    const QString progress = QStringLiteral("自己診断中（残り 70%）");
    QVERIFY(t.dlg.m_lstDrives.item(0)->toolTip().endsWith(progress));
    QCOMPARE(t.dlg.findChild<QLabel*>(QStringLiteral("ctrl1007"))->toolTip(), progress);
}

void TestSelfTestMenu::logWindowShowsTheEntries() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "Drive", kAttributes + kIdleLog, "SERIAL_NUMBER=S1\n");
    CDriveUnderTest t;
    t.dlg.OpenSelfTestLog(0);
    const QList<CSelfTestLogDlg*> windows = t.dlg.findChildren<CSelfTestLogDlg*>();
    QCOMPARE(windows.size(), 1);
    const CSelfTestLogDlg& log = *windows.front();
    QCOMPARE(log.windowTitle(), QStringLiteral("自己診断の記録 - Drive (S1)"));
    QCOMPARE(log.StateText(), QStringLiteral("実行中の自己診断はありません"));
    const CRankListCtrl& list = log.Entries();
    const QStringList rows[] = {
        {"1", "拡張", "失敗", "12,001 時間", "123456789"},
        {"2", "短時間", "正常終了", "11,990 時間", ""},
        {"3", "短時間", "中止", "", ""},
    };
    QCOMPARE(list.RowCount(), 3);
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 5; ++column) {
            QCOMPARE(list.RowText(row, column), rows[row][column]);
        }
        const QColor expected = row == 0 ? QColor(250, 0, 0) : list.palette().color(QPalette::Text);
        QCOMPARE(list.TextColorForRow(list.RowRank(row), false), expected);
    }
    QCOMPARE(list.topLevelItem(0)->toolTip(2), QStringLiteral("Completed: read failure"));
    QCOMPARE(list.headerItem()->text(4), QStringLiteral("最初の不良LBA"));

    // One window per drive: asked again, the same one shows the report anew.
    folder.WriteReport(0, "Drive", kAttributes + kRunning, "SERIAL_NUMBER=S1\n");
    t.dlg.OpenSelfTestLog(0);
    QCOMPARE(t.dlg.findChildren<CSelfTestLogDlg*>().size(), 1);
    QCOMPARE(log.StateText(), QStringLiteral("自己診断中（残り 70%）\n記録はありません"));
    QCOMPARE(log.Entries().RowCount(), 0);
}

QTEST_MAIN(TestSelfTestMenu)
#include "tst_self_test_menu.moc"
