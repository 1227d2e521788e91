#pragma once

#include <QGroupBox>

class QDateEdit;
class QTimeEdit;

namespace zantrel {

class Control;
class Engine;
class TextSlot;

// The "Upload information" panel: range choice, the four range pickers, the channel
// choice and the upload buttons, each following its control in the engine's state.
class UploadPanelView : public QGroupBox {
    Q_OBJECT
  public:
    UploadPanelView(Engine& engine, QWidget* parent = nullptr);

  private:
    QWidget* makeRangeGroup(Engine& engine);
    QDateEdit* makeDatePicker(Control& picker, TextSlot& format);
    QTimeEdit* makeTimePicker(Control& picker);
};

} // namespace zantrel
