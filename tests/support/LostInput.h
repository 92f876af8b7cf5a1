// Input the machine lost (a click on a window still being activated, a drag that did not
// land) is made once more by the input helpers; each repeat is counted here. A lost event
// on a loaded machine is rare, a program that eats clicks loses every one: a test that
// needed a repeat twice fails (support/LostInputCheck.cpp, linked into every test program).
#pragma once
#include <atomic>
#include <mutex>
#include <string>

namespace testsupport {

class LostInput {
public:
    // Counts a repeat of what (a few words: "close button click").
    static void repeated(const char* what) {
        std::lock_guard<std::mutex> hold(lock());
        ++count();
        if (!repeats().empty()) repeats() += ", ";
        repeats() += what;
    }
    // The repeats since the last take, as (count, what), and starts afresh.
    static int take(std::string* what) {
        std::lock_guard<std::mutex> hold(lock());
        const int n = count();
        *what = repeats();
        count() = 0;
        repeats().clear();
        return n;
    }

private:
    static std::mutex& lock() {
        static std::mutex m;
        return m;
    }
    static int& count() {
        static int n = 0;
        return n;
    }
    static std::string& repeats() {
        static std::string s;
        return s;
    }
};

} // namespace testsupport
