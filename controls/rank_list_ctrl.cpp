#include "controls/rank_list_ctrl.h"

#include "controls/arrow_header_ctrl.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr int kRankRole = Qt::UserRole;
constexpr int kWarnedRole = Qt::UserRole + 100; // clear of the roles owners use

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

void CRankListCtrl::SetRowWarned(int row, bool warned) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        item->setData(0, kWarnedRole, warned);
    }
}

bool CRankListCtrl::IsRowWarned(int row) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr && item->data(0, kWarnedRole).toBool();
}

QColor CRankListCtrl::TextColorForRow(quint32 rank, bool warned) const {
    if (warned && m_mapRankColor.find(rank) == m_mapRankColor.end()) {
        return WarningColor();
    }
    return TextColorForRank(rank);
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

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits a text begins with, leading zeros and the ',' between digits
// left out; empty when it begins with no digit.
QByteArray LeadingDigits(const QByteArray& text) {
    QByteArray digits;
    for (int i = 0; i < text.size() && IsDigit(text[0]); ++i) {
        if (IsDigit(text[i])) {
            if (text[i] != '0' || !digits.isEmpty()) {
                digits.append(text[i]);
            }
        } else if (text[i] != ',' || i + 1 == text.size() || !IsDigit(text[i + 1])) {
            break; // only a comma between digits is skipped; one before it is a digit
        }
    }
    return digits;
}

} // namespace

int CRankListCtrl::CompareLeadingNumbers(const QByteArray& text1, const QByteArray& text2) {
    const bool number1 = !text1.isEmpty() && IsDigit(text1[0]);
    const bool number2 = !text2.isEmpty() && IsDigit(text2[0]);
    if (number1 != number2) {
        return number1 ? 1 : -1;
    }
    // Without leading zeros, a longer run of digits is the larger number.
    const QByteArray digits1 = LeadingDigits(text1);
    const QByteArray digits2 = LeadingDigits(text2);
    if (digits1.size() != digits2.size()) {
        return digits1.size() < digits2.size() ? -1 : 1;
    }
    return CompareRowTexts(digits1, digits2);
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
    const auto compare =
        m_numericColumns.count(column) != 0 ? CompareLeadingNumbers : CompareRowTexts;
    std::stable_sort(rows.begin(), rows.end(), [this, compare](const auto& a, const auto& b) {
        return m_bAscending ? compare(a.first, b.first) < 0 : compare(b.first, a.first) < 0;
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
    const QModelIndex first = index.sibling(index.row(), 0);
    const quint32 rank = first.data(kRankRole).toUInt();
    // Only the text colour changes; selected rows keep the view's own look.
    rowOption.palette.setColor(QPalette::Text,
                               TextColorForRow(rank, first.data(kWarnedRole).toBool()));
    QTreeWidget::drawRow(painter, rowOption, index);
}

void CRankListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    QTreeWidgetItem* item = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        item = itemAt(viewport()->mapFromGlobal(globalPos));
    } else if ((item = currentItem()) != nullptr) {
        // From the keyboard the menu opens below the row, not at the pointer.
        scrollToItem(item);
        const QRect rect = visualItemRect(item);
        globalPos = viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
    }
    if (item == nullptr) {
        event->ignore(); // the window's own menu, as outside the rows
        return;
    }
    event->accept();
    emit RowMenuRequested(item, globalPos, event->reason() != QContextMenuEvent::Mouse);
}

void CRankListCtrl::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    if (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        // The Menu key reaches contextMenuEvent by itself; Shift+F10 does not.
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), mapToGlobal(QPoint()));
        QApplication::sendEvent(this, &menu);
        return;
    }
    const bool open =
        (key == Qt::Key_Space && modifiers == Qt::NoModifier) ||
        ((key == Qt::Key_Return || key == Qt::Key_Enter) && modifiers == Qt::ControlModifier);
    if (open && currentItem() != nullptr) {
        emit RowOpenRequested(currentItem());
        return;
    }
    QTreeWidget::keyPressEvent(event);
}
