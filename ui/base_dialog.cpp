#include "ui/base_dialog.h"

#include <QKeyEvent>
#include <QPushButton>
#include <algorithm>

CBaseDialog::CBaseDialog(QWidget* parent) : QDialog(parent), m_units(DialogFont()) {
    setFont(DialogFont());
}

CBaseDialog::~CBaseDialog() = default;

int CBaseDialog::DoModal() {
    OnInitDialog();
    return exec();
}

bool CBaseDialog::OnInitDialog() {
    return true;
}

void CBaseDialog::SetTemplateSize(int cx, int cy) {
    setFixedSize(m_units.MapSize(cx, cy));
}

void CBaseDialog::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        const QList<QPushButton*> buttons = findChildren<QPushButton*>();
        if (std::none_of(buttons.begin(), buttons.end(),
                         [](QPushButton* b) { return b->isDefault() && b->isVisible(); })) {
            accept();
            return;
        }
    }
    QDialog::keyPressEvent(event);
}
