#include "ui/viewer_dlg.h"

#include "config/ini_store.h"
#include "config/program_folder.h"
#include "controls/arrow_header_ctrl.h"
#include "platform/program_lookup.h"
#include "report/drive_report.h"
#include "report/report_files.h"
#include "report/report_format.h"
#include "report/shown_texts.h"
#include "ui/about_dlg.h"
#include "ui/child_process.h"
#include "ui/choose_open_file.h"
#include "ui/drive_history.h"
#include "ui/drive_state.h"
#include "ui/history_tips.h"
#include "ui/history_window.h"
#include "ui/repainting_wait.h"
#include "ui/row_colors.h"
#include "ui/self_test_log_dlg.h"
#include "ui/self_test_texts.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QShortcut>
#include <cstdlib>
#include <sys/stat.h>

namespace {

const char* const kCollectorName = "quelmaro";
const char* const kCollectorArgument = "-uf";

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// Pixels, not template units, of the columns of kAttributeColumnTitles.
const int kColumnWidths[kAttributeColumnCount] = {28, 330, 82, 75, 60};

// The attribute id of a table row; the hint row has none.
constexpr int kAttributeIdRole = Qt::UserRole + 1;

// Every warning takes the same limit as tolvenar-report --check's default
// and the notifier's.
const WarningSettings kWarningSettings{};

// What the drive list's menu needs of a report.
struct DriveSelfTest {
    DriveIdentity identity;
    SelfTestState state;
};

DriveSelfTest ReadDriveSelfTest(const std::string& path) {
    CIniStore report;
    report.Open(path.c_str());
    DriveSelfTest drive;
    drive.identity.model = report.GetString(kModelKey.Path().c_str(), "");
    drive.identity.serial = report.GetString(kSerialKey.Path().c_str(), "");
    drive.state = ReadSelfTestState(report);
    return drive;
}

// The drive, not its number, names a window: a refresh may number the drives anew.
QString WindowKey(const std::string& path, const DriveIdentity& identity) {
    return FromUtf8(path + '\n' + identity.model + '\n' + identity.serial);
}

void Raise(QWidget* window) {
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void InitLabel(QLabel& label, const char* text, const char* name) {
    label.setTextFormat(Qt::PlainText); // a model such as <b>x</b> shows as it is
    label.setText(QString::fromUtf8(text));
    label.setObjectName(QString::fromLatin1(name));
}

} // namespace

CViewerDlg::CViewerDlg(QWidget* parent)
    : CBaseDialog(parent), m_lstDrives(this), m_lvAttributes(this), m_stDevices(this),
      m_stVendor(this), m_stModel(this), m_stSeries(this), m_stCapacity(this), m_stSerial(this),
      m_stFirmware(this), m_stTemperature(this), m_stPowerOnTime(this), m_chkHideLowPriority(this),
      m_btnRefresh(this), m_stRank(this), m_stRankHigh(this), m_stRankLow(this), m_actAbout(this),
      m_fnChooseFile(ChooseOpenFile), m_fnErrorBox(ShowParseError),
      m_fnNoticeBox([this](bool succeeded, const QString& text) { ShowNotice(succeeded, text); }) {
    setWindowTitle(QStringLiteral("HDD S.M.A.R.T. Viewer Farrowmere!! - v0.27.0"));
    SetTemplateSize(459, 297);

    InitLabel(m_stDevices, "HDDデバイス：", "ctrlDevices");
    InitLabel(m_stVendor, "メーカ：", "ctrl1006");
    InitLabel(m_stModel, "モデル：", "ctrl1007");
    InitLabel(m_stSeries, "", "ctrl1010");
    InitLabel(m_stCapacity, "容量： ", "ctrl1009");
    InitLabel(m_stSerial, "S/N：", "ctrl1003");
    InitLabel(m_stFirmware, "Firmware Revision：", "ctrl1004");
    InitLabel(m_stTemperature, "温度：", "ctrl1005");
    InitLabel(m_stPowerOnTime, "総稼働時間：", "ctrl1011");
    InitLabel(m_stRank, "ラ　ン　ク", "ctrlRank");
    InitLabel(m_stRankHigh, "↑　高", "ctrlRankHigh");
    InitLabel(m_stRankLow, "低　↓", "ctrlRankLow");
    // The rank scale is one character wide, so its texts stand vertically.
    for (QLabel* label : {&m_stRank, &m_stRankHigh, &m_stRankLow}) {
        label->setWordWrap(true);
        label->hide();
    }
    m_stRank.setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    m_lstDrives.setObjectName(QStringLiteral("ctrl1001"));
    m_lvAttributes.setObjectName(QStringLiteral("ctrl1000"));

    m_chkHideLowPriority.setObjectName(QStringLiteral("ctrl1012"));
    m_chkHideLowPriority.setText(QStringLiteral("優先度の低い項目を隠す"));
    m_chkHideLowPriority.hide();

    m_btnRefresh.setObjectName(QStringLiteral("ctrl1008"));
    m_btnRefresh.setText(QStringLiteral("最新情報の取得"));
    m_btnRefresh.setAutoDefault(false); // Enter ends the dialog, it never clicks this
    m_btnRefresh.setDefault(false);

    m_actAbout.setText(QStringLiteral("Tolvenar のﾊﾞｰｼﾞｮﾝ情報(&A)..."));

    LayOutControls();
    // Tab goes list, button, table; the order of construction alone would put
    // the table before the button.
    setTabOrder(&m_lstDrives, &m_btnRefresh);
    setTabOrder(&m_btnRefresh, &m_lvAttributes);

    connect(&m_lstDrives, &QListWidget::itemSelectionChanged, this,
            &CViewerDlg::OnSelChangeDriveList);
    connect(&m_lstDrives, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem*) { FillAttributeTable(); });
    connect(&m_lvAttributes, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item, int) { OpenHistory(item); });
    connect(&m_lvAttributes, &CRankListCtrl::RowOpenRequested, this, &CViewerDlg::OpenHistory);
    connect(&m_lvAttributes, &CRankListCtrl::RowMenuRequested, this, &CViewerDlg::ShowRowMenu);
    connect(&m_lstDrives, &CDriveListBox::DriveMenuRequested, this, &CViewerDlg::ShowDriveMenu);
    connect(&m_btnRefresh, &QPushButton::clicked, this, &CViewerDlg::Refresh);
    connect(&m_actAbout, &QAction::triggered, this, &CViewerDlg::ShowAboutBox);
}

