#pragma once

#include <functional>
#include <future>
#include <memory>
#include <type_traits>
#include <utility>

namespace parlavo {

// A thread that starts on another processor than its caller's, where the caller may use another,
// and may then run anywhere. A new thread is otherwise often queued behind its busy caller until the
// scheduler next balances its processors (milliseconds on a virtual machine whose other processor
// is idle). The thread is joined when the object goes; a thread that cannot be made leaves work to
// run on the caller's thread, when it is joined.
class AsideThread {
  public:
    explicit AsideThread(std::function<void()> work);
    AsideThread(const AsideThread&) = delete;
    AsideThread& operator=(const AsideThread&) = delete;
    ~AsideThread();
    void join();
    bool runsAside() const; // false: no thread could be made, and the work runs when joined

  private:
    struct Handle;
    static void* run(void* handle);
    std::unique_ptr<Handle> handle_;
};

// The result of work done on an AsideThread, as std::async gives it: get() waits for it (and throws
// what the work threw), and the work is waited for when the object goes, so that what it refers to
// outlives it.
template <typename R> class Aside {
  public:
    Aside() = default;
    template <typename F> explicit Aside(F work) {
        auto task = std::make_shared<std::packaged_task<R()>>(std::move(work));
        result_ = task->get_future();
        thread_ = std::make_unique<AsideThread>([task] { (*task)(); });
    }
    bool valid() const { return result_.valid(); }
    // False when the work runs on the caller's thread when get() is called (no thread could be
    // made): the caller must then not wait for anything the work does.
    bool runsAside() const { return thread_ && thread_->runsAside(); }
    R get() {
        thread_->join(); // a thread that is over leaves its stack for the next one
        return result_.get();
    }

  private:
    std::future<R> result_;
    std::unique_ptr<AsideThread> thread_;
};

template <typename F> Aside(F) -> Aside<std::invoke_result_t<F&>>;

} // namespace parlavo
