#include "controls/arrow_header_ctrl.h"
#include "identify/vendor_identification.h"
#include "test_folder.h"
#include "ui/about_dlg.h"
#include "ui/choose_open_file.h"
#include "ui/viewer_dlg.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <cerrno>
#include <csignal>

namespace {

const QString kHint = QStringLiteral("←左のリストからHDDを選択してください。");
const QString kParseError = QStringLiteral("解析エラー。INIファイルが不正です。");
const QColor kRed(250, 0, 0);

const QByteArray kWdcAttributes = "ATTR_1=200,200,51,0,0\n"
                                  "ATTR_5=100,100,140,12,0\n"
                                  "ATTR_9=90,90,0,12345,0\n"
                                  "ATTR_10=100,100,0,0,0\n"
                                  "ATTR_12=100,100,0,77,0\n"
                                  "ATTR_194=110,100,0,38,45\n";
const QByteArray kWdcInfo = "SERIAL_NUMBER=WD-WCC3F0000001\nFIRMWARE_REVISION=01.01A01\n"
                            "SIZE_GB=1000\nSIZE_GIB=931\n";
const QByteArray kWdcModel = "WDC WD10EZEX-00BN5A0";
const QByteArray kOddModel = "<b>x</b> & Co";

QStringList DriveTexts(const CDriveListBox& list) {
    QStringList texts;
    for (int i = 0; i < list.GetCount(); ++i) {
        texts << list.GetText(i);
    }
    return texts;
}

QList<int> DriveData(const CDriveListBox& list) {
    QList<int> data;
    for (int i = 0; i < list.GetCount(); ++i) {
        data << list.GetItemData(i);
    }
    return data;
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

void SelectDrive(CViewerDlg& dlg, int drive) {
    for (int i = 0; i < dlg.m_lstDrives.GetCount(); ++i) {
        if (dlg.m_lstDrives.GetItemData(i) == drive) {
            dlg.m_lstDrives.setCurrentRow(i);
            return;
        }
    }
    QFAIL("drive not listed");
}

void ClickHeader(CViewerDlg& dlg, int column) {
    QHeaderView* header = dlg.m_lvAttributes.header();
    const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
}

bool ProcessGone(pid_t pid) {
    return kill(pid, 0) == -1 && errno == ESRCH;
}

// A dialog that never opens a modal window by itself.
struct CDialogUnderTest {
    CDialogUnderTest() {
        dlg.SetErrorBox([this](const QString& text) { errors << text; });
        dlg.SetFileChooser(
            [this](QWidget* owner, QString& path, const QString& filter, const QString& title) {
                ++chooserCalls;
                chooserOwner = owner;
                chooserFilter = filter;
                chooserTitle = title;
                path = QStringLiteral("/somewhere/else.ini");
                return chooserAnswer;
            });
    }

    CViewerDlg dlg;
    QStringList errors;
    int chooserCalls = 0;
    bool chooserAnswer = false;
    QWidget* chooserOwner = nullptr;
    QString chooserFilter;
    QString chooserTitle;
};

} // namespace

class TestViewerDlg : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void startupWithoutReportsOrCollector();
    void layoutFollowsTheTemplate_data();
    void layoutFollowsTheTemplate();
    void fixedTexts();
    void drivesListedByModel();
    void scanRunsAfterTheCollector();
    void selectingADriveShowsEverything();
    void failingRowsAreRed();
    void labelsArePlainText();
    void temperatureAndPowerOnKept();
    void doubleClickRefillsWithoutShowing();
    void malformedReport();
    void malformedFirstLineLeavesTableEmpty();
    void parseErrorBoxIsParentless();
    void headerClicksSortTheTable();
    void refreshKeepsThePanel();
    void placeholderWhileCollectorRuns();
    void hungCollectorStoppedAtTheBound();
    void chord_data();
    void chord();
    void chooserConfirmedRefreshes_data();
    void chooserConfirmedRefreshes();
    void openFileDialogSetup();
    void enterAndEscEndTheDialog_data();
    void enterAndEscEndTheDialog();
    void aboutEntryInContextMenu();

private:
    QTemporaryDir m_emptyPath; // a PATH with no collector on it
};

