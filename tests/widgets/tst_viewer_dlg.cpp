#include "controls/arrow_header_ctrl.h"
#include "report/monitor_text.h"
#include "test_folder.h"
#include "ui/about_dlg.h"
#include "ui/choose_open_file.h"
#include "ui/drive_state.h"
#include "ui/viewer_dlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <string_view>
#include <utility>

namespace {

const QString kHint = QStringLiteral("←左のリストからHDDを選択してください。");
const QString kParseError = QStringLiteral("解析エラー。INIファイルが不正です。");
const QColor kRed(250, 0, 0);
const QByteArray kWdc = "WDC WD10EZEX-00BN5A0";
const QByteArray kWdcAttributes = "ATTR_1=200,200,51,0,0\nATTR_5=100,100,140,12,0\n"
                                  "ATTR_9=90,90,0,12345,0\nATTR_10=100,100,0,0,0\n"
                                  "ATTR_12=100,100,0,77,0\nATTR_194=110,100,0,38,45\n";
const QByteArray kWdcInfo = "SERIAL_NUMBER=WD-WCC3F0000001\nFIRMWARE_REVISION=01.01A01\n"
                            "SIZE_GB=1000\nSIZE_GIB=931\n";
// Panel labels in the order vendor, model, series, capacity, serial,
// firmware, temperature, power-on time.
const char* const kPanel[] = {"ctrl1006", "ctrl1007", "ctrl1010", "ctrl1009",
                              "ctrl1003", "ctrl1004", "ctrl1005", "ctrl1011"};

QStringList Drives(const CDriveListBox& list, bool data = false) {
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << (data ? QString::number(list.GetItemData(i)) : list.GetText(i));
    }
    return texts;
}

QStringList Column(const CRankListCtrl& table, int column) {
    QStringList texts;
    for (int row = 0; row < table.RowCount(); ++row) {
        texts << table.RowText(row, column);
    }
    return texts;
}

QString Label(const QWidget& dialog, const char* name) {
    const QLabel* label = dialog.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing>");
}

QStringList Panel(const QWidget& dialog) {
    QStringList texts;
    for (const char* name : kPanel) {
        texts << Label(dialog, name);
    }
    return texts;
}

void ClickHeader(CViewerDlg& dlg, int column) {
    QHeaderView* header = dlg.m_lvAttributes.header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

// A dialog whose message box and chooser are replaced, so that no modal
// window ever waits for a user.
struct CDialogUnderTest {
    explicit CDialogUnderTest(bool show = false) {
        dlg.SetErrorBox([this](const QString& text) { errors << text; });
        dlg.SetFileChooser(
            [this](QWidget* owner, QString& path, const QString& filter, const QString& title) {
                chooser << QVariant::fromValue(owner == &dlg) << filter << title;
                path = QStringLiteral("/somewhere/else.ini");
                return chooserAnswer;
            });
        dlg.OnInitDialog();
        if (show) {
            dlg.show();
            dlg.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
        }
    }
    void Select(int drive) {
        for (int i = 0; i < dlg.m_lstDrives.GetCount(); ++i) {
            if (dlg.m_lstDrives.GetItemData(i) == drive) {
                dlg.m_lstDrives.setCurrentRow(i);
                return;
            }
        }
        QFAIL("drive not listed");
    }

    CViewerDlg dlg;
    QStringList errors;
    QVariantList chooser;
    bool chooserAnswer = false;
};

} // namespace

class TestViewerDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QApplication::setFont(DialogFont());
        SetUpJapaneseTexts(TOLVENAR_BIN_DIR "/locale");
    }
    void startupWithoutReportsOrCollector();
    void layout();
    void tabOrder();
    void drivesListedByModel();
    void scanRunsAfterTheCollector();
    void selectingADriveShowsEverything();
    void nextDriveKeepsTemperatureAndShowsPlainText();
    void doubleClickRefillsWithoutShowing();
    void malformedReport_data();
    void malformedReport();
    void parseErrorBoxIsParentless();
    void headerClicksSortTheTable();
    void placeholderWhileCollectorRuns();
    void hungCollectorStoppedAtTheBound();
    void chord_data();
    void chord();
    void chooser_data();
    void chooser();
    void enterAndEscEndTheDialog_data();
    void enterAndEscEndTheDialog();
    void aboutEntryInContextMenu();
    void driveListIconsTellTheState();
    void warnedRowsSayWhyAndRedRowsStayRed();

