#pragma once

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;

namespace zantrel {

class Engine;
class PrintView;
struct ReportOptions;

// "Report": the compliance report of the whole chart, to a PDF file or the printer. The band
// and the delay start as the statistics' settings, the band in the unit the chart shows, the
// unit as the chart's; the reviewer and the meaning of the review are the user's. An entry that
// does not make sense is refused with a note and nothing is made. The status line says where the
// report went or why it could not be made; the dialog closes only when it was made.
class ReportDialog : public QDialog {
    Q_OBJECT
  public:
    ReportDialog(Engine& engine, PrintView& print, QWidget* parent = nullptr);

    QLineEdit* lowEdit() const { return low_; }
    QLineEdit* highEdit() const { return high_; }
    QSpinBox* delayBox() const { return delay_; }
    QComboBox* unitBox() const { return unit_; }
    QLineEdit* reviewerEdit() const { return reviewer_; }
    QLineEdit* meaningEdit() const { return meaning_; }
    QRadioButton* pdfChoice() const { return pdf_; }
    QRadioButton* printerChoice() const { return printer_; }
    // Why the last entry was refused; empty when it was not.
    QString note() const;

    // Makes the report as the fields say.
    void accept() override;

  private:
    void buildFields();
    bool fahrenheit() const;
    void unitChanged();
    std::optional<ReportOptions> readOptions();
    bool writePdf(const ReportOptions& options);
    bool print(const ReportOptions& options);
    void tell(const QString& status);
    void refuse(const QString& why);

    Engine& engine_;
    PrintView& print_;
    QLineEdit* low_ = nullptr;
    QLineEdit* high_ = nullptr;
    QSpinBox* delay_ = nullptr;
    QComboBox* unit_ = nullptr;
    QLineEdit* reviewer_ = nullptr;
    QLineEdit* meaning_ = nullptr;
    QRadioButton* pdf_ = nullptr;
    QRadioButton* printer_ = nullptr;
    QLabel* note_ = nullptr;
    bool shownFahrenheit_ = false; // the unit the limit fields are in
};

} // namespace zantrel