void TestViewerDlg::initTestCase() {
    QApplication::setFont(DialogFont());
}

void TestViewerDlg::startupWithoutReportsOrCollector() {
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QCOMPARE(t.dlg.m_lstDrives.GetCount(), 0);
    QCOMPARE(t.dlg.m_lvAttributes.RowCount(), 1);
    QCOMPARE(t.dlg.m_lvAttributes.RowText(0, 0), QString());
    QCOMPARE(t.dlg.m_lvAttributes.RowText(0, 1), kHint);
    QCOMPARE(t.dlg.m_lvAttributes.RowRank(0), 0u);
    for (const char* name : {"ctrl1003", "ctrl1004", "ctrl1005", "ctrl1006", "ctrl1007", "ctrl1009",
                             "ctrl1010", "ctrl1011"}) {
        QCOMPARE(Label(t.dlg, name), QString());
    }
    QVERIFY(t.errors.isEmpty());
}

void TestViewerDlg::layoutFollowsTheTemplate_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("units");
    QTest::addColumn<bool>("visible");
    QTest::newRow("HDD devices") << "ctrlDevices" << QRect(4, 7, 83, 8) << true;
    QTest::newRow("1001") << "ctrl1001" << QRect(4, 17, 105, 105) << true;
    QTest::newRow("1006") << "ctrl1006" << QRect(4, 139, 92, 8) << true;
    QTest::newRow("1007") << "ctrl1007" << QRect(4, 151, 98, 8) << true;
    QTest::newRow("1010") << "ctrl1010" << QRect(13, 161, 101, 8) << true;
    QTest::newRow("1009") << "ctrl1009" << QRect(4, 173, 99, 8) << true;
    QTest::newRow("1003") << "ctrl1003" << QRect(4, 184, 89, 8) << true;
    QTest::newRow("1004") << "ctrl1004" << QRect(4, 194, 101, 8) << true;
    QTest::newRow("1005") << "ctrl1005" << QRect(4, 205, 64, 8) << true;
    QTest::newRow("1011") << "ctrl1011" << QRect(4, 216, 93, 8) << true;
    QTest::newRow("1012") << "ctrl1012" << QRect(4, 260, 107, 11) << false;
    QTest::newRow("1008") << "ctrl1008" << QRect(4, 276, 99, 14) << true;
    QTest::newRow("1000") << "ctrl1000" << QRect(115, 7, 339, 283) << true;
    QTest::newRow("rank") << "ctrlRank" << QRect(105, 119, 8, 43) << false;
    QTest::newRow("high") << "ctrlRankHigh" << QRect(106, 9, 8, 29) << false;
    QTest::newRow("low") << "ctrlRankLow" << QRect(105, 264, 8, 26) << false;
}

void TestViewerDlg::layoutFollowsTheTemplate() {
    QFETCH(QString, name);
    QFETCH(QRect, units);
    QFETCH(bool, visible);
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    const QWidget* control = t.dlg.findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->geometry(),
             t.dlg.Units().MapRect(units.x(), units.y(), units.width(), units.height()));
    QCOMPARE(control->isVisible(), visible);
    const QSize size = t.dlg.Units().MapSize(459, 297);
    QCOMPARE(t.dlg.size(), size);
    QCOMPARE(t.dlg.minimumSize(), size);
    QCOMPARE(t.dlg.maximumSize(), size);
}

