// wait_cursor.h — the wait cursor for the lifetime of the object, then the
// cursor it replaced.
#pragma once

#include "platform/window.h"

class WaitCursor {
public:
    WaitCursor() : previous_(plat::setCursorShape(plat::CursorShape::Wait)) {}
    ~WaitCursor() { plat::restoreCursor(previous_); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    plat::CursorHandle previous_;
};
