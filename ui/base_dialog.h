#pragma once

#include "ui/dialog_units.h"

#include <QDialog>

class QShortcut;

// A dialog laid out in template units with the dialog font, run modally by
// DoModal after OnInitDialog has prepared it. Enter ends it as accepted and
// Esc as cancelled, whichever control has the focus, unless a default push
// button takes the Enter.
class CBaseDialog : public QDialog {
    Q_OBJECT
public:
    explicit CBaseDialog(QWidget* parent = nullptr);
    ~CBaseDialog() override;

    // Runs OnInitDialog, then the dialog; returns its result.
    int DoModal();
    // Prepares the dialog before it is first shown.
    virtual bool OnInitDialog();

    const CDialogUnits& Units() const { return m_units; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // Fixes the dialog's client area to the template size.
    void SetTemplateSize(int cx, int cy);

    // The keyboard accelerator, created by the derived dialog.
    QShortcut* m_hAccel = nullptr;

private:
    CDialogUnits m_units;
};
