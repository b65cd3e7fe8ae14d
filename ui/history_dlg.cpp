#include "ui/history_dlg.h"

#include "ui/history_window.h"

#include <QChart>
#include <QChartView>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <type_traits>

namespace {

struct SeriesDef {
    HistoryField field;
    const char* name; // as the table's columns call them
    QColor color;
};

const SeriesDef kSeries[] = {
    {HistoryField::Raw, "生の値", QColor(0, 90, 200)},
    {HistoryField::Value, "点数", QColor(0, 150, 60)},
    {HistoryField::Threshold, "危険値", QColor(220, 0, 0)},
};

// Lowest and highest y of the given series.
std::pair<double, double> YRange(std::initializer_list<const QLineSeries*> series) {
    double low = 0;
    double high = 0;
    bool any = false;
    for (const QLineSeries* line : series) {
        for (const QPointF& point : line->points()) {
            low = any ? std::min(low, point.y()) : point.y();
            high = any ? std::max(high, point.y()) : point.y();
            any = true;
        }
    }
    return {low, high};
}

void SetRange(QValueAxis& axis, const ValueAxisRange& range) {
    axis.setRange(range.low, range.high);
    axis.setTickCount(range.ticks);
}

} // namespace

CHistoryDlg::CHistoryDlg(const QString& title, const DriveHistory& history, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("historyWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::Window);
    setWindowTitle(QStringLiteral("履歴 - ") + title);
    resize(720, 440);
    auto* layout = new QVBoxLayout(this);
    if (history.points.empty()) {
        auto* empty = new QLabel(history.problem.empty()
                                     ? QString::fromUtf8(kEmptyText)
                                     : QString::fromUtf8(kUnreadableText) + QLatin1Char('\n') +
                                           QString::fromStdString(history.problem),
                                 this);
        empty->setTextFormat(Qt::PlainText);
        empty->setWordWrap(true);
        empty->setAlignment(Qt::AlignCenter);
        empty->setObjectName(QStringLiteral("historyEmpty"));
        layout->addWidget(empty);
        return;
    }
    BuildChart(title, history);
    auto* view = new QChartView(m_chart, this);
    view->setRenderHint(QPainter::Antialiasing);
    layout->addWidget(view);
}

CHistoryDlg::~CHistoryDlg() = default;

QLineSeries* CHistoryDlg::Series(HistoryField field) const {
    return m_series[static_cast<int>(field)];
}

void CHistoryDlg::BuildChart(const QString& title, const DriveHistory& history) {
    m_chart = new QChart;
    m_chart->setTitle(title);
    QFont titleFont = font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    m_chart->setTitleFont(titleFont);
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_chart->legend()->setFont(font());

    // The last level holds a little past the last reading, so that it shows.
    const std::int64_t end = ChartEnd(history.points, history.lastSeen);
    for (const SeriesDef& def : kSeries) {
        auto* line = new QLineSeries;
        line->setName(QString::fromUtf8(def.name));
        line->setColor(def.color);
        for (const StepPoint& step : StepSeries(history.points, def.field, end)) {
            line->append(static_cast<double>(step.time) * 1000.0, step.y);
        }
        m_chart->addSeries(line);
        m_series[static_cast<int>(def.field)] = line;
    }

    // QDateTimeAxis shows milliseconds since 1970 in local time.
    auto* time = new QDateTimeAxis;
    const std::int64_t first = history.points.front().time;
    constexpr int kTimeTicks = 5;
    time->setFormat(QString::fromLatin1(TimeAxisFormat(first, end, kTimeTicks)));
    time->setTitleText(QStringLiteral("日付"));
    time->setRange(QDateTime::fromMSecsSinceEpoch(first * 1000),
                   QDateTime::fromMSecsSinceEpoch(end * 1000));
    time->setTickCount(kTimeTicks);

    const QLineSeries* raw = Series(HistoryField::Raw);
    auto* rawAxis = new QValueAxis;
    rawAxis->setTitleText(QString::fromUtf8(kSeries[0].name));
    rawAxis->setLabelFormat(QStringLiteral("%.0f"));
    const auto [rawLow, rawHigh] = YRange({raw});
    SetRange(*rawAxis, WholeNumberAxis(rawLow, rawHigh));

    // Current values and thresholds, with room above and below the lines.
    auto* valueAxis = new QValueAxis;
    valueAxis->setTitleText(QStringLiteral("点数・危険値"));
    valueAxis->setLabelFormat(QStringLiteral("%.0f"));
    const auto [valueLow, valueHigh] =
        YRange({Series(HistoryField::Value), Series(HistoryField::Threshold)});
    SetRange(*valueAxis, WholeNumberAxis(std::max(0.0, valueLow - 5), valueHigh + 5));

    for (QAbstractAxis* axis : std::initializer_list<QAbstractAxis*>{time, rawAxis, valueAxis}) {
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
    }
    m_chart->addAxis(time, Qt::AlignBottom);
    m_chart->addAxis(rawAxis, Qt::AlignLeft);
    m_chart->addAxis(valueAxis, Qt::AlignRight);
    for (QLineSeries* line : m_series) {
        line->attachAxis(time);
        line->attachAxis(line == raw ? rawAxis : valueAxis);
    }
    rawAxis->setLinePenColor(kSeries[0].color);
    rawAxis->setLabelsColor(kSeries[0].color);
}

// The module's entry point, looked up by name (kHistoryWindowFactoryName).
extern "C" Q_DECL_EXPORT QWidget*
TolvenarCreateHistoryWindow(const QString& title, const DriveHistory& history, QWidget* parent) {
    static_assert(std::is_same_v<decltype(&TolvenarCreateHistoryWindow), HistoryWindowFactory>);
    return new CHistoryDlg(title, history, parent);
}
