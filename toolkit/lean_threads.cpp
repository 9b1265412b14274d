// The POSIX thread functions the C++ runtime calls, on the system's own
// critical sections, condition variables and fiber-local storage. They
// serve the guards of static locals, the per-thread exception globals, the
// unwinder's registry, std::mutex and std::condition_variable. The
// threading library's own versions bring its whole thread machinery (about
// 32 KB), which nothing here needs: the programs start their threads with
// CreateThread.
//
// Linked as an object, like lean_runtime.cpp, before the threading library
// is searched: a call to any function not defined here pulls the library
// object that defines it, and that object also defines some of these, so
// the link fails instead of mixing two implementations.
//
// The calls are those of Windows Vista, the oldest system the programs'
// manifests name.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>

#include <errno.h>
#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <new>

namespace {

// A mutex or condition variable word holds the address of its system
// object, made at first use. The static initializers leave -1, -2 or -3
// there (a plain, checking or recursive mutex): no address is that high.
bool Unmade(std::intptr_t word) { return word < 0 && word >= -3; }

template <typename Object>
Object* Existing(std::intptr_t* word) {
    const std::intptr_t seen = std::atomic_ref<std::intptr_t>(*word).load(std::memory_order_acquire);
    return Unmade(seen) ? nullptr : reinterpret_cast<Object*>(seen);
}

// Nothing when the system object cannot be made (no memory).
template <typename Object>
Object* Made(std::intptr_t* word) {
    std::atomic_ref<std::intptr_t> slot(*word);
    std::intptr_t seen = slot.load(std::memory_order_acquire);
    if (!Unmade(seen)) return reinterpret_cast<Object*>(seen);
    std::unique_ptr<Object> made(new (std::nothrow) Object);
    if (!made) return nullptr;
    if (slot.compare_exchange_strong(seen, reinterpret_cast<std::intptr_t>(made.get()), std::memory_order_acq_rel))
        return made.release();
    return reinterpret_cast<Object*>(seen);  // another thread made it first
}

template <typename Object>
void Unmake(std::intptr_t* word) {
    delete Existing<Object>(word);
    std::atomic_ref<std::intptr_t>(*word).store(-1, std::memory_order_release);
}

// Every mutex may be entered again by its owner, as the recursive kind
// must be; the runtime never relies on a plain one refusing that.
struct Mutex {
    CRITICAL_SECTION section;
    Mutex() { InitializeCriticalSection(&section); }
    ~Mutex() { DeleteCriticalSection(&section); }
    Mutex(const Mutex&) = delete;
    Mutex& operator=(const Mutex&) = delete;
};

struct Condition {
    CONDITION_VARIABLE variable = CONDITION_VARIABLE_INIT;
};

// Each key is a fiber-local slot of the system's. A thread's value sits in
// a record the slot points to; when the thread ends, the system hands the
// record to ThreadEnded, which gives the value to the key's destructor.
using Destructor = void (*)(void*);

struct KeyValue {
    DWORD slot;
    void* value;
};

// The keys' destructors by slot: grown as keys are made, never shrunk.
SRWLOCK destructorsLock = SRWLOCK_INIT;
Destructor* destructors = nullptr;
DWORD destructorCount = 0;

Destructor DestructorOf(DWORD slot) {
    AcquireSRWLockShared(&destructorsLock);
    const Destructor destructor = slot < destructorCount ? destructors[slot] : nullptr;
    ReleaseSRWLockShared(&destructorsLock);
    return destructor;
}

bool SetDestructor(DWORD slot, Destructor destructor) {
    AcquireSRWLockExclusive(&destructorsLock);
    bool stored = true;
    if (slot >= destructorCount) {
        const DWORD count = slot + 16;
        Destructor* grown = new (std::nothrow) Destructor[count]();
        if (grown) {
            for (DWORD i = 0; i < destructorCount; ++i) grown[i] = destructors[i];
            delete[] destructors;
            destructors = grown;
            destructorCount = count;
        } else {
            stored = false;
        }
    }
    if (stored) destructors[slot] = destructor;
    ReleaseSRWLockExclusive(&destructorsLock);
    return stored;
}

void WINAPI ThreadEnded(void* data) {
    const std::unique_ptr<KeyValue> record(static_cast<KeyValue*>(data));
    if (!record || !record->value) return;
    if (const Destructor destructor = DestructorOf(record->slot)) destructor(record->value);
}

// The runtime reads keys between a failing system call and its caller's
// GetLastError (it does when throwing): the error stays as it was.
class LastErrorKept {
public:
    LastErrorKept() : error_(GetLastError()) {}
    ~LastErrorKept() { SetLastError(error_); }
    LastErrorKept(const LastErrorKept&) = delete;
    LastErrorKept& operator=(const LastErrorKept&) = delete;

private:
    DWORD error_;
};

}  // namespace