CViewerDlg::~CViewerDlg() {
    // The member controls go before the dialog; they must not call back into it.
    m_lstDrives.blockSignals(true);
    m_lvAttributes.blockSignals(true);
}

void CViewerDlg::LayOutControls() {
    const CDialogUnits& u = Units();
    u.Place(m_stDevices, 4, 7, 83, 8);
    u.Place(m_lstDrives, 4, 17, 105, 105);
    // State icons no taller than the text keep the entries as close together
    // as a list of texts alone.
    const int iconSide = m_lstDrives.fontMetrics().height() - 1;
    m_lstDrives.setIconSize(QSize(iconSide, iconSide));
    u.Place(m_stVendor, 4, 139, 92, 8);
    u.Place(m_stModel, 4, 151, 98, 8);
    u.Place(m_stSeries, 13, 161, 101, 8);
    u.Place(m_stCapacity, 4, 173, 99, 8);
    u.Place(m_stSerial, 4, 184, 89, 8);
    u.Place(m_stFirmware, 4, 194, 101, 8);
    u.Place(m_stTemperature, 4, 205, 64, 8);
    u.Place(m_stPowerOnTime, 4, 216, 93, 8);
    u.Place(m_chkHideLowPriority, 4, 260, 107, 11);
    u.Place(m_btnRefresh, 4, 276, 99, 14);
    u.Place(m_lvAttributes, 115, 7, 339, 283);
    u.Place(m_stRank, 105, 119, 8, 43);
    u.Place(m_stRankHigh, 106, 9, 8, 29);
    u.Place(m_stRankLow, 105, 264, 8, 26);
}

void CViewerDlg::InsertColumns() {
    QStringList titles;
    for (const std::string& title : kAttributeColumnTitles) {
        titles << FromUtf8(title);
    }
    m_lvAttributes.setColumnCount(static_cast<int>(titles.size()));
    m_lvAttributes.setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
        m_lvAttributes.header()->resizeSection(i, kColumnWidths[i]);
    }
}