private:
    QTemporaryDir m_emptyPath; // a PATH without any collector
};

void TestViewerDlg::startupWithoutReportsOrCollector() {
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t;
    QCOMPARE(t.dlg.m_lstDrives.GetCount(), 0);
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), QStringList{QString()});
    QCOMPARE(Column(t.dlg.m_lvAttributes, 1), QStringList{kHint});
    QCOMPARE(t.dlg.m_lvAttributes.RowRank(0), 0u);
    QCOMPARE(Panel(t.dlg), QStringList(8, QString())); // the template's labels are gone
    QCOMPARE(t.dlg.windowTitle(), QStringLiteral("HDD S.M.A.R.T. Viewer Farrowmere!! - v0.27.0"));
    const QStringList titles{"ID", "概要", "値", "点数(ﾜｰｽﾄ)", "危険値"};
    const int widths[] = {28, 330, 82, 75, 60};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(t.dlg.m_lvAttributes.headerItem()->text(i), titles[i]);
        QCOMPARE(t.dlg.m_lvAttributes.header()->sectionSize(i), widths[i]);
    }
    QVERIFY(t.errors.isEmpty());
}

void TestViewerDlg::layout() {
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t(true);
    QCOMPARE(QFontInfo(t.dlg.font()).family(), QStringLiteral("IPAPGothic"));
    const QSize size(803, 483); // 459 x 297 units
    QCOMPARE(t.dlg.size(), size);
    QCOMPARE(t.dlg.minimumSize(), size);
    QCOMPARE(t.dlg.maximumSize(), size);
    const auto control = [&t](const char* name) {
        const QWidget* widget = t.dlg.findChild<QWidget*>(name);
        return widget != nullptr ? widget->geometry() : QRect();
    };
    // Down the left: the label, the drive list, the panel lines, the button,
    // each below the one before, all left of the table, all in the dialog.
    const char* const left[] = {"ctrlDevices", "ctrl1001", "ctrl1006", "ctrl1007",
                                "ctrl1010",    "ctrl1009", "ctrl1003", "ctrl1004",
                                "ctrl1005",    "ctrl1011", "ctrl1008"};
    const QRect table = control("ctrl1000");
    QVERIFY(t.dlg.rect().contains(table));
    QRect above;
    for (const char* name : left) {
        const QRect rect = control(name);
        QVERIFY2(t.dlg.rect().contains(rect) && !rect.isEmpty(), name);
        QVERIFY2(above.isNull() || rect.top() > above.bottom(), name);
        QVERIFY2(rect.right() < table.left(), name);
        QVERIFY2(t.dlg.findChild<QWidget*>(name)->isVisible(), name);
        above = rect;
    }
    // Texts shown whole; the rank labels and the check box stay hidden.
    const std::pair<const char*, const char*> texts[] = {
        {"ctrlDevices", "HDDデバイス："},
        {"ctrl1008", "最新情報の取得"},
        {"ctrl1012", "優先度の低い項目を隠す"},
        {"ctrlRank", "ラ　ン　ク"},
        {"ctrlRankHigh", "↑　高"},
        {"ctrlRankLow", "低　↓"},
    };
    for (const auto& [name, text] : texts) {
        const QWidget* widget = t.dlg.findChild<QWidget*>(name);
        QVERIFY2(widget != nullptr, name);
        QCOMPARE(widget->property("text").toString(), QString::fromUtf8(text));
        const bool shown =
            std::string_view(name) == "ctrlDevices" || std::string_view(name) == "ctrl1008";
        QCOMPARE(widget->isVisible(), shown);
        if (shown) {
            QVERIFY2(widget->width() >=
                         widget->fontMetrics().horizontalAdvance(QString::fromUtf8(text)),
                     name);
        }
    }
}

