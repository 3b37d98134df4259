#pragma once
// Counts the QObjects created minus those destroyed while it is installed,
// through the hooks that QtCore calls in every QObject's constructor and
// destructor for debugging tools. One at a time; earlier hooks still run.
#include <QObject>

#include <atomic>

extern Q_CORE_EXPORT quintptr qtHookData[];

class LiveObjects {
  public:
    LiveObjects() {
        if (!available())
            return;
        previousadd_ = qtHookData[kAdd];
        previousremove_ = qtHookData[kRemove];
        qtHookData[kAdd] = reinterpret_cast<quintptr>(&added);
        qtHookData[kRemove] = reinterpret_cast<quintptr>(&removed);
    }
    ~LiveObjects() {
        if (!available())
            return;
        qtHookData[kAdd] = previousadd_;
        qtHookData[kRemove] = previousremove_;
    }
    LiveObjects(const LiveObjects&) = delete;
    LiveObjects& operator=(const LiveObjects&) = delete;

    long count() const { return count_.load(); }

    // The hook table of this Qt has the two object hooks.
    static bool available() { return qtHookData[kSize] > kRemove; }

  private:
    // Slots of the hook table: its size, and the two object callbacks.
    static constexpr int kSize = 1, kAdd = 3, kRemove = 4;
    using Callback = void (*)(QObject*);

    static void added(QObject* o) {
        ++count_;
        if (previousadd_)
            reinterpret_cast<Callback>(previousadd_)(o);
    }
    static void removed(QObject* o) {
        --count_;
        if (previousremove_)
            reinterpret_cast<Callback>(previousremove_)(o);
    }

    static inline std::atomic<long> count_{0};
    static inline quintptr previousadd_ = 0;
    static inline quintptr previousremove_ = 0;
};
