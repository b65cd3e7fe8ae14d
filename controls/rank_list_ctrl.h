#pragma once

#include "controls/unelided_delegate.h"

#include <QColor>
#include <QTreeWidget>
#include <map>
#include <set>

class CArrowHeaderCtrl;

// Flat, full-row attribute table. Each row carries a rank; the text colour of
// a row is looked up by its rank in m_mapRankColor whenever the row is
// painted. A click on a column header sorts all rows by that column's text
// (first click ascending, each further click on the same column reverses)
// and moves the header's arrow there. A row may also be marked as warned: it
// is drawn in the warning colour unless its rank has a colour of its own.
class CRankListCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CRankListCtrl(QWidget* parent = nullptr);
    ~CRankListCtrl() override;

    // Rank -> text colour, written by the owner. Ranks without an entry are
    // drawn in the palette's text colour.
    std::map<quint32, QColor> m_mapRankColor;

    CArrowHeaderCtrl& Header() const { return *m_header; }

    // Appends a row with up to columnCount() texts and its rank.
    void AddRow(const QStringList& texts, quint32 rank);
    void DeleteAllRows();
    int RowCount() const;
    QString RowText(int row, int column) const;
    quint32 RowRank(int row) const;

    // The colour a row of this rank is drawn in.
    QColor TextColorForRank(quint32 rank) const;

    // The mark of a row that warns without failing; kept apart from the rank,
    // which stays what the owner gave.
    void SetRowWarned(int row, bool warned);
    bool IsRowWarned(int row) const;
    // The colour of a warned row whose rank has no colour in m_mapRankColor.
    static QColor WarningColor() { return QColor(176, 88, 0); }
    // The colour a row is drawn in: its rank's, else the warning colour for a
    // warned row, else the palette's text colour.
    QColor TextColorForRow(quint32 rank, bool warned) const;

    // Column click: ascending on a new column, reversed on the same one.
    void OnColumnClick(int column);
    // Sorts every row by the UTF-8 bytes of its text in column, compared as
    // unsigned values (so "10" comes before "2"), keeps each row's rank and
    // moves the header arrow.
    void SortByColumn(bool ascending, int column);

    int SortColumn() const { return m_nSortColumn; }
    bool IsAscending() const { return m_bAscending; }

    // <0, 0 or >0 like strcmp of the two texts' UTF-8 bytes.
    static int CompareRowTexts(const QByteArray& text1, const QByteArray& text2);

    // Sorts column by the whole number its texts begin with (a ',' between
    // digits skipped, any length) instead of by text; texts that begin with
    // no digit come first. For lists of counts, as a log's numbers and hours.
    void SetNumericColumn(int column) { m_numericColumns.insert(column); }
    // <0, 0 or >0 comparing the numbers two texts begin with, as above.
    static int CompareLeadingNumbers(const QByteArray& text1, const QByteArray& text2);

signals:
    // The context menu was asked for on a row: by the mouse, or by the Menu
    // key or Shift+F10 on the current row (fromKeyboard). globalPos: where it
    // opens.
    void RowMenuRequested(QTreeWidgetItem* item, const QPoint& globalPos, bool fromKeyboard);
    // Space or Ctrl+Enter on the current row.
    void RowOpenRequested(QTreeWidgetItem* item);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    CArrowHeaderCtrl* m_header; // owned by the view, as Qt's views own their header
    CUnelidedDelegate m_idDelegate;
    bool m_bAscending = false;
    int m_nSortColumn = -1;
    int m_nCompareColumn = -1;
    std::set<int> m_numericColumns;
};
