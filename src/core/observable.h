#pragma once

#include <functional>
#include <vector>

namespace zantrel {

// A value that views can follow. Listeners run on the main thread after each change.
class Observable {
  public:
    using Listener = std::function<void()>;

    void subscribe(Listener listener) { listeners_.push_back(std::move(listener)); }

  protected:
    void notify() const {
        for (const auto& l : listeners_)
            l();
    }

  private:
    std::vector<Listener> listeners_;
};

} // namespace zantrel
