#include "ui/drive_list_box.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

constexpr int kItemDataRole = Qt::UserRole;

} // namespace

CDriveListBox::CDriveListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSortingEnabled(false); // entries are placed by AddString
    setAcceptDrops(false);
    setUniformItemSizes(true);
}

int CDriveListBox::AddString(const QString& text) {
    // After the last entry that does not sort above text.
    int low = 0;
    int high = count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (QString::compare(item(middle)->text(), text, Qt::CaseInsensitive) <= 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    auto* entry = new QListWidgetItem(text);
    entry->setData(kItemDataRole, 0);
    insertItem(low, entry);
    return low;
}

void CDriveListBox::SetItemData(int index, int data) {
    if (QListWidgetItem* entry = item(index)) {
        entry->setData(kItemDataRole, data);
    }
}

int CDriveListBox::GetItemData(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->data(kItemDataRole).toInt() : -1;
}

int CDriveListBox::GetCurSel() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.first());
}

QString CDriveListBox::GetText(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr ? entry->text() : QString();
}

void CDriveListBox::DeleteString(int index) {
    QListWidgetItem* entry = item(index);
    if (entry == nullptr) {
        return;
    }
    // Qt would move the selection to a neighbour; a deleted selection is gone.
    const bool wasSelected = entry->isSelected();
    delete takeItem(index);
    if (wasSelected) {
        clearSelection();
    }
}

void CDriveListBox::dropEvent(QDropEvent* event) {
    if (event->mimeData() == nullptr) {
        return;
    }
    std::vector<std::string> names;
    GetDroppedFiles(*event->mimeData(), names); // names read before a failure still count
    for (const std::string& name : names) {
        AddString(QString::fromStdString(name));
    }
    event->acceptProposedAction();
}

int GetDroppedFiles(const QMimeData& drop, std::vector<std::string>& names) {
    const QList<QUrl> urls = drop.urls();
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            return -1;
        }
        names.push_back(url.toLocalFile().toStdString());
    }
    return static_cast<int>(names.size());
}