void TestViewerDlg::fixedTexts() {
    CTestFolder folder;
    CPathOverride path(m_emptyPath.path().toUtf8());
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QCOMPARE(t.dlg.windowTitle(), QStringLiteral("HDD S.M.A.R.T. Viewer Farrowmere!! - v0.27.0"));
    QCOMPARE(Label(t.dlg, "ctrlDevices"), QStringLiteral("HDDデバイス："));
    QCOMPARE(Label(t.dlg, "ctrlRank"), QStringLiteral("ラ　ン　ク"));
    QCOMPARE(Label(t.dlg, "ctrlRankHigh"), QStringLiteral("↑　高"));
    QCOMPARE(Label(t.dlg, "ctrlRankLow"), QStringLiteral("低　↓"));
    QCOMPARE(t.dlg.findChild<QCheckBox*>("ctrl1012")->text(),
             QStringLiteral("優先度の低い項目を隠す"));
    const QPushButton* refresh = t.dlg.findChild<QPushButton*>("ctrl1008");
    QCOMPARE(refresh->text(), QStringLiteral("最新情報の取得"));
    QVERIFY(!refresh->autoDefault());
    QVERIFY(!refresh->isDefault());

    const QStringList titles{"ID", "概要", "値", "点数(ﾜｰｽﾄ)", "危険値"};
    const int widths[] = {28, 330, 82, 75, 60};
    QCOMPARE(t.dlg.m_lvAttributes.columnCount(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(t.dlg.m_lvAttributes.headerItem()->text(i), titles[i]);
        QCOMPARE(t.dlg.m_lvAttributes.header()->sectionSize(i), widths[i]);
    }
    QVERIFY(t.dlg.m_lvAttributes.header()->defaultAlignment() & Qt::AlignLeft);
}

void TestViewerDlg::drivesListedByModel() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "ZETA 1");
    folder.WriteReport(3, "alpha 2");
    folder.WriteReport(7, "alpha 2");
    folder.WriteReport(1049, "Last");
    folder.WriteReport(1050, "Beyond");
    folder.WriteFile("smart_PhysicalDrive12.ini", "[SMARTS]\n"); // no model
    folder.WriteFile("smart_PhysicalDrive013.ini", "[HDDINFO]\nMODEL=Padded\n");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QCOMPARE(DriveTexts(t.dlg.m_lstDrives),
             (QStringList{"", "alpha 2", "alpha 2", "Last", "ZETA 1"}));
    QCOMPARE(DriveData(t.dlg.m_lstDrives), (QList<int>{12, 3, 7, 1049, 0}));
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), -1);
}

void TestViewerDlg::scanRunsAfterTheCollector() {
    CTestFolder folder;
    folder.WriteReport(0, "Old");
    folder.WriteCollector("echo \"run $*\" >> runs.log\n"
                          "printf '[HDDINFO]\\nMODEL=Fresh\\n' > smart_PhysicalDrive2.ini\n"
                          "rm -f smart_PhysicalDrive0.ini");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QCOMPARE(folder.ReadFile("runs.log"), QByteArray("run -uf\n"));
    QCOMPARE(DriveTexts(t.dlg.m_lstDrives), QStringList{"Fresh"});
    QCOMPARE(DriveData(t.dlg.m_lstDrives), QList<int>{2});
}

void TestViewerDlg::selectingADriveShowsEverything() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteAttributeTable();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    QTest::mouseClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {},
                      t.dlg.m_lstDrives.visualItemRect(t.dlg.m_lstDrives.item(0)).center());
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), 0);

    char series[kSeriesBufferSize] = {};
    const QString vendor = QString::fromUtf8(IdentifyVendor(kWdcModel.constData(), series));
    const QStringList expected{
        QStringLiteral("メーカ： ") + vendor,
        QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"),
        QStringLiteral("容量： 1000 GB (931 GiB)"),
        QStringLiteral("S/N： WD-WCC3F0000001"),
        QStringLiteral("Firmware Revision： 01.01A01"),
        QStringLiteral("温度： 38 ℃"),
        QStringLiteral("総稼動時間： 12,345 時間"),
    };
    const QStringList members{t.dlg.m_strVendor,     t.dlg.m_strModel,    t.dlg.m_strCapacity,
                              t.dlg.m_strSerial,     t.dlg.m_strFirmware, t.dlg.m_strTemperature,
                              t.dlg.m_strPowerOnTime};
    QCOMPARE(members, expected);
    const QStringList labels{Label(t.dlg, "ctrl1006"), Label(t.dlg, "ctrl1007"),
                             Label(t.dlg, "ctrl1009"), Label(t.dlg, "ctrl1003"),
                             Label(t.dlg, "ctrl1004"), Label(t.dlg, "ctrl1005"),
                             Label(t.dlg, "ctrl1011")};
    QCOMPARE(labels, expected);
    QCOMPARE(Label(t.dlg, "ctrl1010"), t.dlg.m_strSeries);

    const CRankListCtrl& table = t.dlg.m_lvAttributes;
    QCOMPARE(Column(table, 0), (QStringList{"1", "5", "9", "10", "12", "194"}));
    QCOMPARE(table.RowText(1, 1), QStringLiteral("Reallocated Sectors Count"));
    QCOMPARE(table.RowText(1, 2), QStringLiteral("12 sectors"));
    QCOMPARE(table.RowText(1, 3), QStringLiteral("100 (100)"));
    QCOMPARE(table.RowText(1, 4), QStringLiteral("140 (-40)"));
    QCOMPARE(table.RowText(0, 1), QStringLiteral("Read Error Rate"));
    QCOMPARE(table.RowText(3, 1), QStringLiteral("？？？"));
    QCOMPARE(table.RowText(5, 3), QStringLiteral("- (45 ℃)"));
    const QList<quint32> ranks{0, 1, 0, 0, 0, 0};
    for (int row = 0; row < table.RowCount(); ++row) {
        QCOMPARE(table.RowRank(row), ranks[row]);
        QCOMPARE(table.TextColorForRank(table.RowRank(row)),
                 ranks[row] == 1 ? kRed : table.palette().color(QPalette::Text));
    }
    QVERIFY(t.errors.isEmpty());
}

