#pragma once

#include <QGroupBox>

namespace zantrel {

class Engine;

// The "Chart Preferences" panel: units, automatic scaling and the manual temperature
// bounds, each following its control in the engine's state.
class PreferencesPanelView : public QGroupBox {
    Q_OBJECT
  public:
    PreferencesPanelView(Engine& engine, QWidget* parent = nullptr);
};

} // namespace zantrel
