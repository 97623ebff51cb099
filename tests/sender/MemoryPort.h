#pragma once
// A port in memory for the sender's tests: it keeps what was written, answers what the test
// tells it to, takes only so much per write, or goes away after so many bytes.

#include "sender/BytePort.h"

#include <deque>
#include <functional>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

namespace plotalon::test {

class TMemoryPort : public IBytePort {
public:
    // Called with every chunk written; what it returns comes back as the plotter's answer.
    std::function<std::string(std::string_view)> Answer;
    std::size_t TakeAtMost = std::numeric_limits<std::size_t>::max();
    std::size_t LoseAfter = std::numeric_limits<std::size_t>::max();
    double Rate = 0;
    int Discards = 0;

    std::string Written() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }

    std::size_t Write(std::string_view bytes, TMillis wait) override {
        std::unique_lock lock(mutex_);
        if (bytes_.size() >= LoseAfter) throw EPortLost(Name());
        const std::size_t n = std::min({bytes.size(), TakeAtMost, LoseAfter - bytes_.size()});
        if (n == 0) {
            lock.unlock();
            std::this_thread::sleep_for(wait);
            return 0;
        }
        bytes_.append(bytes.substr(0, n));
        lock.unlock();
        const std::string answer = Answer ? Answer(bytes.substr(0, n)) : std::string();
        lock.lock();
        incoming_ += answer;
        return n;
    }
    std::string Read(TMillis wait) override {
        std::unique_lock lock(mutex_);
        if (incoming_.empty()) {
            lock.unlock();
            std::this_thread::sleep_for(std::min(wait, TMillis(5)));
            return {};
        }
        return std::exchange(incoming_, std::string());
    }
    bool WaitSent(TMillis) override { return true; }
    void DiscardOutput() override { ++Discards; }
    double CharsPerSecond() const override { return Rate; }
    bool CanAnswer() const override { return true; }
    std::string Name() const override { return "/dev/ttyTest"; }

private:
    mutable std::mutex mutex_;
    std::string bytes_;
    std::string incoming_;
};

} // namespace plotalon::test
