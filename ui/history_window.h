#pragma once

#include "ui/drive_history.h"

#include <QString>

class QWidget;

// The module that holds the history window, in the program folder.
inline constexpr char kHistoryWindowModule[] = "libtolvenar_history_window.so";

// The entry point the module exports.
using HistoryWindowFactory = QWidget* (*)(const QString& title, const DriveHistory& history,
                                          QWidget* parent);
inline constexpr char kHistoryWindowFactoryName[] = "TolvenarCreateHistoryWindow";

// Shows the history window of one attribute (title: the attribute as the
// table shows it). The module is loaded on the first call and stays; when it
// cannot be loaded, a message box says so in one sentence. Returns the window
// shown.
QWidget* ShowHistoryWindow(const QString& title, const DriveHistory& history, QWidget* parent);
