#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>

// The version box: the program icon, the program's name and version, and an
// OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

private:
    QLabel m_stIcon;
    QLabel m_stVersion;
    QLabel m_stDescription;
    QPushButton m_btnOk;
};
