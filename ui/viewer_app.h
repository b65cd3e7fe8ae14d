#pragma once

#include <QApplication>
#include <QIcon>
#include <QTranslator>

class QLocale;

// The application: runs the main dialog modally and ends when it closes.
class CViewerApp : public QApplication {
    Q_OBJECT
public:
    CViewerApp(int& argc, char** argv);

    // Runs the main dialog; the result is the program's exit status.
    int InitInstance();

    static QIcon ProgramIcon();

    // Loads Qt's own texts (file chooser, message box buttons) for locale
    // from Qt's translations folder; false when Qt has none for it.
    static bool LoadQtTranslations(QTranslator& translator, const QLocale& locale);

private:
    QTranslator m_qtTranslator;
};