extern "C" {

int pthread_mutex_init(pthread_mutex_t* mutex, const pthread_mutexattr_t*) {
    *mutex = PTHREAD_MUTEX_INITIALIZER;
    return 0;
}

int pthread_mutex_destroy(pthread_mutex_t* mutex) {
    Unmake<Mutex>(mutex);
    return 0;
}

int pthread_mutex_lock(pthread_mutex_t* mutex) {
    Mutex* made = Made<Mutex>(mutex);
    if (!made) return ENOMEM;
    EnterCriticalSection(&made->section);
    return 0;
}

int pthread_mutex_unlock(pthread_mutex_t* mutex) {
    Mutex* made = Existing<Mutex>(mutex);
    if (!made) return EPERM;
    LeaveCriticalSection(&made->section);
    return 0;
}

int pthread_cond_destroy(pthread_cond_t* condition) {
    Unmake<Condition>(condition);
    return 0;
}

int pthread_cond_wait(pthread_cond_t* condition, pthread_mutex_t* mutex) {
    Condition* made = Made<Condition>(condition);
    Mutex* held = Existing<Mutex>(mutex);
    if (!made || !held) return made ? EPERM : ENOMEM;
    return SleepConditionVariableCS(&made->variable, &held->section, INFINITE) ? 0 : EINVAL;
}

// A condition variable nobody has waited on yet has no waiter to wake.
int pthread_cond_signal(pthread_cond_t* condition) {
    if (Condition* made = Existing<Condition>(condition)) WakeConditionVariable(&made->variable);
    return 0;
}

int pthread_cond_broadcast(pthread_cond_t* condition) {
    if (Condition* made = Existing<Condition>(condition)) WakeAllConditionVariable(&made->variable);
    return 0;
}

// The word goes 0 (not run), 1 (running), 2 (done). A thread that finds it
// running yields until it is done: the runtime's once-functions only make
// a key or a mutex.
int pthread_once(pthread_once_t* once, void (*function)(void)) {
    std::atomic_ref<pthread_once_t> state(*once);
    if (state.load(std::memory_order_acquire) == 2) return 0;
    pthread_once_t expected = 0;
    if (state.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) {
        function();
        state.store(2, std::memory_order_release);
        return 0;
    }
    while (state.load(std::memory_order_acquire) != 2) SwitchToThread();
    return 0;
}

int pthread_key_create(pthread_key_t* key, void (*destructor)(void*)) {
    const DWORD slot = FlsAlloc(&ThreadEnded);
    if (slot == FLS_OUT_OF_INDEXES) return EAGAIN;
    if (!SetDestructor(slot, destructor)) {
        FlsFree(slot);
        return ENOMEM;
    }
    *key = slot;
    return 0;
}

// Freeing the slot hands every thread's record to ThreadEnded, which then
// finds no destructor: deleting a key calls none.
int pthread_key_delete(pthread_key_t key) {
    SetDestructor(key, nullptr);
    return FlsFree(key) ? 0 : EINVAL;
}

void* pthread_getspecific(pthread_key_t key) {
    const LastErrorKept kept;
    const auto* record = static_cast<const KeyValue*>(FlsGetValue(key));
    return record ? record->value : nullptr;
}

int pthread_setspecific(pthread_key_t key, const void* value) {
    const LastErrorKept kept;
    if (auto* record = static_cast<KeyValue*>(FlsGetValue(key))) {
        record->value = const_cast<void*>(value);
        return 0;
    }
    if (!value) return 0;
    std::unique_ptr<KeyValue> record(new (std::nothrow) KeyValue{key, const_cast<void*>(value)});
    if (!record) return ENOMEM;
    if (!FlsSetValue(key, record.get())) return EINVAL;
    record.release();
    return 0;
}

}  // extern "C"