void TestViewerDlg::failingRowsAreRed() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteAttributeTable();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    SelectDrive(t.dlg, 0);
    const QImage image = t.dlg.m_lvAttributes.viewport()->grab().toImage();
    for (int row = 0; row < t.dlg.m_lvAttributes.RowCount(); ++row) {
        const QRect rect =
            t.dlg.m_lvAttributes.visualItemRect(t.dlg.m_lvAttributes.topLevelItem(row));
        int red = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                red += image.pixelColor(x, y) == kRed ? 1 : 0;
            }
        }
        QCOMPARE(red > 0, t.dlg.m_lvAttributes.RowRank(row) == 1);
    }
}

void TestViewerDlg::labelsArePlainText() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(4, kOddModel, {}, "SERIAL_NUMBER=<i>s</i>\n");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QCOMPARE(t.dlg.m_lstDrives.GetText(0), QString::fromUtf8(kOddModel));
    SelectDrive(t.dlg, 4);
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： <b>x</b> & Co"));
    QCOMPARE(Label(t.dlg, "ctrl1003"), QStringLiteral("S/N： <i>s</i>"));
    QCOMPARE(Label(t.dlg, "ctrl1009"), QStringLiteral("容量： -1 GB (-1 GiB)"));
    const QList<QLabel*> labels = t.dlg.findChildren<QLabel*>();
    QVERIFY(labels.size() >= 12);
    for (const QLabel* label : labels) {
        QCOMPARE(label->textFormat(), Qt::PlainText);
    }
}

void TestViewerDlg::temperatureAndPowerOnKept() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    folder.WriteReport(3, kOddModel, "ATTR_1=100,100,0,0,0\n");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    SelectDrive(t.dlg, 0);
    SelectDrive(t.dlg, 3);
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： <b>x</b> & Co"));
    QCOMPARE(Label(t.dlg, "ctrl1005"), QStringLiteral("温度： 38 ℃"));
    QCOMPARE(Label(t.dlg, "ctrl1011"), QStringLiteral("総稼動時間： 12,345 時間"));
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), QStringList{"1"});
}

void TestViewerDlg::doubleClickRefillsWithoutShowing() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    SelectDrive(t.dlg, 0);
    folder.WriteReport(0, kWdcModel, "ATTR_194=110,100,0,40,45\n", kWdcInfo);
    const QPoint centre = t.dlg.m_lstDrives.visualItemRect(t.dlg.m_lstDrives.item(0)).center();
    // A double click starts as a click on the entry, already selected here.
    QTest::mouseClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(t.dlg.m_lstDrives.viewport(), Qt::LeftButton, {}, centre);
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), QStringList{"194"});
    QCOMPARE(t.dlg.m_strTemperature, QStringLiteral("温度： 40 ℃"));
    QCOMPARE(Label(t.dlg, "ctrl1005"), QStringLiteral("温度： 38 ℃"));
}

