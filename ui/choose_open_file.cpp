#include "ui/choose_open_file.h"

#include <QFileDialog>

std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* owner, const QString& filter,
                                                const QString& title) {
    auto dialog = std::make_unique<QFileDialog>(owner, title, QString(), filter);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::ExistingFile);
    return dialog;
}

bool ChooseOpenFile(QWidget* owner, QString& path, const QString& filter, const QString& title) {
    const std::unique_ptr<QFileDialog> dialog = MakeOpenFileDialog(owner, filter, title);
    if (dialog->exec() != QDialog::Accepted) {
        return false;
    }
    const QStringList files = dialog->selectedFiles();
    if (files.isEmpty()) {
        return false;
    }
    path = files.first();
    return true;
}
