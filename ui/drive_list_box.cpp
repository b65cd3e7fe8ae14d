#include "ui/drive_list_box.h"

#include <QApplication>
#include <QContextMenuEvent>
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

void CDriveListBox::contextMenuEvent(QContextMenuEvent* event) {
    QListWidgetItem* entry = nullptr;
    QPoint globalPos = event->globalPos();
    if (event->reason() == QContextMenuEvent::Mouse) {
        entry = itemAt(viewport()->mapFromGlobal(globalPos));
    } else if ((entry = currentItem()) != nullptr) {
        // From the keyboard the menu opens below the entry, not at the pointer.
        scrollToItem(entry);
        const QRect rect = visualItemRect(entry);
        globalPos = viewport()->mapToGlobal(QPoint(rect.left() + rect.height(), rect.bottom()));
    }
    if (entry == nullptr) {
        event->ignore(); // the window's own menu, as outside the entries
        return;
    }
    event->accept();
    emit DriveMenuRequested(row(entry), globalPos, event->reason() != QContextMenuEvent::Mouse);
}

void CDriveListBox::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        // The Menu key reaches contextMenuEvent by itself; Shift+F10 does not.
        QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(), mapToGlobal(QPoint()));
        QApplication::sendEvent(this, &menu);
        return;
    }
    QListWidget::keyPressEvent(event);
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
