// semaphore_win32.cpp — the semaphore as a kernel semaphore object.
#include <windows.h>

#include "platform/semaphore.h"

namespace plat {

Semaphore::Semaphore() : impl_(CreateSemaphoreW(nullptr, 0, 0x7fffffff, nullptr)) {}

Semaphore::~Semaphore() {
    if (impl_) CloseHandle(impl_);
}

void Semaphore::post() {
    if (impl_) ReleaseSemaphore(impl_, 1, nullptr);
}

bool Semaphore::wait(int ms) {
    return impl_ && WaitForSingleObject(impl_, static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
}

}  // namespace plat
