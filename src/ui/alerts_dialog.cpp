#include "ui/alerts_dialog.h"

#include "alerts/alert_log.h"
#include "alerts/download_record.h"
#include "core/clock.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zantrel {

namespace {

QString Shown(double t) {
    return AlertTime(t).replace('T', ' ');
}

} // namespace

AlertsDialog::AlertsDialog(AlertLog* log, const DownloadRecord* record, Clock& clock,
                           QWidget* parent)
    : QDialog(parent), log_(log), clock_(clock), table_(new QTableWidget(0, 4, this)),
      acknowledge_(new QPushButton("Acknowledge", this)) {
    setObjectName("AlertsDialog");
    setWindowTitle("Alerts");
    table_->setObjectName("AlertsTable");
    table_->setHorizontalHeaderLabels({"Time", "Kind", "Figures", "Acknowledged"});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    acknowledge_->setObjectName("Acknowledge");
    auto* close = new QPushButton("Close", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(acknowledge_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    if (!log_) layout->addWidget(new QLabel("No alerts: Auto Download has no file yet.", this));
    if (record && !record->problem().isEmpty())
        layout->addWidget(new QLabel(QString::fromLocal8Bit(record->problem()), this));
    if (log_ && log_->unreadableLines() > 0)
        layout->addWidget(new QLabel(QString("%1 lines of %2 do not read as alerts; they are "
                                             "left in the file.")
                                         .arg(log_->unreadableLines())
                                         .arg(QString::fromLocal8Bit(log_->path())),
                                     this));
    layout->addWidget(table_);
    layout->addLayout(buttons);
    connect(acknowledge_, &QPushButton::clicked, this, &AlertsDialog::askForComment);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(table_, &QTableWidget::currentCellChanged, this, [this](int row) {
        acknowledge_->setEnabled(log_ && row >= 0 &&
                                 !log_->alerts()[static_cast<std::size_t>(row)].acknowledged);
    });
    resize(900, 400);
    fill();
}

void AlertsDialog::fill() {
    const int current = table_->currentRow();
    table_->setRowCount(0);
    if (log_) {
        for (const LoggedAlert& logged : log_->alerts()) {
            const int row = table_->rowCount();
            table_->insertRow(row);
            QString acknowledged;
            if (const auto& a = logged.acknowledged)
                acknowledged = QString::fromLatin1(a->by) + ", " + Shown(a->at) + ": " +
                               QString::fromLatin1(a->comment);
            const QStringList cells = {Shown(logged.alert.raised),
                                       QString::fromLatin1(logged.alert.kind),
                                       QString::fromLatin1(logged.alert.text), acknowledged};
            for (int column = 0; column < cells.size(); ++column)
                table_->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    for (const int column : {0, 1, 3})
        table_->resizeColumnToContents(column);
    const int rows = table_->rowCount();
    table_->setCurrentCell(current >= 0 && current < rows ? current : rows - 1, 0);
    acknowledge_->setEnabled(
        log_ && rows > 0 &&
        !log_->alerts()[static_cast<std::size_t>(table_->currentRow())].acknowledged);
}

void AlertsDialog::askForComment() {
    bool ok = false;
    const QString comment =
        QInputDialog::getText(this, "Acknowledge", "Comment:", QLineEdit::Normal, {}, &ok);
    if (ok) acknowledgeCurrent(comment);
}

bool AlertsDialog::acknowledgeCurrent(const QString& comment) {
    const int row = table_->currentRow();
    if (!log_ || row < 0) return false;
    const QByteArray id = log_->alerts()[static_cast<std::size_t>(row)].alert.id;
    if (!log_->acknowledge(id, {LoginName(), clock_.now(), comment.toLatin1()})) {
        QMessageBox::warning(this, "Problem", QString::fromLocal8Bit(log_->failure()));
        return false;
    }
    fill();
    return true;
}

} // namespace zantrel
