#pragma once

#include <Qt>

// The hourglass mouse pointer for the whole program while it lives, whatever way the scope
// ends (an exception included). Guards nest: the pointer is normal again when the last one
// ends. Another shape (the normal arrow) shows for a while over an hourglass held further out,
// for a box the user must answer.
class BusyPointer {
public:
    explicit BusyPointer(Qt::CursorShape shape = Qt::WaitCursor);
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    // Ends this guard's pointer before the scope ends; nothing happens the second time.
    void Release();
    bool Held() const { return held; }

private:
    bool held = true;
};
