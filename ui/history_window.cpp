#include "ui/history_window.h"

#include "config/program_folder.h"

#include <QLibrary>
#include <QMessageBox>

namespace {

HistoryWindowFactory LoadFactory(QString& problem) {
    static HistoryWindowFactory factory = nullptr; // only a success is kept
    if (factory == nullptr) {
        QLibrary module(QString::fromStdString(ResolveInProgramFolder(kHistoryWindowModule)));
        factory = reinterpret_cast<HistoryWindowFactory>(module.resolve(kHistoryWindowFactoryName));
        if (factory == nullptr) {
            problem = module.errorString();
        }
    }
    return factory;
}

} // namespace

QWidget* ShowHistoryWindow(const QString& title, const DriveHistory& history, QWidget* parent) {
    QString problem;
    const HistoryWindowFactory factory = LoadFactory(problem);
    QWidget* window = nullptr;
    if (factory != nullptr) {
        window = factory(title, history, parent);
    } else {
        auto* box =
            new QMessageBox(QMessageBox::Warning, QString(),
                            QStringLiteral("履歴の画面を開けません。"), QMessageBox::Ok, parent);
        box->setInformativeText(problem);
        box->setAttribute(Qt::WA_DeleteOnClose);
        window = box;
    }
    window->show();
    return window;
}
