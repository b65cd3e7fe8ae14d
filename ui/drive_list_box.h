#pragma once

#include <QListWidget>
#include <string>
#include <vector>

class QMimeData;

// The drive list: entries kept in case-insensitive order of their texts, each
// with an integer item data (the drive number). Dropped files are added by
// their full paths, although the list does not ask for drops.
class CDriveListBox : public QListWidget {
    Q_OBJECT
public:
    explicit CDriveListBox(QWidget* parent = nullptr);

    // Inserts text at its sorted place with item data 0; returns its index.
    // Entries with equal texts keep the order in which they were added.
    int AddString(const QString& text);
    void SetItemData(int index, int data);
    // The item data of the entry at index, -1 when there is no such entry.
    int GetItemData(int index) const;
    // The index of the selected entry, -1 when none is selected.
    int GetCurSel() const;
    int GetCount() const { return count(); }
    QString GetText(int index) const;
    // Removes the entry; when it was selected, no entry is selected after.
    void DeleteString(int index);
    void ResetContent() { clear(); }

signals:
    // The context menu was asked for on an entry: by the mouse, or by the
    // Menu key or Shift+F10 on the current entry (fromKeyboard). globalPos:
    // where it opens.
    void DriveMenuRequested(int index, const QPoint& globalPos, bool fromKeyboard);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

// Appends the full path of every file of a drop to names and returns the
// number of names then held, or -1 when an entry of the drop is not a local
// file (the names read before it stay).
int GetDroppedFiles(const QMimeData& drop, std::vector<std::string>& names);
