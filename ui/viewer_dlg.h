#pragma once

#include "controls/rank_list_ctrl.h"
#include "monitor/drive_warning_loader.h"
#include "report/drive_report.h"
#include "ui/base_dialog.h"
#include "ui/drive_list_box.h"
#include "ui/self_test_actions.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <chrono>
#include <functional>
#include <map>

class CChildProcess;
class CSelfTestLogDlg;

// The main window: the drive list, the identity of the selected drive and
// its attribute table. Each refresh runs the collector and lists the drives
// whose reports lie in the program folder.
class CViewerDlg : public CBaseDialog {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kCollectorTimeout{120000};
    static constexpr std::chrono::milliseconds kCollectorGrace{2000};

    // The chooser: owner, path (set on confirmation), filter and title; true
    // when a file was confirmed.
    using FileChooser = std::function<bool(QWidget*, QString&, const QString&, const QString&)>;
    // Shows the parse-error message.
    using ErrorBox = std::function<void(const QString&)>;
    // Shows how a self-test command went (succeeded: it was started or aborted).
    using NoticeBox = std::function<void(bool succeeded, const QString&)>;

    explicit CViewerDlg(QWidget* parent = nullptr);
    ~CViewerDlg() override;

    bool OnInitDialog() override;

    // Runs the collector, then lists every drive whose report exists.
    void Refresh();
    // Shows the selected drive's identity and attributes.
    void OnSelChangeDriveList();
    // Refills the attribute table for the selected drive; sets the
    // temperature and power-on texts without showing them.
    void FillAttributeTable();
    // Opens the history window of the table row's attribute for the selected
    // drive, or raises the one already open for that drive and attribute; the
    // hint row opens nothing.
    void OpenHistory(QTreeWidgetItem* item);
    // The table row's menu: "履歴を表示" (for attribute rows) and the about entry.
    // From the keyboard, its first entry is chosen already.
    void ShowRowMenu(QTreeWidgetItem* item, const QPoint& globalPos, bool fromKeyboard);
    // The drive list's menu on the entry at index: the self-test commands and
    // the log, each enabled as the drive's report allows. From the keyboard,
    // its first entry that can be chosen is chosen already.
    void ShowDriveMenu(int index, const QPoint& globalPos, bool fromKeyboard);
    // Runs quelmaro for the action on the drive at index (named by its serial
    // number), tells the user how that went, refreshes and selects the drive
    // again, so that its new state shows.
    void RunSelfTest(int index, SelfTestAction action);
    // Opens the self-test log window of the drive at index, or raises the one
    // already open for that drive, updated.
    void OpenSelfTestLog(int index);
    // Lets the user choose an INI file; a confirmed choice refreshes.
    void OnOpenReport();
    // true: labels -> members; false: members -> labels.
    void UpdateData(bool saveAndValidate);
    void ShowAboutBox();

    QAction& AboutAction() { return m_actAbout; }

    // Seams for tests: no modal window, a short collector bound.
    void SetFileChooser(FileChooser chooser) { m_fnChooseFile = std::move(chooser); }
    void SetErrorBox(ErrorBox box) { m_fnErrorBox = std::move(box); }
    void SetNoticeBox(NoticeBox box) { m_fnNoticeBox = std::move(box); }
    void SetCollectorTimeout(std::chrono::milliseconds bound) { m_collectorTimeout = bound; }

    // The eight panel texts, in their order of exchange.
    QString m_strFirmware;
    QString m_strSerial;
    QString m_strTemperature;
    QString m_strVendor;
    QString m_strModel;
    QString m_strSeries;
    QString m_strCapacity;
    QString m_strPowerOnTime;
    bool m_bHideLowPriority = false;

    CDriveListBox m_lstDrives;
    CRankListCtrl m_lvAttributes;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void LayOutControls();
    void InsertColumns();
    void RunCollector();
    // Waits for a started child as for the collector: bounded, repainting, a
    // close held back until it has ended. True when it ended in time.
    bool WaitForChild(CChildProcess& child);
    // Closes the dialog once the wait is over when the user asked meanwhile;
    // true when so.
    bool CloseIfDeferred();
    void ShowNotice(bool succeeded, const QString& text);
    std::string ReportPathAt(int index) const;
    // The report of the selected drive, panel and evaluation, with its warnings.
    WarnedDrive LoadSelectedDrive();
    std::string SelectedReportPath() const;
    // Fills the attribute table; sets the temperature and power-on texts.
    void ShowEvaluation(const ReportEvaluation& evaluation);
    // Each row whose raw value changed in the history says when and from what.
    void ShowHistoryTips();
    // Rows with a warning say why in their tip; those that are not red are
    // drawn in the table's warning colour.
    void ShowWarnings(const std::vector<DriveWarning>& warnings);
    static void ShowParseError(const QString& text);

    QLabel m_stDevices;
    QLabel m_stVendor;
    QLabel m_stModel;
    QLabel m_stSeries;
    QLabel m_stCapacity;
    QLabel m_stSerial;
    QLabel m_stFirmware;
    QLabel m_stTemperature;
    QLabel m_stPowerOnTime;
    QCheckBox m_chkHideLowPriority;
    QPushButton m_btnRefresh;
    QLabel m_stRank;
    QLabel m_stRankHigh;
    QLabel m_stRankLow;
    QAction m_actAbout;

    FileChooser m_fnChooseFile;
    ErrorBox m_fnErrorBox;
    NoticeBox m_fnNoticeBox;
    std::chrono::milliseconds m_collectorTimeout = kCollectorTimeout;
    // The open history windows by drive and attribute.
    std::map<QString, QPointer<QWidget>> m_historyWindows;
    // The open self-test log windows by drive.
    std::map<QString, QPointer<CSelfTestLogDlg>> m_selfTestWindows;
    // The selected drive's self-test progress, for the panel's tips.
    QString m_strSelfTestProgress;
    bool m_bWaiting = false;
    bool m_bCloseDeferred = false;
};
