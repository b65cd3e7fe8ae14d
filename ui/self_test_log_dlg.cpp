#include "ui/self_test_log_dlg.h"

#include "ui/row_colors.h"
#include "ui/self_test_actions.h"
#include "ui/self_test_texts.h"

#include <QHeaderView>
#include <QVBoxLayout>

namespace {

// Pixels: the result and the LBA column hold the longest texts.
const int kColumnWidths[] = {44, 80, 130, 110, 150};

// The rank of a failed entry: the attribute table's rank of a failing row.
constexpr quint32 kFailedRank = 1;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

} // namespace

CSelfTestLogDlg::CSelfTestLogDlg(const QString& drive, const SelfTestState& state, QWidget* parent)
    : QDialog(parent), m_stState(this), m_lvEntries(this) {
    setObjectName(QStringLiteral("selfTestLogWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QString::fromUtf8(kLogTitle) + drive);
    m_stState.setTextFormat(Qt::PlainText);
    m_stState.setObjectName(QStringLiteral("selfTestState"));
    m_lvEntries.setObjectName(QStringLiteral("selfTestEntries"));

    QStringList titles;
    for (const char* title : kLogColumns) {
        titles << QString::fromUtf8(title);
    }
    m_lvEntries.setColumnCount(static_cast<int>(titles.size()));
    m_lvEntries.setHeaderLabels(titles);
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
        m_lvEntries.header()->resizeSection(i, kColumnWidths[i]);
    }
    m_lvEntries.m_mapRankColor[kFailedRank] = FailingRowColor();
    // 番号, 使用時間 and 最初の不良LBA are counts: "10" after "9".
    for (int column : {0, 3, 4}) {
        m_lvEntries.SetNumericColumn(column);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&m_stState);
    layout->addWidget(&m_lvEntries);
    resize(560, 320);
    SetState(state);
}

void CSelfTestLogDlg::SetState(const SelfTestState& state) {
    QString text =
        state.running ? FromUtf8(SelfTestProgressText(state)) : QString::fromUtf8(kStateIdle);
    if (state.entries.empty()) {
        text += QLatin1Char('\n') + QString::fromUtf8(kLogEmpty);
    }
    m_stState.setText(text);

    m_lvEntries.DeleteAllRows();
    int number = 0;
    for (const SelfTestRecord& record : state.entries) {
        QStringList texts;
        for (const std::string& column : SelfTestRowTexts(++number, record)) {
            texts << FromUtf8(column);
        }
        m_lvEntries.AddRow(texts, record.outcome == "failed" ? kFailedRank : 0);
        // smartctl's own words for the result, which the short texts leave out.
        QTreeWidgetItem* item = m_lvEntries.topLevelItem(m_lvEntries.RowCount() - 1);
        for (int column = 0; column < m_lvEntries.columnCount(); ++column) {
            item->setToolTip(column, FromUtf8(record.text));
        }
    }
}
