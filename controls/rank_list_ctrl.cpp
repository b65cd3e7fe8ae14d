#include "controls/rank_list_ctrl.h"

#include "controls/arrow_header_ctrl.h"

#include <QHeaderView>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kRankRole = Qt::UserRole;

} // namespace

CRankListCtrl::CRankListCtrl(QWidget* parent)
    : QTreeWidget(parent), m_header(new CArrowHeaderCtrl(this)), m_idDelegate(this) {
    setHeader(m_header);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_header->setSectionsClickable(true);
    m_header->setSortIndicatorShown(false);
    m_header->setStretchLastSection(false);
    m_header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // Attribute ids of three digits show whole in the narrow first column.
    setItemDelegateForColumn(0, &m_idDelegate);
    connect(m_header, &QHeaderView::sectionClicked, this, &CRankListCtrl::OnColumnClick);
}

CRankListCtrl::~CRankListCtrl() = default;

void CRankListCtrl::AddRow(const QStringList& texts, quint32 rank) {
    auto* item = new QTreeWidgetItem;
    const int count = std::min<int>(static_cast<int>(texts.size()), columnCount());
    for (int column = 0; column < count; ++column) {
        item->setText(column, texts[column]);
    }
    item->setData(0, kRankRole, rank);
    addTopLevelItem(item);
}

void CRankListCtrl::DeleteAllRows() {
    clear();
}

int CRankListCtrl::RowCount() const {
    return topLevelItemCount();
}

QString CRankListCtrl::RowText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

quint32 CRankListCtrl::RowRank(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->data(0, kRankRole).toUInt() : 0;
}

QColor CRankListCtrl::TextColorForRank(quint32 rank) const {
    const auto found = m_mapRankColor.find(rank);
    if (found != m_mapRankColor.end()) {
        return found->second;
    }
    return palette().color(QPalette::Text);
}

void CRankListCtrl::OnColumnClick(int column) {
    // A new column starts ascending; the same column again turns the order round.
    SortByColumn(column != m_nSortColumn || !m_bAscending, column);
}

int CRankListCtrl::CompareRowTexts(const QByteArray& text1, const QByteArray& text2) {
    const std::size_t n1 = static_cast<std::size_t>(text1.size());
    const std::size_t n2 = static_cast<std::size_t>(text2.size());
    // memcmp compares as unsigned bytes, so UTF-8 lead bytes sort after ASCII.
    const int common = std::memcmp(text1.constData(), text2.constData(), std::min(n1, n2));
    if (common != 0) {
        return common;
    }
    return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
}

void CRankListCtrl::SortByColumn(bool ascending, int column) {
    m_bAscending = ascending;
    m_nCompareColumn = column;

    // Texts are taken by position before anything moves; the items carry
    // their ranks with them, so every row keeps its own rank.
    const int count = topLevelItemCount();
    std::vector<std::pair<QByteArray, QTreeWidgetItem*>> rows;
    for (int row = 0; row < count; ++row) {
        rows.emplace_back(topLevelItem(row)->text(m_nCompareColumn).toUtf8(), topLevelItem(row));
    }
    std::stable_sort(rows.begin(), rows.end(), [this](const auto& a, const auto& b) {
        return m_bAscending ? CompareRowTexts(a.first, b.first) < 0
                            : CompareRowTexts(b.first, a.first) < 0;
    });

    if (count > 1) {
        QTreeWidgetItem* current = currentItem();
        const QList<QTreeWidgetItem*> selected = selectedItems();
        QList<QTreeWidgetItem*> sorted;
        for (const auto& row : rows) {
            sorted.append(row.second);
        }
        for (int row = count - 1; row >= 0; --row) {
            takeTopLevelItem(row);
        }
        addTopLevelItems(sorted);
        // Selection and current row stay with their rows, as before the sort.
        if (current != nullptr) {
            setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
        }
        for (QTreeWidgetItem* item : selected) {
            item->setSelected(true);
        }
    }

    m_header->MarkSortColumn(column, ascending);
    m_nSortColumn = column;
}

void CRankListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    QStyleOptionViewItem rowOption(option);
    const quint32 rank = index.sibling(index.row(), 0).data(kRankRole).toUInt();
    // Only the text colour changes; selected rows keep the view's own look.
    rowOption.palette.setColor(QPalette::Text, TextColorForRank(rank));
    QTreeWidget::drawRow(painter, rowOption, index);
}