bool CViewerDlg::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    UpdateData(false); // the template's label texts give way to the empty panel texts
    InsertColumns();
    Refresh();
    if (m_hAccel == nullptr) { // a second, equal shortcut would make both ambiguous
        m_hAccel = new QShortcut(QKeySequence(Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_O), this);
        connect(m_hAccel, &QShortcut::activated, this, &CViewerDlg::OnOpenReport);
    }
    return true;
}

void CViewerDlg::UpdateData(bool saveAndValidate) {
    struct Binding {
        QString* member;
        QLabel* label;
    };
    const Binding bindings[] = {
        {&m_strFirmware, &m_stFirmware},
        {&m_strSerial, &m_stSerial},
        {&m_strTemperature, &m_stTemperature},
        {&m_strVendor, &m_stVendor},
        {&m_strModel, &m_stModel},
        {&m_strSeries, &m_stSeries},
        {&m_strCapacity, &m_stCapacity},
        {&m_strPowerOnTime, &m_stPowerOnTime},
    };
    for (const Binding& binding : bindings) {
        if (saveAndValidate) {
            *binding.member = binding.label->text();
        } else {
            binding.label->setText(*binding.member);
            // The label cuts what does not fit (a long model or serial
            // number); the tip shows it whole.
            const bool fits = binding.label->fontMetrics().horizontalAdvance(*binding.member) <=
                              binding.label->contentsRect().width();
            QStringList tip;
            if (!fits) {
                tip << *binding.member;
            }
            if (!m_strSelfTestProgress.isEmpty()) {
                tip << m_strSelfTestProgress;
            }
            binding.label->setToolTip(tip.join(QLatin1Char('\n')));
        }
    }
    if (saveAndValidate) {
        m_bHideLowPriority = m_chkHideLowPriority.isChecked();
    } else {
        m_chkHideLowPriority.setChecked(m_bHideLowPriority);
    }
}

void CViewerDlg::Refresh() {
    {
        // Signals of the list stand for the user's choices, not for these.
        const QSignalBlocker blocker(&m_lstDrives);
        m_lstDrives.ResetContent();
        m_lstDrives.AddString(QStringLiteral("取得中..."));
    }
    m_lvAttributes.DeleteAllRows();
    if (isVisible()) {
        repaint();
    }

    RunCollector();

    // No input reached the dialog meanwhile, so the placeholder is still the
    // only entry.
    const QSignalBlocker blocker(&m_lstDrives);
    m_lstDrives.DeleteString(0);
    m_lvAttributes.AddRow({QString(), QStringLiteral("←左のリストからHDDを選択してください。")}, 0);
    const CDriveWarningLoader loader(kWarningSettings);
    std::map<DriveState, QIcon> icons; // each made once: the theme lookup and drawing cost
    for (const DriveReportFile& file : ListDriveReports()) {
        const int index = m_lstDrives.AddString(FromUtf8(ReadDriveModel(file.path)));
        m_lstDrives.SetItemData(index, file.driveNumber);
        QListWidgetItem* entry = m_lstDrives.item(index);
        const WarnedDrive drive = loader.Load(file.path, file.path);
        const DriveState state = DriveStateOf(drive, IsReadableReport(file.path));
        auto icon = icons.find(state);
        if (icon == icons.end()) {
            icon = icons.emplace(state, DriveStateIcon(state)).first;
        }
        entry->setIcon(icon->second);
        entry->setData(kDriveStateRole, static_cast<int>(state));
        QStringList tip;
        struct stat status {};
        if (stat(file.path.c_str(), &status) == 0) {
            tip << FromUtf8(ReportWrittenTip(status.st_mtime));
        }
        for (const DriveWarning& warning : drive.warnings) {
            tip << FromUtf8(warning.text);
        }
        const std::string progress = SelfTestProgressText(drive.report.selfTest);
        if (!progress.empty()) {
            tip << FromUtf8(progress);
        }
        entry->setToolTip(tip.join(QLatin1Char('\n')));
        if (!m_selfTestWindows.empty()) { // an open log follows its drive
            const auto open =
                m_selfTestWindows.find(WindowKey(file.path, ReadDriveIdentity(file.path)));
            if (open != m_selfTestWindows.end() && !open->second.isNull()) {
                open->second->SetState(drive.report.selfTest);
            }
        }
    }
}

