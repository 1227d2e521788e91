#include "ui/statistics_window.h"
#include "chart/chart_model.h"
#include "core/state.h"

#include "chart/statistics_report.h"
#include "engine/engine.h"
#include "ui/centred_dialog.h"
#include "ui/statistics_limits_view.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace zantrel {

namespace {

const QStringList kColumns = {"Figure", "Whole chart", "Shown on chart"};

} // namespace

StatisticsWindow::StatisticsWindow(Engine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine) {
    setObjectName("Statistics");
    setWindowTitle("Chart Statistics");
    auto* layout = new QVBoxLayout(this);
    limits_ = new StatisticsLimitsView(engine_.statisticsSettings(), this);
    layout->addWidget(limits_);

    table_ = new QTableWidget(0, kColumns.size(), this);
    table_->setObjectName("StatisticsTable");
    table_->setHorizontalHeaderLabels(kColumns);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table_->verticalHeader()->setVisible(false);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->setFocusPolicy(Qt::NoFocus);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    layout->addWidget(table_, 1);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* copy = buttons->addButton("&Copy", QDialogButtonBox::ActionRole);
    copy->setObjectName("CopyStatistics");
    copy->setShortcut(QKeySequence::Copy);
    copy->setAutoDefault(false);
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setAutoDefault(false);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text()); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);

    connect(limits_, &StatisticsLimitsView::optionsChanged, this, [this] { schedule(true); });
    follow();
    resize(520, 620);
}

// The first time, beside the main window where the screen has room, so that the chart stays
// in sight while it is zoomed.
void StatisticsWindow::placeBesideParent() {
    placed_ = true;
    const QWidget* main = parentWidget();
    const auto area = AvailableScreenArea(*this);
    if (!main || !area) return;
    const QRect frame = main->frameGeometry();
    const QSize size = frameGeometry().size();
    const QRect right(frame.topRight() + QPoint(1, 0), size);
    const QRect left(frame.topLeft() - QPoint(size.width(), 0), size);
    if (area->contains(right))
        move(right.topLeft());
    else if (area->contains(left))
        move(left.topLeft());
}

// New readings (every change of the store redraws a series or shows a status), the range
// shown, the unit and the date format.
void StatisticsWindow::follow() {
    QPointer<StatisticsWindow> self(this);
    auto whole = [self] {
        if (self) self->schedule(true);
    };
    auto shown = [self] {
        if (self) self->schedule(false);
    };
    ChartModel& chart = engine_.chart();
    State& state = engine_.state();
    chart.Series1.subscribe(whole);
    chart.Series2.subscribe(whole);
    state.Edit1.subscribe(whole);
    state.TempInF.subscribe(whole);
    state.RHZL.subscribe(whole);
    state.DATEFORMAT.subscribe(whole);
    chart.ShownTime.subscribe(shown);
}

void StatisticsWindow::schedule(bool whole) {
    wholeStale_ = wholeStale_ || whole;
    shownStale_ = true;
    if (pending_ || !isVisible()) return;
    pending_ = true;
    QTimer::singleShot(0, this, &StatisticsWindow::refreshNow);
}

void StatisticsWindow::showEvent(QShowEvent* event) {
    if (!placed_) placeBesideParent();
    QDialog::showEvent(event);
    refreshNow();
}

TimeRange StatisticsWindow::shownRange() const {
    const ShownTimeRange& shown = engine_.chart().ShownTime;
    if (!shown.known) return {0, -1}; // nothing shown: no reading
    return {shown.from, shown.to};
}

void StatisticsWindow::refreshNow() {
    pending_ = false;
    const ReadingsStore& store = engine_.readings();
    StatisticsOptions options = limits_->options();
    options.humidity = engine_.state().RHZL.checked();
    limits_->setFahrenheit(engine_.state().TempInF.checked());
    if (wholeStale_) whole_ = ComputeChartStatistics(store, {}, options);
    if (shownStale_) shown_ = ComputeChartStatistics(store, shownRange(), options);
    wholeStale_ = shownStale_ = false;
    fillTable();
}

void StatisticsWindow::fillTable() {
    const bool fahrenheit = engine_.state().TempInF.checked();
    const QByteArray pattern = engine_.state().DATEFORMAT.text();
    const StatisticsOptions& options = limits_->options();
    const QList<StatisticsLine> whole = StatisticsLines(whole_, options, fahrenheit, pattern);
    const QList<StatisticsLine> shown = StatisticsLines(shown_, options, fahrenheit, pattern);
    table_->setRowCount(static_cast<int>(whole.size()));
    for (int row = 0; row < whole.size(); ++row) {
        const QByteArray cells[] = {whole[row].label, whole[row].value, shown[row].value};
        for (int column = 0; column < 3; ++column) {
            const QString cell = QString::fromLatin1(cells[column]);
            if (QTableWidgetItem* item = table_->item(row, column))
                item->setText(cell);
            else
                table_->setItem(row, column, new QTableWidgetItem(cell));
        }
    }
}

QString StatisticsWindow::text() const {
    QStringList lines = {kColumns.join('\t')};
    for (int row = 0; row < table_->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < table_->columnCount(); ++column)
            cells << (table_->item(row, column) ? table_->item(row, column)->text() : QString());
        lines << cells.join('\t');
    }
    return lines.join('\n') + '\n';
}

} // namespace zantrel