void TestViewerDlg::tabOrder() {
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t(true);
    t.dlg.m_lstDrives.setFocus();
    QCOMPARE(QApplication::focusWidget(), &t.dlg.m_lstDrives);
    // Forward list, button, table and round again; backward the other way.
    const char* const forward[] = {"ctrl1008", "ctrl1000", "ctrl1001"};
    for (const char* name : forward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }
    const char* const backward[] = {"ctrl1000", "ctrl1008", "ctrl1001"};
    for (const char* name : backward) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }
}

void TestViewerDlg::drivesListedByModel() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    for (const auto& [drive, model] : {std::pair{0, "ZETA 1"},
                                       {3, "alpha 2"},
                                       {7, "alpha 2"},
                                       {1049, "Last"},
                                       {1050, "Beyond"}}) {
        folder.WriteReport(drive, model);
    }
    folder.WriteFile("smart_PhysicalDrive12.ini", "[SMARTS]\n"); // no model
    folder.WriteFile("smart_PhysicalDrive013.ini", "[HDDINFO]\nMODEL=Padded\n");
    CDialogUnderTest t;
    QCOMPARE(Drives(t.dlg.m_lstDrives), (QStringList{"", "alpha 2", "alpha 2", "Last", "ZETA 1"}));
    QCOMPARE(Drives(t.dlg.m_lstDrives, true), (QStringList{"12", "3", "7", "1049", "0"}));
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), -1);
}

void TestViewerDlg::scanRunsAfterTheCollector() {
    CTestFolder folder;
    folder.WriteReport(0, "Old");
    folder.WriteCollector("echo \"run $*\" >> runs.log\n"
                          "printf '[HDDINFO]\\nMODEL=Fresh\\n' > smart_PhysicalDrive2.ini\n"
                          "rm -f smart_PhysicalDrive0.ini");
    CDialogUnderTest t;
    QCOMPARE(folder.ReadFile("runs.log"), QByteArray("run -uf\n"));
    QCOMPARE(Drives(t.dlg.m_lstDrives), QStringList{"Fresh"});
    QCOMPARE(Drives(t.dlg.m_lstDrives, true), QStringList{"2"});
}

void TestViewerDlg::selectingADriveShowsEverything() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteAttributeTable();
    folder.WriteReport(0, kWdc, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t(true);
    QTest::mouseClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {},
                      t.dlg.m_lstDrives.visualItemRect(t.dlg.m_lstDrives.item(0)).center());

    const QStringList expected{QStringLiteral("メーカ： Western Digital"),
                               QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"),
                               QString(), // no series known for Western Digital
                               QStringLiteral("容量： 1000 GB (931 GiB)"),
                               QStringLiteral("S/N： WD-WCC3F0000001"),
                               QStringLiteral("Firmware Revision： 01.01A01"),
                               QStringLiteral("温度： 38 ℃"),
                               QStringLiteral("総稼動時間： 12,345 時間")};
    QCOMPARE(Panel(t.dlg), expected);
    QCOMPARE(t.dlg.m_strTemperature, expected[6]);

    const CRankListCtrl& table = t.dlg.m_lvAttributes;
    QCOMPARE(Column(table, 0), (QStringList{"1", "5", "9", "10", "12", "194"}));
    QCOMPARE(
        Column(table, 1).mid(0, 4),
        (QStringList{"Read Error Rate", "Reallocated Sectors Count", "Power-On Hours", "？？？"}));
    QCOMPARE(table.RowText(1, 2), QStringLiteral("12 sectors"));
    QCOMPARE(table.RowText(1, 3), QStringLiteral("100 (100)"));
    QCOMPARE(table.RowText(1, 4), QStringLiteral("140 (-40)"));
    QCOMPARE(table.RowText(5, 3), QStringLiteral("- (45 ℃)"));
    // Only the failing row is red, on screen as well.
    const QImage image = table.viewport()->grab().toImage();
    for (int row = 0; row < table.RowCount(); ++row) {
        QCOMPARE(table.RowRank(row), row == 1 ? 1u : 0u);
        const QRect rect = table.visualItemRect(table.topLevelItem(row));
        int red = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                red += image.pixelColor(x, y) == kRed ? 1 : 0;
            }
        }
        QCOMPARE(red > 0, row == 1);
    }
    QVERIFY(t.errors.isEmpty());
}