void TestViewerDlg::malformedReport() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel,
                       "ATTR_1=100,100,0,0,0\nATTR_3=100,100,0,0,0\nATTR_7=1,2,3\n"
                       "ATTR_9=90,90,0,500,0\n",
                       kWdcInfo);
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    SelectDrive(t.dlg, 0);
    QCOMPARE(t.errors, QStringList{kParseError});
    QCOMPARE(Column(t.dlg.m_lvAttributes, 0), (QStringList{"1", "3"}));
    // Attributes after the faulty line are never read; the panel still shows.
    QCOMPARE(t.dlg.m_strPowerOnTime, QString());
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"));
}

void TestViewerDlg::malformedFirstLineLeavesTableEmpty() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "M", "ATTR_2=1,2,3,4,5,6\nATTR_3=100,100,0,0,0\n");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    SelectDrive(t.dlg, 0);
    QCOMPARE(t.errors, QStringList{kParseError});
    QCOMPARE(t.dlg.m_lvAttributes.RowCount(), 0);
}

void TestViewerDlg::parseErrorBoxIsParentless() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, "M", "ATTR_2=1,2\n");
    CViewerDlg dlg; // the real message box
    dlg.OnInitDialog();
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        QVERIFY(box != nullptr);
        seen = true;
        QCOMPARE(box->parentWidget(), nullptr);
        QCOMPARE(box->text(), kParseError);
        QCOMPARE(box->icon(), QMessageBox::Critical);
        QCOMPARE(box->standardButtons(), QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(box->windowTitle(), QString());
        box->button(QMessageBox::Ok)->click();
    });
    SelectDrive(dlg, 0);
    QVERIFY(seen);
}

void TestViewerDlg::headerClicksSortTheTable() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel,
                       "ATTR_1=100,100,0,0,0\nATTR_2=100,100,0,0,0\nATTR_3=90,90,95,0,0\n"
                       "ATTR_9=100,100,0,1,0\nATTR_10=100,100,0,0,0\nATTR_12=100,100,0,0,0\n"
                       "ATTR_194=100,100,0,30,40\n",
                       kWdcInfo);
    folder.WriteReport(1, "Second", "ATTR_1=100,100,0,0,0\nATTR_2=100,100,0,0,0\n");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    SelectDrive(t.dlg, 0);
    const CRankListCtrl& table = t.dlg.m_lvAttributes;
    const auto rankOf = [&](const QString& id) {
        return table.RowRank(static_cast<int>(Column(table, 0).indexOf(id)));
    };

    ClickHeader(t.dlg, 0);
    QCOMPARE(Column(table, 0), (QStringList{"1", "10", "12", "194", "2", "3", "9"}));
    QCOMPARE(rankOf("3"), 1u);
    ClickHeader(t.dlg, 0);
    QCOMPARE(Column(table, 0), (QStringList{"9", "3", "2", "194", "12", "10", "1"}));
    QCOMPARE(rankOf("3"), 1u);
    QCOMPARE(table.Header().ArrowColumn(), 0);
    QVERIFY(!table.Header().IsArrowAscending());
    ClickHeader(t.dlg, 4); // another column starts ascending
    QVERIFY(table.IsAscending());
    QCOMPARE(table.Header().ArrowColumn(), 4);
    QCOMPARE(Column(table, 4).first(), QStringLiteral("0 (+100)"));
    QCOMPARE(Column(table, 4).last(), QStringLiteral("95 (-5)"));
    QCOMPARE(rankOf("3"), 1u);
    QCOMPARE(table.RowRank(table.RowCount() - 1), 1u);

    // Another drive comes in id order; the arrow and direction stay.
    SelectDrive(t.dlg, 1);
    QCOMPARE(Column(table, 0), (QStringList{"1", "2"}));
    QCOMPARE(table.Header().ArrowColumn(), 4);
    ClickHeader(t.dlg, 4);
    QVERIFY(!table.IsAscending());
}