void CViewerDlg::RunCollector() {
    const std::string program = FindProgram(kCollectorName, ProgramFolder(), std::getenv("PATH"));
    CChildProcess collector;
    if (!collector.Start(program, {kCollectorArgument})) {
        return; // no collector: the reports already there are listed
    }
    WaitForChild(collector);
    CloseIfDeferred();
}

bool CViewerDlg::WaitForChild(CChildProcess& child) {
    m_bWaiting = true;
    const bool ended = WaitWhileRepainting(child, m_collectorTimeout, kCollectorGrace);
    m_bWaiting = false;
    return ended;
}

bool CViewerDlg::CloseIfDeferred() {
    if (!m_bCloseDeferred) {
        return false;
    }
    m_bCloseDeferred = false;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
    return true;
}

void CViewerDlg::OnSelChangeDriveList() {
    const WarnedDrive drive = LoadSelectedDrive();
    UpdateData(true);

    const DrivePanelTexts& panel = drive.report.panel;
    m_strVendor = FromUtf8(panel.vendor);
    m_strModel = FromUtf8(panel.model);
    m_strSeries = FromUtf8(panel.series);
    m_strSerial = FromUtf8(panel.serial);
    m_strFirmware = FromUtf8(panel.firmware);
    m_strCapacity = FromUtf8(panel.capacity);
    m_strSelfTestProgress = FromUtf8(SelfTestProgressText(drive.report.selfTest));

    ShowEvaluation(drive.report.evaluation);
    ShowHistoryTips();
    ShowWarnings(drive.warnings);
    UpdateData(false); // all eight texts appear together
    if (isVisible()) {
        repaint();
    }
}

WarnedDrive CViewerDlg::LoadSelectedDrive() {
    const std::string name = SelectedReportPath();
    return CDriveWarningLoader(kWarningSettings).Load(name, name);
}

std::string CViewerDlg::SelectedReportPath() const {
    return ReportPathAt(m_lstDrives.GetCurSel());
}

std::string CViewerDlg::ReportPathAt(int index) const {
    return ResolveInReportFolder(ReportFileName(m_lstDrives.GetItemData(index)));
}

void CViewerDlg::FillAttributeTable() {
    const WarnedDrive drive = LoadSelectedDrive();
    ShowEvaluation(drive.report.evaluation);
    ShowHistoryTips();
    ShowWarnings(drive.warnings);
}

void CViewerDlg::ShowHistoryTips() {
    if (m_lstDrives.GetCurSel() < 0) {
        return;
    }
    // The tips are an extra: a history that cannot be read leaves them out,
    // and its window says why when the user asks for it.
    const Result<std::vector<RawChange>> changes = LoadRawChanges(SelectedReportPath());
    const std::map<int, std::string> tips =
        RawChangeTips(changes ? *changes : std::vector<RawChange>());
    for (int row = 0; row < m_lvAttributes.RowCount(); ++row) {
        QTreeWidgetItem* item = m_lvAttributes.topLevelItem(row);
        const QVariant id = item->data(0, kAttributeIdRole);
        const auto found = id.isValid() ? tips.find(id.toInt()) : tips.end();
        if (found == tips.end()) {
            continue;
        }
        for (int column = 0; column < m_lvAttributes.columnCount(); ++column) {
            item->setToolTip(column, FromUtf8(found->second));
        }
    }
}

void CViewerDlg::ShowWarnings(const std::vector<DriveWarning>& warnings) {
    for (int row = 0; row < m_lvAttributes.RowCount(); ++row) {
        QTreeWidgetItem* item = m_lvAttributes.topLevelItem(row);
        const QVariant id = item->data(0, kAttributeIdRole);
        QStringList reasons;
        bool warned = false;
        for (const DriveWarning& warning : warnings) {
            if (id.isValid() && warning.attributeId == id.toInt()) {
                reasons << FromUtf8(warning.text);
                warned = true;
            }
        }
        if (!warned) {
            continue;
        }
        // Red rows keep their colour; every other warned row gets the second one.
        m_lvAttributes.SetRowWarned(row, m_lvAttributes.RowRank(row) != 1);
        const QString history = item->toolTip(0);
        if (!history.isEmpty()) {
            reasons << history;
        }
        for (int column = 0; column < m_lvAttributes.columnCount(); ++column) {
            item->setToolTip(column, reasons.join(QLatin1Char('\n')));
        }
    }
}

