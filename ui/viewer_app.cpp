#include "ui/viewer_app.h"

#include "config/program_folder.h"
#include "report/monitor_text.h"
#include "ui/dialog_units.h"
#include "ui/viewer_activation.h"
#include "ui/viewer_dlg.h"

#include <QLibraryInfo>
#include <QLocale>

CViewerApp::CViewerApp(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QStringLiteral("tolvenar"));
    // No display name: Qt would append it to every window's caption. The
    // desktop file name alone ties the windows to the launcher entry.
    setApplicationVersion(QStringLiteral("0.2.7.0"));
    setDesktopFileName(QStringLiteral("tolvenar"));
    setFont(DialogFont());
    setWindowIcon(ProgramIcon());
    // Warnings shown in the window read as the rest of it does.
    SetUpJapaneseTexts(ResolveInProgramFolder("locale"));
    // The standard dialogs speak the user's language, as the desktop's own do.
    if (LoadQtTranslations(m_qtTranslator, QLocale::system())) {
        installTranslator(&m_qtTranslator);
    }
}

bool CViewerApp::LoadQtTranslations(QTranslator& translator, const QLocale& locale) {
    return translator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

QIcon CViewerApp::ProgramIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/tolvenar/icons/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

int CViewerApp::InitInstance() {
    CViewerDlg dialog;
    new CViewerActivation(&dialog); // owned by the dialog
    dialog.DoModal();
    return 0;
}
