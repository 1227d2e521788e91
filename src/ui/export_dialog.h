#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace zantrel {

class Engine;

// "Export": the chart's readings as long CSV, InfluxDB line protocol or an Excel workbook,
// made from the chart files the chart was loaded from (each under its own offset, the
// machine's time zone's or a fixed one). A chart that came from the logger and was not
// loaded from files is refused: the files are the record. The status line says where the
// export went or why it was not made; the dialog closes only when it was made.
class ExportDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ExportDialog(Engine& engine, QWidget* parent = nullptr);

    QComboBox* formatBox() const { return format_; }
    QRadioButton* machineZoneChoice() const { return machineZone_; }
    QRadioButton* fixedOffsetChoice() const { return fixedOffset_; }
    QLineEdit* offsetEdit() const { return offset_; }
    // Why the last try was refused; empty when it was not.
    QString note() const;

    // Exports as the fields say, asking for the file.
    void accept() override;

  private:
    void tell(const QString& status);
    void refuse(const QString& why);

    Engine& engine_;
    QComboBox* format_ = nullptr;
    QRadioButton* machineZone_ = nullptr;
    QRadioButton* fixedOffset_ = nullptr;
    QLineEdit* offset_ = nullptr;
    QLabel* note_ = nullptr;
};

} // namespace zantrel
