#pragma once

#include "controls/rank_list_ctrl.h"
#include "report/self_test_state.h"

#include <QDialog>
#include <QLabel>

// The self-test log of one drive: its state (a test running with the part
// left, or none) above the entries of its report, newest first; failed
// entries in the colour of a failing attribute. Esc closes it.
class CSelfTestLogDlg : public QDialog {
    Q_OBJECT
public:
    // drive: the drive as the user knows it, e.g. its model and serial number.
    CSelfTestLogDlg(const QString& drive, const SelfTestState& state, QWidget* parent = nullptr);

    // Shows state instead of what was shown before.
    void SetState(const SelfTestState& state);

    QString StateText() const { return m_stState.text(); }
    const CRankListCtrl& Entries() const { return m_lvEntries; }

private:
    QLabel m_stState;
    CRankListCtrl m_lvEntries;
};