void TestViewerDlg::refreshKeepsThePanel() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    SelectDrive(t.dlg, 0);
    const QString model = Label(t.dlg, "ctrl1007");
    QTest::mouseClick(t.dlg.findChild<QPushButton*>("ctrl1008"), Qt::LeftButton);
    QCOMPARE(folder.CollectorRuns(), 2);
    QCOMPARE(Label(t.dlg, "ctrl1007"), model);
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), -1);
    QCOMPARE(Column(t.dlg.m_lvAttributes, 1), QStringList{kHint});
}

void TestViewerDlg::placeholderWhileCollectorRuns() {
    CTestFolder folder;
    folder.WriteReport(0, "Drive");
    // Holds on only when asked to, so that the start-up run ends at once.
    folder.WriteCollector("if [ -e hold ]; then\n"
                          "  while [ ! -e go ]; do sleep 0.02; done\n"
                          "fi");
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    SelectDrive(t.dlg, 0);
    folder.WriteFile("hold", "");

    QStringList during;
    int rowsDuring = -1;
    Qt::CursorShape cursor = Qt::ArrowCursor;
    bool visibleAfterClose = false;
    QTimer::singleShot(50, [&] {
        during = DriveTexts(t.dlg.m_lstDrives);
        rowsDuring = t.dlg.m_lvAttributes.RowCount();
        if (QGuiApplication::overrideCursor() != nullptr) {
            cursor = QGuiApplication::overrideCursor()->shape();
        }
        t.dlg.close(); // waits until the collector has ended
        visibleAfterClose = t.dlg.isVisible();
        folder.WriteFile("go", "");
    });
    QTest::mouseClick(t.dlg.findChild<QPushButton*>("ctrl1008"), Qt::LeftButton);
    QCOMPARE(during, QStringList{"取得中..."});
    QCOMPARE(rowsDuring, 0);
    QCOMPARE(cursor, Qt::WaitCursor);
    QVERIFY(visibleAfterClose);
    QCOMPARE(DriveTexts(t.dlg.m_lstDrives), QStringList{"Drive"});
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QTRY_VERIFY(!t.dlg.isVisible());
    QCOMPARE(t.dlg.result(), int(QDialog::Rejected));
}

void TestViewerDlg::hungCollectorStoppedAtTheBound() {
    CTestFolder folder;
    folder.WriteReport(5, "Left over");
    folder.WriteCollector("echo $$ > pid\nexec sleep 600");
    CDialogUnderTest t;
    t.dlg.SetCollectorTimeout(std::chrono::milliseconds(200));
    t.dlg.OnInitDialog();
    bool ok = false;
    const pid_t pid = folder.ReadFile("pid").trimmed().toInt(&ok);
    QVERIFY(ok && pid > 0);
    QVERIFY(ProcessGone(pid)); // ended and reaped
    QCOMPARE(DriveTexts(t.dlg.m_lstDrives), QStringList{"Left over"});
    QCOMPARE(DriveData(t.dlg.m_lstDrives), QList<int>{5});
}