void TestViewerDlg::nextDriveKeepsTemperatureAndShowsPlainText() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdc, kWdcAttributes, kWdcInfo);
    folder.WriteReport(3, "<b>x</b> & Co", "ATTR_1=100,100,0,0,0\n", "SERIAL_NUMBER=<i>s</i>\n");
    CDialogUnderTest t;
    QCOMPARE(Drives(t.dlg.m_lstDrives).first(), QStringLiteral("<b>x</b> & Co"));
    t.Select(0);
    t.Select(3);
    // A report without attributes 194 and 9 leaves those two texts.
    QCOMPARE(Panel(t.dlg).mid(3),
             (QStringList{"容量： -1 GB (-1 GiB)", "S/N： <i>s</i>", "Firmware Revision： ",
                          "温度： 38 ℃", "総稼動時間： 12,345 時間"}));
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： <b>x</b> & Co"));
    for (const QLabel* label : t.dlg.findChildren<QLabel*>()) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), QStringList{"1"});
}

void TestViewerDlg::doubleClickRefillsWithoutShowing() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdc, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t(true);
    t.Select(0);
    folder.WriteReport(0, kWdc, "ATTR_194=110,100,0,40,45\n", kWdcInfo);
    // A double click arrives after a click on the entry, selected already.
    const QPoint centre = t.dlg.m_lstDrives.visualItemRect(t.dlg.m_lstDrives.item(0)).center();
    QTest::mouseClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), QStringList{"194"});
    QCOMPARE(t.dlg.m_strTemperature, QStringLiteral("温度： 40 ℃"));
    QCOMPARE(Label(t.dlg, "ctrl1005"), QStringLiteral("温度： 38 ℃"));
}

void TestViewerDlg::malformedReport_data() {
    QTest::addColumn<QByteArray>("attributes");
    QTest::addColumn<QStringList>("rows");
    // Attributes after the faulty line are never read.
    QTest::newRow("third line") << QByteArray("ATTR_1=100,100,0,0,0\nATTR_3=100,100,0,0,0\n"
                                              "ATTR_7=1,2,3\nATTR_9=90,90,0,500,0\n")
                                << QStringList{"1", "3"};
    QTest::newRow("first line") << QByteArray("ATTR_2=1,2,3,4,5,6\nATTR_3=100,100,0,0,0\n")
                                << QStringList{};
}

void TestViewerDlg::malformedReport() {
    QFETCH(QByteArray, attributes);
    QFETCH(QStringList, rows);
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdc, attributes, kWdcInfo);
    CDialogUnderTest t;
    t.Select(0);
    QCOMPARE(t.errors, QStringList{kParseError});
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), rows);
    QCOMPARE(t.dlg.m_strPowerOnTime, QString());
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"));
}

void TestViewerDlg::parseErrorBoxIsParentless() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "M", "ATTR_2=1,2\n");
    CViewerDlg dlg; // with the real message box
    dlg.OnInitDialog();
    QStringList seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        QVERIFY(box->parentWidget() == nullptr && box->icon() == QMessageBox::Critical);
        QVERIFY(box->standardButtons() == QMessageBox::Ok && box->windowTitle().isEmpty());
        seen << box->text();
        box->button(QMessageBox::Ok)->click();
    });
    dlg.m_lstDrives.setCurrentRow(0);
    QCOMPARE(seen, QStringList{kParseError});
}

