#include "sim/logger_simulator.h"

#include "sim/output_queue.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace zantrel::sim {

namespace {

// Idle: look at the stop request this often even without a wake-up.
constexpr int kIdlePollMs = 200;
// How often to look whether the program has read the last bytes before the logger vanishes.
constexpr int kDrainPollMs = 5;
constexpr int kReadChunk = 512;
// Longest wait for the program to read the last bytes before the logger vanishes.
constexpr int kDrainMs = 500;
constexpr int kSettleMs = 10;

} // namespace

LoggerSimulator::LoggerSimulator(const LoggerConfig& config)
    : config_(config), memory_(config), parser_(config.version),
      behaviour_(memory_, config.faults) {}

LoggerSimulator::~LoggerSimulator() {
    stop();
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

bool LoggerSimulator::start(QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    if (started_) return fail("the simulator was started before");
    const QString problem = configProblem(config_);
    if (!problem.isEmpty()) return fail(problem);
    QString why;
    if (!master_.open(&why)) return fail(why);
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        master_.close();
        return fail("cannot create a wake-up descriptor");
    }
    devicePath_ = master_.slavePath();
    started_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void LoggerSimulator::stop() {
    if (!thread_.joinable()) return;
    stopping_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] const auto ignored = ::write(wakeFd_, &one, sizeof one);
    thread_.join();
    master_.close();
}

void LoggerSimulator::setFaults(const Faults& faults) {
    std::lock_guard lock(mutex_);
    behaviour_.setFaults(faults);
}

QByteArray LoggerSimulator::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

QByteArray LoggerSimulator::sent() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

double LoggerSimulator::sentWireSeconds() const {
    std::lock_guard lock(mutex_);
    return sentWireSeconds_;
}

std::vector<Command> LoggerSimulator::commands() const {
    std::lock_guard lock(mutex_);
    return commands_;
}

bool LoggerSimulator::waitForCommands(int count, int timeoutMs) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return int(commands_.size()) >= count; });
}

void LoggerSimulator::clearRecords() {
    std::lock_guard lock(mutex_);
    received_.clear();
    sent_.clear();
    sentWireSeconds_ = 0;
    commands_.clear();
}

void LoggerSimulator::run() {
    OutputQueue out;
    while (!stopping_) {
        int timeout = out.waitMs(OutputQueue::Clock::now());
        if (timeout < 0 || timeout > kIdlePollMs) timeout = kIdlePollMs;
        pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {master_.fd(), POLLIN, 0}};
        if (::poll(fds, 2, timeout) < 0 && errno != EINTR) break;
        if (stopping_) break;
        if (fds[1].revents & POLLIN) readInput(out);

        const int speed = speed_;
        const OutputQueue::Progress progress =
            out.writeDue(master_.fd(), OutputQueue::Clock::now(), speed, config_.paced);
        if (progress.speed != 0) speed_ = progress.speed;
        if (!progress.written.isEmpty()) {
            std::lock_guard lock(mutex_);
            sent_ += progress.written;
            // A reply that changes the speed is the last one sent at the old speed.
            sentWireSeconds_ += progress.written.size() * 10.0 / speed;
            changed_.notify_all();
        }
        if (progress.close) {
            vanish();
            return;
        }
    }
}

void LoggerSimulator::vanish() {
    // Closing the master discards what the program has not read yet; let it take the bytes sent
    // so far first, so that the logger vanishes after exactly those. Written bytes reach the
    // slave's queue a little later, hence the first pause.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDrainMs);
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettleMs));
    while (!stopping_ && master_.slaveHasUnread() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(kDrainPollMs));
    std::lock_guard lock(mutex_);
    master_.close();
    vanished_ = true;
    changed_.notify_all();
}

void LoggerSimulator::readInput(OutputQueue& out) {
    char buffer[kReadChunk];
    for (;;) {
        const ssize_t n = ::read(master_.fd(), buffer, sizeof buffer);
        if (n > 0) {
            handle(QByteArray(buffer, n), out);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return;
    }
}

void LoggerSimulator::handle(const QByteArray& bytes, OutputQueue& out) {
    const int baudNow = master_.lineBaud();
    const bool continuing = !parser_.idle();
    std::vector<Command> commands = parser_.feed(bytes);
    for (size_t i = 0; i < commands.size(); ++i)
        commands[i].lineBaud = i == 0 && continuing ? commandStartBaud_ : baudNow;
    // A command still in progress began in this read unless it is the one begun before.
    if (!parser_.idle() && !(continuing && commands.empty())) commandStartBaud_ = baudNow;

    std::lock_guard lock(mutex_);
    received_ += bytes;
    for (Command& command : commands) {
        const Reply reply = behaviour_.respond(command);
        if (reply.stopSending) out.clear();
        out.push(reply);
        commands_.push_back(command);
    }
    changed_.notify_all();
}

} // namespace zantrel::sim
