#pragma once

#include <memory>
#include <utility>
#include <vector>

// The windows an application object owns, in the order they were made: the first is the
// main window. They go in the reverse of that order, the main window last, so that a
// window that reaches another while it goes (the main window saves its settings) finds it
// still there.
template <class T> class TOwnedWindows {
public:
    TOwnedWindows() = default;
    ~TOwnedWindows() { Clear(); }
    TOwnedWindows(const TOwnedWindows&) = delete;
    TOwnedWindows& operator=(const TOwnedWindows&) = delete;

    void Add(std::unique_ptr<T> window) { Windows.push_back(std::move(window)); }
    // Destroys the windows, the last made first.
    void Clear() {
        while (!Windows.empty()) {
            Windows.pop_back();
        }
    }
    T* First() const { return Windows.empty() ? nullptr : Windows.front().get(); }
    // In the order they were made.
    const std::vector<std::unique_ptr<T>>& All() const { return Windows; }

private:
    std::vector<std::unique_ptr<T>> Windows;
};