void CViewerDlg::OpenHistory(QTreeWidgetItem* item) {
    const QVariant id = item != nullptr ? item->data(0, kAttributeIdRole) : QVariant();
    if (!id.isValid() || m_lstDrives.GetCurSel() < 0) {
        return; // the hint row stands for no attribute
    }
    const std::string path = SelectedReportPath();
    const QString key =
        WindowKey(path, ReadDriveIdentity(path)) + QLatin1Char('\n') + QString::number(id.toInt());
    const auto open = m_historyWindows.find(key);
    if (open != m_historyWindows.end() && !open->second.isNull()) {
        Raise(open->second);
        return;
    }
    for (auto it = m_historyWindows.begin(); it != m_historyWindows.end();) {
        it = it->second.isNull() ? m_historyWindows.erase(it) : std::next(it);
    }
    const QString title = item->text(0) + QLatin1Char(' ') + item->text(1);
    m_historyWindows[key] = ShowHistoryWindow(title, LoadDriveHistory(path, id.toInt()), this);
}

void CViewerDlg::ShowRowMenu(QTreeWidgetItem* item, const QPoint& globalPos, bool fromKeyboard) {
    QMenu menu(this);
    QAction* history = menu.addAction(QStringLiteral("履歴を表示"));
    history->setEnabled(item->data(0, kAttributeIdRole).isValid() && m_lstDrives.GetCurSel() >= 0);
    menu.addSeparator();
    menu.addAction(&m_actAbout); // as right-clicking elsewhere in the window
    if (fromKeyboard) {
        // Menu key, then Enter: the history, as Space would open it.
        menu.setActiveAction(history->isEnabled() ? history : &m_actAbout);
    }
    if (menu.exec(globalPos) == history) {
        OpenHistory(item);
    }
}

void CViewerDlg::ShowDriveMenu(int index, const QPoint& globalPos, bool fromKeyboard) {
    const DriveSelfTest drive = ReadDriveSelfTest(ReportPathAt(index));
    const SelfTestMenuEnabling enabling = SelfTestMenuFor(drive.state, drive.identity.serial);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("driveMenu"));
    const struct {
        const char* text;
        bool enabled;
    } entries[] = {
        {kMenuStartShort, enabling.startShort},
        {kMenuStartLong, enabling.startLong},
        {kMenuAbort, enabling.abort},
        {kMenuShowLog, enabling.showLog},
    };
    QAction* actions[4] = {};
    int i = 0;
    for (const auto& entry : entries) {
        actions[i] = menu.addAction(QString::fromUtf8(entry.text));
        actions[i]->setEnabled(entry.enabled);
        if (i == 2) {
            menu.addSeparator(); // what changes the drive, then what only shows
        }
        ++i;
    }
    if (fromKeyboard) {
        for (QAction* action : actions) {
            if (action->isEnabled()) {
                menu.setActiveAction(action);
                break;
            }
        }
    }
    QAction* chosen = menu.exec(globalPos);
    if (chosen == actions[0]) {
        RunSelfTest(index, SelfTestAction::StartShort);
    } else if (chosen == actions[1]) {
        RunSelfTest(index, SelfTestAction::StartLong);
    } else if (chosen == actions[2]) {
        RunSelfTest(index, SelfTestAction::Abort);
    } else if (chosen == actions[3]) {
        OpenSelfTestLog(index);
    }
}

