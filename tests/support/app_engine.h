#pragma once

#include "engine/engine.h"
#include "fake_host.h"
#include "test_clock.h"
#include "work_dir.h"

#include <memory>
#include <optional>

namespace zantrel {

// An engine on virtual time over a temporary settings folder; HostT stands in for the window.
template <class HostT = FakeHost> struct AppEngine {
    WorkDir dir;
    TestClock clock;
    HostT host;
    std::unique_ptr<Engine> engine;

    // Starts the engine, or starts it again over the same folder; port is used for this run only.
    Engine& start(const std::optional<QByteArray>& port = std::nullopt) {
        engine = std::make_unique<Engine>(clock, host);
        engine->FormCreate(dir.path(), {}, port);
        return *engine;
    }
    State& state() { return engine->state(); }
};

} // namespace zantrel
