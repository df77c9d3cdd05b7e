#include "platform/aside.h"

#include <pthread.h>
#include <sched.h>

namespace parlavo {

struct AsideThread::Handle {
    std::function<void()> work;
    cpu_set_t allowed{}; // the caller's processors, given back to the thread once it runs
    bool narrowed = false;
    pthread_t thread{};
    bool running = false;
};

void* AsideThread::run(void* argument) {
    auto* handle = static_cast<AsideThread::Handle*>(argument);
    if (handle->narrowed) {
        pthread_setaffinity_np(pthread_self(), sizeof handle->allowed, &handle->allowed);
    }
    handle->work();
    return nullptr;
}

AsideThread::AsideThread(std::function<void()> work) : handle_(std::make_unique<Handle>()) {
    handle_->work = std::move(work);
    pthread_attr_t attributes;
    if (pthread_attr_init(&attributes) != 0) {
        return;
    }
    const int current = sched_getcpu();
    if (sched_getaffinity(0, sizeof handle_->allowed, &handle_->allowed) == 0 && current >= 0) {
        cpu_set_t others = handle_->allowed;
        CPU_CLR(current, &others);
        handle_->narrowed =
            CPU_COUNT(&others) > 0 && pthread_attr_setaffinity_np(&attributes, sizeof others, &others) == 0;
    }
    handle_->running = pthread_create(&handle_->thread, &attributes, run, handle_.get()) == 0;
    pthread_attr_destroy(&attributes);
    if (!handle_->running && handle_->narrowed) { // the processors could not be chosen: any will do
        handle_->narrowed = false;
        handle_->running = pthread_create(&handle_->thread, nullptr, run, handle_.get()) == 0;
    }
}

AsideThread::~AsideThread() {
    join();
}

bool AsideThread::runsAside() const {
    return handle_ && handle_->running;
}

void AsideThread::join() {
    if (!handle_) {
        return;
    }
    if (handle_->running) {
        pthread_join(handle_->thread, nullptr);
    } else if (handle_->work) {
        handle_->work(); // no thread could be made
    }
    handle_.reset();
}

} // namespace parlavo
