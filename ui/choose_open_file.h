#pragma once

#include <QString>
#include <memory>

class QFileDialog;
class QWidget;

// The open-file chooser, owned by owner, configured but not shown: only an
// existing file can be confirmed, the name field starts empty.
std::unique_ptr<QFileDialog> MakeOpenFileDialog(QWidget* owner, const QString& filter,
                                                const QString& title);

// Shows that chooser; true with path set to the confirmed file's full path,
// false when the user cancelled.
bool ChooseOpenFile(QWidget* owner, QString& path, const QString& filter, const QString& title);
