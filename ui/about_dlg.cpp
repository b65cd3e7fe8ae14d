#include "ui/about_dlg.h"

#include "ui/dialog_units.h"

namespace {

constexpr int kIconSize = 32;

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent), m_stIcon(this), m_stVersion(this), m_stDescription(this), m_btnOk(this) {
    setFont(DialogFont());
    const CDialogUnits units(font());
    setWindowTitle(QStringLiteral("Tolvenarのﾊﾞｰｼﾞｮﾝ情報"));
    setFixedSize(units.MapSize(235, 55));

    const QRect iconRect = units.MapRect(11, 17, 0, 0);
    m_stIcon.setGeometry(iconRect.x(), iconRect.y(), kIconSize, kIconSize);
    m_stIcon.setPixmap(windowIcon().pixmap(kIconSize, kIconSize));

    m_stVersion.setTextFormat(Qt::PlainText);
    m_stVersion.setText(QStringLiteral("Tolvenar Version 1.0"));
    units.Place(m_stVersion, 40, 10, 119, 8);

    m_stDescription.setTextFormat(Qt::PlainText);
    m_stDescription.setText(QStringLiteral("HDD S.M.A.R.T. 情報ビューア"));
    units.Place(m_stDescription, 40, 25, 119, 8);

    m_btnOk.setText(QStringLiteral("OK"));
    m_btnOk.setDefault(true);
    units.Place(m_btnOk, 178, 7, 50, 14);
    connect(&m_btnOk, &QPushButton::clicked, this, &QDialog::accept);
}
