// The runtime's threading functions the shipped programs link in their own
// form, as the C++ runtime calls them, from threads the system starts.
// Linked like a shipped program, with nothing that would bring in the
// threading library's versions: no test framework, whose own locks would.
#include <windows.h>

#include <pthread.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "toolkit/failure.h"
#include "toolkit/win_handles.h"

namespace {

int failures = 0;

void Expect(bool holds, const char* what) {
    std::printf("[%s] %s\n", holds ? "  OK  " : "FAILED", what);
    if (!holds) ++failures;
}

// Runs `body(index)` on `count` threads started with CreateThread, and
// returns when every one has ended.
template <typename Body>
void OnThreads(int count, Body body) {
    std::atomic<int> next{0};
    auto run = [&] { body(next++); };
    std::vector<qv::UniqueHandle> threads;
    std::vector<HANDLE> waited;
    for (int i = 0; i < count; ++i) {
        const auto start = [](void* r) -> DWORD {
            (*static_cast<decltype(run)*>(r))();
            return 0;
        };
        threads.emplace_back(CreateThread(nullptr, 0, start, &run, 0, nullptr));
        if (!threads.back()) throw qv::Failure("CreateThread failed");
        waited.push_back(threads.back().get());
    }
    if (WaitForMultipleObjects(count, waited.data(), TRUE, INFINITE) != WAIT_OBJECT_0)
        throw qv::Failure("the threads were not waited for");
}

std::atomic<int> made{0};
int MadeOnce() {
    static const int value = ++made;
    return value;
}

void LocksStaticsAndExceptions() {
    std::mutex mutex;
    std::condition_variable changed;
    int turn = 0;  // thread i may count when turn % 4 == i
    OnThreads(4, [&](int index) {
        for (int round = 0; round < 200; ++round) {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return turn % 4 == index; });
            ++turn;
            changed.notify_all();
        }
    });
    Expect(turn == 800, "a mutex and a condition variable hand the turn over between four threads");

    std::atomic<int> wrong{0};
    OnThreads(8, [&](int index) {
        if (MadeOnce() != 1) ++wrong;
        for (int i = 0; i < 100; ++i) {
            try {
                try {
                    throw qv::Failure(std::to_string(index));
                } catch (const std::exception&) {
                    throw;
                }
            } catch (const qv::Failure& e) {
                if (e.what() != std::to_string(index)) ++wrong;
            }
        }
    });
    Expect(made == 1 && wrong == 0, "eight threads make a static local once and catch their own exceptions");
}

std::atomic<int> destroyed{0};
void Destroy(void* value) { destroyed += *static_cast<int*>(value); }

void KeyValuesAreDestroyedWhenTheirThreadEnds() {
    pthread_key_t key;
    if (pthread_key_create(&key, &Destroy) != 0) throw qv::Failure("pthread_key_create failed");
    int values[3] = {1, 10, 100};
    OnThreads(3, [&](int index) { pthread_setspecific(key, &values[index]); });
    Expect(destroyed == 111, "each thread's value of a key is destroyed when the thread ends");

    pthread_setspecific(key, &values[0]);
    SetLastError(ERROR_ACCESS_DENIED);
    Expect(pthread_getspecific(key) == &values[0] && GetLastError() == ERROR_ACCESS_DENIED,
           "reading a key keeps the last error");
    Expect(pthread_key_delete(key) == 0 && destroyed == 111, "deleting a key destroys no value");
}

}  // namespace

int main() {
    try {
        LocksStaticsAndExceptions();
        KeyValuesAreDestroyedWhenTheirThreadEnds();
    } catch (const std::exception& e) {
        std::printf("[FAILED] %s\n", e.what());
        return 1;
    }
    return failures ? 1 : 0;
}