void CViewerDlg::RunSelfTest(int index, SelfTestAction action) {
    const int driveNumber = m_lstDrives.GetItemData(index);
    const std::string path = ReportPathAt(index);
    const DriveIdentity identity = ReadDriveIdentity(path);
    SelfTestRun run;
    {
        // The collector's own program, found as a refresh finds it; it asks
        // for root itself, as it does to read the drives.
        const std::string program =
            FindProgram(kCollectorName, ProgramFolder(), std::getenv("PATH"));
        CChildProcess quelmaro;
        run.started =
            !program.empty() &&
            quelmaro.StartCapturing(program, SelfTestArguments(action, identity.serial)).HasValue();
        if (run.started) {
            run.timedOut = !WaitForChild(quelmaro);
            quelmaro.GetExitCode(&run.exitCode);
            run.output = quelmaro.Output();
        }
    }
    if (CloseIfDeferred()) {
        return;
    }
    const SelfTestAnswer answer = SelfTestAnswerFor(action, run);
    m_fnNoticeBox(answer.succeeded, FromUtf8(answer.text));
    Refresh();
    for (int i = 0; i < m_lstDrives.GetCount(); ++i) {
        if (m_lstDrives.GetItemData(i) == driveNumber &&
            ReadDriveIdentity(ReportPathAt(i)).serial == identity.serial) {
            m_lstDrives.setCurrentRow(i);
            break;
        }
    }
}

void CViewerDlg::OpenSelfTestLog(int index) {
    const std::string path = ReportPathAt(index);
    const DriveSelfTest drive = ReadDriveSelfTest(path);
    const QString key = WindowKey(path, drive.identity);
    const auto open = m_selfTestWindows.find(key);
    if (open != m_selfTestWindows.end() && !open->second.isNull()) {
        open->second->SetState(drive.state);
        Raise(open->second);
        return;
    }
    for (auto it = m_selfTestWindows.begin(); it != m_selfTestWindows.end();) {
        it = it->second.isNull() ? m_selfTestWindows.erase(it) : std::next(it);
    }
    QString name = FromUtf8(drive.identity.model);
    if (!drive.identity.serial.empty()) {
        name += QStringLiteral(" (") + FromUtf8(drive.identity.serial) + QLatin1Char(')');
    }
    auto* window = new CSelfTestLogDlg(name, drive.state, this);
    m_selfTestWindows[key] = window;
    window->show();
}

void CViewerDlg::ShowNotice(bool succeeded, const QString& text) {
    QMessageBox box(succeeded ? QMessageBox::Information : QMessageBox::Warning, QString(), text,
                    QMessageBox::Ok, this);
    box.exec();
}

void CViewerDlg::ShowEvaluation(const ReportEvaluation& evaluation) {
    m_lvAttributes.DeleteAllRows();
    m_lvAttributes.m_mapRankColor[1] = FailingRowColor();
    for (const AttributeRow& row : evaluation.rows) {
        QStringList texts;
        for (const std::string& column : row.columns) {
            texts << FromUtf8(column);
        }
        m_lvAttributes.AddRow(texts, static_cast<quint32>(row.rank));
        m_lvAttributes.topLevelItem(m_lvAttributes.RowCount() - 1)
            ->setData(0, kAttributeIdRole, row.id);
    }
    // A report without these attributes leaves the texts shown before.
    if (evaluation.labels.powerOnTime) {
        m_strPowerOnTime = FromUtf8(*evaluation.labels.powerOnTime);
    }
    if (evaluation.labels.temperature) {
        m_strTemperature = FromUtf8(*evaluation.labels.temperature);
    }
    if (evaluation.parseError) {
        m_fnErrorBox(QString::fromUtf8(kParseErrorMessage));
    }
}

void CViewerDlg::ShowParseError(const QString& text) {
    // No owner and no caption of its own: the application's name stands there.
    QMessageBox box(QMessageBox::Critical, QString(), text, QMessageBox::Ok);
    box.exec();
}

void CViewerDlg::OnOpenReport() {
    QString path;
    if (m_fnChooseFile(this, path, QStringLiteral("INIファイル(*.ini)"), QStringLiteral("開く"))) {
        Refresh(); // the chosen file itself is not read
    }
}

void CViewerDlg::ShowAboutBox() {
    CAboutDlg about(this);
    about.exec();
}

void CViewerDlg::contextMenuEvent(QContextMenuEvent* event) {
    // Linux has no window menu to extend, so the about entry lives here.
    QMenu menu(this);
    menu.addAction(&m_actAbout);
    menu.exec(event->globalPos());
}

void CViewerDlg::closeEvent(QCloseEvent* event) {
    if (m_bWaiting) {
        // Handled like held-back input, once the collector has ended.
        m_bCloseDeferred = true;
        event->ignore();
        return;
    }
    CBaseDialog::closeEvent(event);
}