void TestViewerDlg::headerClicksSortTheTable() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdc,
                       "ATTR_1=100,100,0,0,0\nATTR_2=100,100,0,0,0\nATTR_3=90,90,95,0,0\n"
                       "ATTR_9=100,100,0,1,0\nATTR_10=100,100,0,0,0\nATTR_12=100,100,0,0,0\n"
                       "ATTR_194=100,100,0,30,40\n");
    folder.WriteReport(1, "Second", "ATTR_1=100,100,0,0,0\nATTR_2=100,100,0,0,0\n");
    CDialogUnderTest t(true);
    t.Select(0);
    const CRankListCtrl& table = t.dlg.m_lvAttributes;
    const auto rankOf3 = [&] { return table.RowRank(int(Column(table, 0).indexOf("3"))); };
    ClickHeader(t.dlg, 0);
    QCOMPARE(Column(table, 0), (QStringList{"1", "10", "12", "194", "2", "3", "9"}));
    QCOMPARE(rankOf3(), 1u);
    ClickHeader(t.dlg, 0);
    QCOMPARE(Column(table, 0), (QStringList{"9", "3", "2", "194", "12", "10", "1"}));
    QCOMPARE(rankOf3(), 1u);
    ClickHeader(t.dlg, 4); // another column starts ascending
    QCOMPARE(Column(table, 4).last(), QStringLiteral("95 (-5)"));
    QCOMPARE(rankOf3(), 1u);
    QCOMPARE(table.Header().ArrowColumn(), 4);
    // Another drive comes in id order, the arrow stays, the next click reverses.
    t.Select(1);
    QCOMPARE(Column(table, 0), (QStringList{"1", "2"}));
    QCOMPARE(table.Header().ArrowColumn(), 4);
    ClickHeader(t.dlg, 4);
    QVERIFY(!table.IsAscending());
}

void TestViewerDlg::placeholderWhileCollectorRuns() {
    CTestFolder folder;
    folder.WriteReport(0, "Drive");
    // Holds on only when asked to, so that the start-up run ends at once.
    folder.WriteCollector("[ -e hold ] && while [ ! -e go ]; do sleep 0.02; done; exit 0");
    CDialogUnderTest t(true);
    t.Select(0);
    folder.WriteFile("hold", "");
    QStringList during;
    int rowsDuring = -1;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool visibleAfterClose = false;
    QTimer::singleShot(50, [&] { // timers run during the wait
        during = Drives(t.dlg.m_lstDrives);
        rowsDuring = t.dlg.m_lvAttributes.RowCount();
        if (QGuiApplication::overrideCursor() != nullptr) {
            cursor = QGuiApplication::overrideCursor()->shape();
        }
        t.dlg.close(); // held back until the collector has ended
        visibleAfterClose = t.dlg.isVisible();
        folder.WriteFile("go", "");
    });
    QTest::mouseClick(t.dlg.findChild<QPushButton*>("ctrl1008"), Qt::LeftButton);
    QCOMPARE(during, QStringList{"取得中..."});
    QCOMPARE(rowsDuring, 0);
    QCOMPARE(cursor, Qt::WaitCursor);
    QVERIFY(visibleAfterClose);
    QCOMPARE(Drives(t.dlg.m_lstDrives), QStringList{"Drive"});
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QTRY_VERIFY(!t.dlg.isVisible());
    QCOMPARE(t.dlg.result(), int(QDialog::Rejected));
}

void TestViewerDlg::hungCollectorStoppedAtTheBound() {
    CTestFolder folder;
    folder.WriteReport(5, "Left over");
    folder.WriteCollector("echo $$ > pid\nexec sleep 600");
    CViewerDlg dlg;
    dlg.SetCollectorTimeout(std::chrono::milliseconds(200));
    dlg.OnInitDialog();
    bool ok = false;
    const pid_t pid = folder.ReadFile("pid").trimmed().toInt(&ok);
    QVERIFY(ok && pid > 0);
    QVERIFY(kill(pid, 0) == -1 && errno == ESRCH); // ended and reaped
    QCOMPARE(Drives(dlg.m_lstDrives), QStringList{"Left over"});
}