void TestViewerDlg::chord_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("calls");
    const int all = Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+Alt+Shift+O") << int(Qt::Key_O) << all << 1;
    QTest::newRow("Ctrl+Alt+O") << int(Qt::Key_O) << int(Qt::ControlModifier | Qt::AltModifier)
                                << 0;
    QTest::newRow("Ctrl+Shift+O") << int(Qt::Key_O) << int(Qt::ControlModifier | Qt::ShiftModifier)
                                  << 0;
    QTest::newRow("Alt+Shift+O") << int(Qt::Key_O) << int(Qt::AltModifier | Qt::ShiftModifier) << 0;
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << int(Qt::ControlModifier) << 0;
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
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    t.dlg.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&t.dlg));
    // From the drive list and from the table alike.
    t.dlg.m_lstDrives.setFocus();
    QTest::keyClick(&t.dlg.m_lstDrives, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    t.dlg.m_lvAttributes.setFocus();
    QTest::keyClick(&t.dlg.m_lvAttributes, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(t.chooserCalls, 2 * calls);
    QVERIFY(t.dlg.isVisible());
}

void TestViewerDlg::chooserConfirmedRefreshes_data() {
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestViewerDlg::chooserConfirmedRefreshes() {
    QFETCH(bool, confirm);
    CTestFolder folder;
    folder.WriteCountingCollector();
    folder.WriteReport(0, kWdcModel, kWdcAttributes, kWdcInfo);
    CDialogUnderTest t;
    t.chooserAnswer = confirm;
    t.dlg.OnInitDialog();
    SelectDrive(t.dlg, 0);
    folder.WriteReport(1, "Added later");
    t.dlg.OnOpenReport();

    QCOMPARE(t.chooserCalls, 1);
    QCOMPARE(t.chooserOwner, &t.dlg);
    QCOMPARE(t.chooserFilter, QStringLiteral("INIファイル(*.ini)"));
    QCOMPARE(t.chooserTitle, QStringLiteral("開く"));
    QCOMPARE(folder.CollectorRuns(), confirm ? 2 : 1);
    // The chosen file itself never shows.
    QCOMPARE(DriveTexts(t.dlg.m_lstDrives),
             confirm ? (QStringList{"Added later", "WDC WD10EZEX-00BN5A0"})
                     : QStringList{"WDC WD10EZEX-00BN5A0"});
    QCOMPARE(t.dlg.m_lstDrives.GetCurSel(), confirm ? -1 : 0);
    QCOMPARE(t.dlg.m_lvAttributes.RowCount(), confirm ? 1 : 6);
    QCOMPARE(Label(t.dlg, "ctrl1007"), QStringLiteral("モデル： WDC WD10EZEX-00BN5A0"));
}

void TestViewerDlg::openFileDialogSetup() {
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
    QTest::newRow("Enter on the list")
        << int(Qt::Key_Return) << "ctrl1001" << int(QDialog::Accepted);
    QTest::newRow("Enter on the table")
        << int(Qt::Key_Enter) << "ctrl1000" << int(QDialog::Accepted);
    QTest::newRow("Enter on the button")
        << int(Qt::Key_Return) << "ctrl1008" << int(QDialog::Accepted);
    QTest::newRow("Esc") << int(Qt::Key_Escape) << "ctrl1001" << int(QDialog::Rejected);
}

void TestViewerDlg::enterAndEscEndTheDialog() {
    QFETCH(int, key);
    QFETCH(QString, focus);
    QFETCH(int, result);
    CTestFolder folder;
    folder.WriteCountingCollector();
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    QTimer::singleShot(0, [&] {
        QWidget* target = t.dlg.findChild<QWidget*>(focus);
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key));
        // Whatever ends the dialog, the button was not clicked.
        QCOMPARE(folder.CollectorRuns(), 1);
        if (t.dlg.isVisible()) {
            t.dlg.done(-1);
        }
    });
    QCOMPARE(t.dlg.exec(), result);
}

void TestViewerDlg::aboutEntryInContextMenu() {
    CTestFolder folder;
    folder.WriteCountingCollector();
    CDialogUnderTest t;
    t.dlg.OnInitDialog();
    t.dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&t.dlg));
    const QString entry = QStringLiteral("Tolvenar のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    QCOMPARE(t.dlg.AboutAction().text(), entry);

    QStringList menuEntries;
    QTimer::singleShot(0, [&] {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu != nullptr);
        for (const QAction* action : menu->actions()) {
            menuEntries << action->text();
        }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 400),
                            t.dlg.mapToGlobal(QPoint(20, 400)));
    QCoreApplication::sendEvent(&t.dlg, &event);
    QCOMPARE(menuEntries, QStringList{entry});

    QString caption;
    QStringList texts;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        QVERIFY(about != nullptr);
        caption = about->windowTitle();
        for (const QLabel* label : about->findChildren<QLabel*>()) {
            texts << label->text();
        }
        QPushButton* ok = about->findChild<QPushButton*>();
        QVERIFY(ok != nullptr && ok->isDefault());
        ok->click();
    });
    t.dlg.AboutAction().trigger();
    QCOMPARE(caption, QStringLiteral("Tolvenarのﾊﾞｰｼﾞｮﾝ情報"));
    QVERIFY(texts.contains(QStringLiteral("Tolvenar Version 1.0")));
}

QTEST_MAIN(TestViewerDlg)
#include "tst_viewer_dlg.moc"
