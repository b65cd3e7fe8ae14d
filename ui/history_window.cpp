#include "ui/history_window.h"

#include "config/program_folder.h"

#include <QLibrary>
#include <QMessageBox>
#include <sys/stat.h>

namespace {

// What the user reads when the module is missing or broken; the path and the
// loader's own message would tell them nothing they can act on.
const char* const kModuleProblem = "履歴の画面の部品を読み込めないため、履歴を表示できません。";

HistoryWindowFactory LoadFactory() {
    static HistoryWindowFactory factory = nullptr; // only a success is kept
    if (factory == nullptr) {
        const std::string path = ResolveInProgramFolder(kHistoryWindowModule);
        // A missing module is not looked for under other names: QLibrary would
        // try "lib" + the name and more before giving up.
        struct stat status {};
        if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
            return nullptr;
        }
        QLibrary module(QString::fromStdString(path));
        factory = reinterpret_cast<HistoryWindowFactory>(module.resolve(kHistoryWindowFactoryName));
    }
    return factory;
}

} // namespace

QWidget* ShowHistoryWindow(const QString& title, const DriveHistory& history, QWidget* parent) {
    const HistoryWindowFactory factory = LoadFactory();
    QWidget* window = nullptr;
    if (factory != nullptr) {
        window = factory(title, history, parent);
    } else {
        auto* box = new QMessageBox(QMessageBox::Warning, QString(),
                                    QString::fromUtf8(kModuleProblem), QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        window = box;
    }
    window->show();
    return window;
}
