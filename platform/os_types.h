// os_types.h — the few Windows types and constants that shared code names
// (DllMain, window and module handles). On POSIX they are plain stand-ins.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstdint>

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef void* LPVOID;
typedef void* HANDLE;
typedef void* HINSTANCE;
typedef void* HMODULE;
typedef void* HWND;
typedef void* HGLOBAL;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
#define WINAPI
#define CALLBACK
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// Window messages, key flags and virtual keys of the shared window procedure,
// with their Win32 numbers (the POSIX window host feeds them).
#define WM_PAINT 0x000F
#define WM_CLOSE 0x0010
#define WM_KEYDOWN 0x0100
#define WM_INITDIALOG 0x0110
#define WM_TIMER 0x0113
#define WM_MOUSEMOVE 0x0200
#define WM_LBUTTONDOWN 0x0201
#define WM_LBUTTONUP 0x0202
#define WM_LBUTTONDBLCLK 0x0203
#define WM_RBUTTONDOWN 0x0204
#define WM_CAPTURECHANGED 0x0215
#define WM_APP 0x8000
#define MK_LBUTTON 0x0001
#define MK_RBUTTON 0x0002
#define MK_SHIFT 0x0004
#define MK_CONTROL 0x0008
#define VK_ESCAPE 0x1B
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#endif

// A dialog procedure (DLGPROC): TRUE for a message it handled.
typedef INT_PTR(CALLBACK* DialogProcedure)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The client point of a mouse message's lParam (signed 16-bit halves).
inline int pointX(LPARAM lParam) {
    return static_cast<short>(static_cast<unsigned long long>(lParam) & 0xFFFF);
}
inline int pointY(LPARAM lParam) {
    return static_cast<short>((static_cast<unsigned long long>(lParam) >> 16) & 0xFFFF);
}
inline LPARAM pointParam(int x, int y) {
    return static_cast<LPARAM>((static_cast<unsigned>(x) & 0xFFFF) |
                               (static_cast<unsigned>(y) & 0xFFFF) << 16);
}