void TestViewerDlg::chord_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("calls");
    const int all = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Alt+Shift+O") << int(Qt::Key_O) << all << 1;
    QTest::newRow("Ctrl+Alt+O") << int(Qt::Key_O) << (all & ~int(Qt::ShiftModifier)) << 0;
    QTest::newRow("Ctrl+Shift+O") << int(Qt::Key_O) << (all & ~int(Qt::AltModifier)) << 0;
    QTest::newRow("Alt+Shift+O") << int(Qt::Key_O) << (all & ~int(Qt::ControlModifier)) << 0;
    QTest::newRow("O") << int(Qt::Key_O) << 0 << 0;
    QTest::newRow("with Meta") << int(Qt::Key_O) << int(all | Qt::MetaModifier) << 0;
    QTest::newRow("Ctrl+Alt+Shift+P") << int(Qt::Key_P) << all << 0;
}

void TestViewerDlg::chord() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, calls);
    CTestFolder folder;
    folder.WriteCountingCollector();
    CDialogUnderTest t(true);
    for (QWidget* target : {static_cast<QWidget*>(&t.dlg.m_lstDrives),
                            static_cast<QWidget*>(&t.dlg.m_lvAttributes)}) {
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    }
    QCOMPARE(t.chooser.size(), 2 * 3 * calls);
    QVERIFY(t.dlg.isVisible());
}

void TestViewerDlg::chooser_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestViewerDlg::chooser() {
    QFETCH(bool, confirm);
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdc, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.chooserAnswer = confirm;
    t.Select(0);
    folder.WriteReport(1, "Added later");
    t.dlg.OnOpenReport();
    QCOMPARE(t.chooser, (QVariantList{true, "INIファイル(*.ini)", "開く"}));
    // A confirmed file refreshes like the button; the file itself never shows.
    QCOMPARE(folder.CollectorRuns(), confirm ? 2 : 1);
    QCOMPARE(Drives(t.dlg.m_lstDrives),
             confirm ? (QStringList{"Added later", kWdc}) : QStringList{kWdc});
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), confirm ? -1 : 0);
    QCOMPARE(t.dlg.m_lvAttributes.RowCount(), confirm ? 1 : 6);
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"));

    QWidget owner;
    const std::unique_ptr<QFileDialog> dialog =
        MakeOpenFileDialog(&owner, QStringLiteral("INIファイル(*.ini)"), QStringLiteral("開く"));
    QCOMPARE(dialog->parentWidget(), &owner);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("開く"));
    QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("INIファイル(*.ini)")});
    QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
    QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
}

void TestViewerDlg::enterAndEscEndTheDialog_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter, list") << int(Qt::Key_Return) << "ctrl1001" << int(QDialog::Accepted);
    QTest::newRow("Enter, table") << int(Qt::Key_Enter) << "ctrl1000" << int(QDialog::Accepted);
    QTest::newRow("Enter, button") << int(Qt::Key_Return) << "ctrl1008" << int(QDialog::Accepted);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << "ctrl1001" << int(QDialog::Rejected);
}

void TestViewerDlg::enterAndEscEndTheDialog() {
    QFETCH(int, key);
    QFETCH(QString, focus);
    QFETCH(int, result);
    CTestFolder folder;
    folder.WriteCountingCollector();
    CDialogUnderTest t;
    QTimer::singleShot(0, [&] {
        QWidget* target = t.dlg.findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        QCOMPARE(folder.CollectorRuns(), 1); // the button was not clicked
        if (t.dlg.isVisible()) {
            t.dlg.done(-1);
        }
    });
    QCOMPARE(t.dlg.exec(), result);
}

void TestViewerDlg::aboutEntryInContextMenu() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    CDialogUnderTest t(true);
    QStringList seen;
    QTimer::singleShot(0, [&] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr && menu->actions().size() == 1);
        seen << menu->actions().first()->text();
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 400),
                            t.dlg.mapToGlobal(QPoint(20, 400)));
    QCoreApplication::sendEvent(&t.dlg, &event);
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        QVERIFY(about != nullptr);
        seen << about->windowTitle() << about->findChildren<QLabel*>().at(1)->text();
        QPushButton* ok = about->findChild<QPushButton*>();
        QVERIFY(ok->isDefault());
        ok->click();
    });
    t.dlg.AboutAction().trigger();
    QCOMPARE(seen, (QStringList{"Tolvenar のﾊﾞｰｼﾞｮﾝ情報(&A)...", "Tolvenarのﾊﾞｰｼﾞｮﾝ情報",
                                "Tolvenar Version 1.0"}));
}

