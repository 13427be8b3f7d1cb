#include "database/CallWatch.h"

#include "database/StatusVector.h"

CallWatch::~CallWatch() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
}

CallWatch::Watched::Watched(CallWatch& watch, isc_db_handle handle,
                            std::optional<std::chrono::seconds> limit)
    : watch_(watch) {
    if (!limit || !handle || !watch.client_.fb_cancel_operation) return;
    watch.Arm(handle, *limit);
    armed_ = true;
}

CallWatch::Watched::~Watched() {
    if (armed_) watch_.Disarm();
}

bool CallWatch::CutOff() const {
    const std::lock_guard lock(mutex_);
    return cutOff_;
}

void CallWatch::NewConnection() {
    const std::lock_guard lock(mutex_);
    cutOff_ = false;
}

void CallWatch::Arm(isc_db_handle handle, std::chrono::seconds limit) {
    {
        const std::lock_guard lock(mutex_);
        if (depth_++ > 0) return;
        handle_ = handle;
        deadline_ = std::chrono::steady_clock::now() + limit;
        if (!thread_.joinable()) thread_ = std::thread([this] { Watch(); });
    }
    changed_.notify_all();
}

// Under the lock, so that a call that has returned is never cut off afterwards.
void CallWatch::Disarm() {
    const std::lock_guard lock(mutex_);
    if (--depth_ == 0) deadline_.reset();
}

void CallWatch::Watch() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (!deadline_) {
            changed_.wait(lock);
        } else if (std::chrono::steady_clock::now() < *deadline_) {
            changed_.wait_until(lock, *deadline_);
        } else {
            client_.fb_cancel_operation(ThreadStatus(), &handle_, fb_cancel_abort);
            cutOff_ = true;
            deadline_.reset();
        }
    }
}
