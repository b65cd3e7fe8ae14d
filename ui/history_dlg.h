#pragma once

#include "ui/drive_history.h"
#include "ui/history_steps.h"

#include <QDialog>

class QChart;
class QLineSeries;

// The history of one attribute of one drive: its raw value (left axis), its
// current value and threshold (right axis) over local time, as step lines.
// Without any sample it says so instead, and why when the history file
// could not be read (a damaged file must not pass for an empty history). Esc closes it. It lives in
// a module of its own with Qt Charts (see history_window.h).
class CHistoryDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr const char* kEmptyText = "この属性の履歴はまだありません。";
    // Followed by the reason on a line of its own.
    static constexpr const char* kUnreadableText = "履歴を読み込めないため、表示できません。";

    // title: the attribute as the table shows it, e.g. "5 代替処理済みのセクタ数".
    CHistoryDlg(const QString& title, const DriveHistory& history, QWidget* parent = nullptr);
    ~CHistoryDlg() override;

private:
    void BuildChart(const QString& title, const DriveHistory& history);

    QLineSeries* Series(HistoryField field) const;

    QChart* m_chart = nullptr;
    QLineSeries* m_series[3] = {};
};