void TestViewerDlg::driveListIconsTellTheState() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteAttributeTable();
    folder.WriteReport(0, "A below threshold", "ATTR_1=200,200,51,0,0\nATTR_5=30,30,36,500,0\n");
    folder.WriteReport(1, "B verdict", "ATTR_1=200,200,51,0,0\n", "SMART_STATUS=FAILED\n");
    folder.WriteReport(2, "C reallocated", "ATTR_1=200,200,51,0,0\nATTR_5=98,98,36,8,0\n");
    folder.WriteReport(3, "D fine", "ATTR_1=200,200,51,0,0\nATTR_5=100,100,36,0,0\n");
    folder.WriteReport(4, "E malformed", "ATTR_1=200,200,51,0,0\nATTR_5=100,100\n");
    folder.WriteReport(5, "F empty");
    CDialogUnderTest t;
    const CDriveListBox& list = t.dlg.m_lstDrives;
    QCOMPARE(Drives(list), (QStringList{"A below threshold", "B verdict", "C reallocated", "D fine",
                                        "E malformed", "F empty"}));
    const DriveState expected[] = {DriveState::Failing, DriveState::Failing, DriveState::Warning,
                                   DriveState::Fine,    DriveState::NoData,  DriveState::NoData};
    QList<QImage> icons;
    for (int i = 0; i < list.GetCount(); ++i) {
        QCOMPARE(list.item(i)->data(kDriveStateRole).toInt(), static_cast<int>(expected[i]));
        icons << list.item(i)->icon().pixmap(16).toImage();
        QVERIFY(!icons.back().isNull());
    }
    // One icon per state, and the four states apart.
    QCOMPARE(icons[0], icons[1]);
    QCOMPARE(icons[4], icons[5]);
    for (int i = 1; i < 5; ++i) {
        for (int j = i + 1; j < 5; ++j) {
            QVERIFY2(icons[i] != icons[j], qPrintable(QStringLiteral("%1 %2").arg(i).arg(j)));
        }
    }
}

void TestViewerDlg::warnedRowsSayWhyAndRedRowsStayRed() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteAttributeTable();
    folder.WriteReport(0, "Mixed",
                       "ATTR_5=98,98,36,8,0\nATTR_187=30,30,36,2,0\nATTR_9=90,90,0,5,0\n",
                       "SERIAL_NUMBER=S1\n");
    CDialogUnderTest t;
    t.Select(0);
    const CRankListCtrl& table = t.dlg.m_lvAttributes;
    QCOMPARE(Column(table, 0), (QStringList{"5", "9", "187"}));
    // A counter above zero warns; the red row keeps its rank and red.
    QCOMPARE(table.RowRank(0), 0u);
    QVERIFY(table.IsRowWarned(0));
    QCOMPARE(table.TextColorForRow(table.RowRank(0), true), CRankListCtrl::WarningColor());
    QVERIFY(CRankListCtrl::WarningColor() != kRed);
    QCOMPARE(table.topLevelItem(0)->toolTip(2),
             QStringLiteral("Mixed (S1): 5 Reallocated Sectors Count が 8 です"));
    QCOMPARE(table.RowRank(2), 1u);
    QVERIFY(!table.IsRowWarned(2));
    QCOMPARE(table.TextColorForRow(table.RowRank(2), table.IsRowWarned(2)), kRed);
    QVERIFY(table.topLevelItem(2)->toolTip(0).contains(QStringLiteral("が危険値を下回りました")));
    QVERIFY(!table.IsRowWarned(1));
    QCOMPARE(table.topLevelItem(1)->toolTip(0), QString());
}

QTEST_MAIN(TestViewerDlg)
#include "tst_viewer_dlg.moc"
