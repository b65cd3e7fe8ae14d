#include "ui/drive_state.h"

#include "config/ini_file.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

DriveState DriveStateOf(const WarnedDrive& drive, bool readable) {
    if (!readable || drive.report.evaluation.parseError) {
        return DriveState::NoData; // half a report would look fine
    }
    if (drive.report.evaluation.rows.empty() && drive.report.panel.verdict.empty()) {
        return DriveState::NoData; // nothing was read that could be judged
    }
    const std::optional<WarningLevel> level = HighestLevel(drive.warnings);
    if (!level) {
        return DriveState::Fine;
    }
    return *level == WarningLevel::Failing ? DriveState::Failing : DriveState::Warning;
}

bool IsReadableReport(const std::string& path) {
    CIniFile file; // reads only regular files, never blocks on a FIFO
    return file.Load(path).HasValue();
}

namespace {

// Freedesktop names; "emblem-unreadable" is the standard one for a file
// that cannot be read.
const char* ThemeName(DriveState state) {
    switch (state) {
    case DriveState::NoData:
        return "emblem-unreadable";
    case DriveState::Fine:
        return "emblem-ok";
    case DriveState::Warning:
        return "dialog-warning";
    case DriveState::Failing:
        return "dialog-error";
    }
    return "";
}

// One state's sign on a square of side size: a red disc with a cross, an
// amber triangle with an exclamation mark, a green disc with a tick, a grey
// ring with a dash.
QPixmap DrawState(DriveState state, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    const QRectF disc(s * 0.06, s * 0.06, s * 0.88, s * 0.88);
    QPen mark(Qt::white, s * 0.14, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    switch (state) {
    case DriveState::Failing:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(204, 0, 0));
        painter.drawEllipse(disc);
        painter.setPen(mark);
        painter.drawLine(QPointF(s * 0.32, s * 0.32), QPointF(s * 0.68, s * 0.68));
        painter.drawLine(QPointF(s * 0.68, s * 0.32), QPointF(s * 0.32, s * 0.68));
        break;
    case DriveState::Warning: {
        QPainterPath triangle;
        triangle.moveTo(s * 0.5, s * 0.04);
        triangle.lineTo(s * 0.97, s * 0.92);
        triangle.lineTo(s * 0.03, s * 0.92);
        triangle.closeSubpath();
        painter.setPen(
            QPen(QColor(150, 90, 0), s * 0.06, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(QColor(245, 180, 0));
        painter.drawPath(triangle);
        mark.setColor(Qt::black);
        mark.setWidthF(s * 0.13);
        painter.setPen(mark);
        painter.drawLine(QPointF(s * 0.5, s * 0.36), QPointF(s * 0.5, s * 0.6));
        painter.drawPoint(QPointF(s * 0.5, s * 0.77));
        break;
    }
    case DriveState::Fine:
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(40, 150, 50));
        painter.drawEllipse(disc);
        painter.setPen(mark);
        painter.drawPolyline(QPolygonF({QPointF(s * 0.28, s * 0.52), QPointF(s * 0.44, s * 0.68),
                                        QPointF(s * 0.72, s * 0.34)}));
        break;
    case DriveState::NoData:
        painter.setPen(QPen(QColor(120, 120, 120), s * 0.1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(disc.adjusted(s * 0.04, s * 0.04, -s * 0.04, -s * 0.04));
        mark.setColor(QColor(120, 120, 120));
        painter.setPen(mark);
        painter.drawLine(QPointF(s * 0.32, s * 0.5), QPointF(s * 0.68, s * 0.5));
        break;
    }
    return pixmap;
}

} // namespace

QIcon DrawnDriveStateIcon(DriveState state) {
    QIcon icon;
    // Drawn at the sizes lists use, so that none is a blurred scaling.
    for (int size : {11, 12, 13, 14, 16, 20, 24, 32, 48}) {
        icon.addPixmap(DrawState(state, size));
    }
    return icon;
}

QIcon DriveStateIcon(DriveState state) {
    return QIcon::fromTheme(QString::fromLatin1(ThemeName(state)), DrawnDriveStateIcon(state));
}
