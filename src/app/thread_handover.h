// Calls that a worker thread posts to the window's thread (queued or blocking
// QMetaObject::invokeMethod), in a form whose hand-over ThreadSanitizer can follow.
//
// The toolkit builds such a call on the worker, runs it on the window's thread and
// frees it on whichever thread lets go of it last; the waits and the reference
// count that order these steps live inside the toolkit's uninstrumented libraries,
// where the sanitizer cannot see them. PostedCall announces them itself: building
// or copying the call hands over everything its thread wrote so far, running it
// takes that up (and hands back what the call wrote), and freeing it takes up what
// the other side handed over. Outside a ThreadSanitizer build all of this is empty.
#pragma once

#include <type_traits>
#include <utility>

#if defined(__SANITIZE_THREAD__)
#define RELAN_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RELAN_TSAN 1
#endif
#endif

#ifdef RELAN_TSAN
extern "C" void __tsan_acquire(void* addr);
extern "C" void __tsan_release(void* addr);
#endif

namespace relan {

// Everything this thread wrote so far is visible to a thread that takes over at `token`.
inline void HandOverAt(const void* token) {
#ifdef RELAN_TSAN
    __tsan_release(const_cast<void*>(token));
#else
    (void)token;
#endif
}

// Takes up what another thread handed over at `token`.
inline void TakeOverAt(const void* token) {
#ifdef RELAN_TSAN
    __tsan_acquire(const_cast<void*>(token));
#else
    (void)token;
#endif
}

template <typename F>
class PostedCall {
public:
    explicit PostedCall(F f) : f_(std::move(f)) { HandOverAt(this); }
    PostedCall(const PostedCall& o) : f_(o.f_) { HandOverAt(this); }
    PostedCall(PostedCall&& o) noexcept(std::is_nothrow_move_constructible_v<F>) : f_(std::move(o.f_)) {
        HandOverAt(this);
    }
    PostedCall& operator=(const PostedCall&) = delete;
    PostedCall& operator=(PostedCall&&) = delete;
    ~PostedCall() { TakeOverAt(this); }

    void operator()() {
        TakeOverAt(this);
        f_();
        HandOverAt(this);
    }

private:
    F f_;
};

// The call to give to QMetaObject::invokeMethod in place of `f`.
template <typename F>
PostedCall<std::decay_t<F>> Posted(F&& f) {
    return PostedCall<std::decay_t<F>>(std::forward<F>(f));
}

}  // namespace relan
