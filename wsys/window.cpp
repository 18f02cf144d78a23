// window.cpp — the POSIX window host: dialogs from the module's
// templates, each a framebuffer with a caption, a visible flag, a pending
// paint and a queue of posted messages, fed Win32-numbered messages from the
// application's records, from SDL input when the windows are on screen, from
// a window script, or from nothing but the application when headless. Every
// call is carried out on the window's thread.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>
#include <type_traits>
#include <vector>

#include "platform/dib_layout.h"
#include "platform/module.h"
#include "platform/null_surface.h"
#include "platform/posix/window_thread_posix.h"
#include "platform/window_thread.h"
#include "wsys/prompt_record.h"
#include "wsys/sdl_host.h"
#include "wsys/window_system.h"

namespace plat {
namespace {

// The window's thread looks at SDL's queue this often while it waits.
constexpr int IDLE_WAIT_MS = 10;
// The screen of the headless host.
constexpr int HEADLESS_SCREEN_WIDTH = 1024;
constexpr int HEADLESS_SCREEN_HEIGHT = 768;

struct QueuedInput {
    HostWindow* target;
    HostMessage message;
};

// The script that the window's thread plays to one window.
struct WindowScript {
    HostWindow* window = nullptr;
    std::deque<ScriptMessage> messages;
    ScriptReady ready = nullptr;
};

struct WindowSystem {
    std::vector<HostWindow*> windows;  // live windows, oldest first
    HostWindow* active = nullptr;
    HostWindow* capture = nullptr;
    CursorShape cursor = CursorShape::Arrow;
    bool sdl = false;  // the live windows are on screen through SDL
    int depth = 0;     // messages being handled, nested
    InputState input;
    // SDL input taken while an application call held the source lock.
    std::deque<QueuedInput> queued;
    WindowScript script;
};
WindowSystem g_system;

void updateThreadWork();

// The framebuffers: drawn into by application calls (a download's progress)
// while the window's thread shows them on screen.
std::recursive_mutex g_frames;

// Runs `call` on the window's thread and gives back its answer.
template <typename Call>
auto onThread(Call call) -> decltype(call()) {
    using Answer = decltype(call());
    if constexpr (std::is_void_v<Answer>) {
        runOnWindowThread(call);
    } else {
        Answer answer{};
        runOnWindowThread([&] { answer = call(); });
        return answer;
    }
}

// The cursor handles are the addresses of these.
const CursorShape kCursorHandles[] = {CursorShape::Arrow, CursorShape::Wait};

CursorHandle cursorHandle(CursorShape shape) {
    return const_cast<CursorShape*>(&kCursorHandles[shape == CursorShape::Wait ? 1 : 0]);
}

void pin(HostWindow* w) {
    ++w->pins;
}

void unpin(HostWindow* w) {
    if (--w->pins == 0 && w->destroyed) delete w;
}

void present(HostWindow* w) {
    if (!w->sdl || w->destroyed) return;
    std::lock_guard<std::recursive_mutex> frames(g_frames);
    w->presentPending = false;
    sdlPresent(w->sdl.get(), w->frame.frame(), w->caption.c_str());
}

// The template's picture over the client area (a static picture control).
void drawTemplatePicture(HostWindow* w) {
    if (!w->form->pictureId) return;
    const void* dib = nullptr;
    std::size_t size = 0;
    if (!bitmapResource(w->module, w->form->pictureId, &dib, &size)) return;
    DibLayout d;
    if (!readDibLayout(dib, size, &d) || d.headerSize != DIB_INFO_HEADER_SIZE || d.totalSize > size)
        return;
    const auto* bits = static_cast<const std::uint8_t*>(dib) + d.bitsOffset;
    const auto width = static_cast<int>(d.width);
    const auto rows = static_cast<unsigned>(d.height);
    w->frame.drawDib(0, 0, width, static_cast<int>(rows), 0, 0, 0, rows, dib, bits);
}

void afterMessage(HostWindow* w) {
    present(w);
    if (w->everShown) writeWindowPng(*w);
}

// SendMessage: the procedure's answer, FALSE for a window that is gone.
INT_PTR send(HostWindow* w, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!w || w->destroyed || !w->procedure) return FALSE;
    pin(w);
    ++g_system.depth;
    // The pending paint is taken when WM_PAINT is handed out, so that it is
    // never sent twice for one invalidation, whatever the procedure does.
    if (message == WM_PAINT) w->needsPaint = false;
    const INT_PTR answer = w->procedure(w, message, wParam, lParam);
    if (message == WM_PAINT && !w->destroyed) {
        drawTemplatePicture(w);
        w->painted = true;
    }
    --g_system.depth;
    if (g_system.depth == 0 && !w->destroyed) afterMessage(w);
    unpin(w);
    return answer;
}

HostWindow* lastVisibleWindow() {
    for (auto it = g_system.windows.rbegin(); it != g_system.windows.rend(); ++it)
        if ((*it)->visible) return *it;
    return nullptr;
}

HostWindow* windowOfSdlId(std::uint32_t id) {
    if (id == 0) return nullptr;
    for (HostWindow* w : g_system.windows)
        if (sdlWindowId(w->sdl.get()) == id) return w;
    return nullptr;
}

HostWindow* newWindow(const DialogTemplate* form, HINSTANCE module, DialogProcedure procedure,
                      HostWindow* owner, bool modal) {
    const bool first = g_system.windows.empty();
    if (first) {
        g_system.sdl = sdlWanted() && sdlStart();
        if (g_system.sdl) sdlSetCursor(g_system.cursor);
    }
    auto* w = new HostWindow(form, form->clientWidth, form->clientHeight);
    w->frame.fillRect({0, 0, w->frame.width(), w->frame.height()}, DIALOG_FACE);
    w->caption = form->caption;
    w->procedure = procedure;
    w->module = module;
    w->owner = owner;
    w->modal = modal;
    if (g_system.sdl) {
        SdlWindow* screen =
            sdlCreateWindow(w->caption.c_str(), form->clientWidth, form->clientHeight,
                            form->drawnCaption ? DRAWN_CAPTION_HEIGHT : 0,
                            owner && owner->sdl ? owner->sdl.get() : nullptr);
        if (screen) {
            w->sdl.reset(screen);
        } else if (first) {
            // No window on screen after all: the headless host it is.
            sdlStop();
            g_system.sdl = false;
        } else {
            delete w;
            return nullptr;
        }
    }
    drawTemplatePicture(w);
    g_system.windows.push_back(w);
    if (first) updateThreadWork();
    return w;
}

void show(HostWindow* w, bool visible) {
    if (visible) g_system.active = w;
    if (visible == w->visible) return;
    w->visible = visible;
    if (visible) {
        w->everShown = true;
        w->needsPaint = true;
    } else if (g_system.active == w) {
        g_system.active = lastVisibleWindow();
    }
    if (w->sdl) {
        sdlShowWindow(w->sdl.get(), visible);
        // A window placed while hidden is put there again once mapped: the
        // X server may have centred it meanwhile.
        if (visible && w->placed)
            sdlPlaceWindow(w->sdl.get(), w->left + FRAME_SIDE, w->top + FRAME_TOP, w->frame.width(),
                           w->frame.height());
        if (visible) present(w);
    }
}

// Posted messages for the window, as many as wait.
void deliverPosted(HostWindow* w) {
    while (!w->destroyed && !w->posted.empty()) {
        const HostMessage m = w->posted.front();
        w->posted.pop_front();
        send(w, m.message, m.wParam, m.lParam);
    }
}

// What an SDL event is for: its window and message; an expose marks its
// window for painting and shows what the framebuffer holds (`wait`: even
// when an application call is drawing into it). False when no message.
bool translateEvent(const SDL_Event& event, bool wait, HostWindow** target, HostMessage* out) {
    TranslatedEvent t;
    // The caption offset depends on the window the event is for.
    std::uint32_t id = 0;
    switch (event.type) {
        case SDL_MOUSEMOTION:
            id = event.motion.windowID;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            id = event.button.windowID;
            break;
        case SDL_KEYDOWN:
            id = event.key.windowID;
            break;
        case SDL_WINDOWEVENT:
            id = event.window.windowID;
            break;
        default:
            break;
    }
    HostWindow* w = windowOfSdlId(id);
    // Mouse input goes to the window that holds the capture.
    if (g_system.capture && (event.type == SDL_MOUSEMOTION || event.type == SDL_MOUSEBUTTONUP))
        w = g_system.capture;
    const int clientTop = w ? sdlCaptionHeight(w->sdl.get()) : 0;
    t = translateSdlEvent(event, sdlModState(), clientTop, &g_system.input);
    if (!w || t.kind == TranslatedEvent::Kind::None) return false;
    if (t.kind == TranslatedEvent::Kind::Expose) {
        w->needsPaint = true;
        w->presentPending = true;
        if (wait) {
            present(w);
        } else {
            std::unique_lock<std::recursive_mutex> frames(g_frames, std::try_to_lock);
            if (frames) present(w);
        }
        return false;
    }
    *target = w;
    *out = t.message;
    return true;
}

// A message from SDL input for its window.
void sendInput(HostWindow* target, const HostMessage& m) {
    if (m.message == WM_LBUTTONDOWN || m.message == WM_LBUTTONDBLCLK || m.message == WM_RBUTTONDOWN)
        g_system.active = target;
    send(target, m.message, m.wParam, m.lParam);
}

// One SDL event handled at once; true when a message was handled. With
// `only`, input for other windows is dropped (an owner disabled under a
// modal box).
bool handleSdlEvent(const SDL_Event& event, HostWindow* only) {
    HostWindow* target = nullptr;
    HostMessage m;
    if (!translateEvent(event, true, &target, &m)) return false;
    if (only && target != only) return false;
    sendInput(target, m);
    return true;
}

// The oldest queued input whose window is still there, sent to it; false
// when none is left.
bool sendOneQueuedInput() {
    while (!g_system.queued.empty()) {
        const QueuedInput q = g_system.queued.front();
        g_system.queued.pop_front();
        if (!findHostWindow(q.target)) continue;
        sendInput(q.target, q.message);
        return true;
    }
    return false;
}

// One message of the window's own queue: posted, then input, then a pending
// paint; true when one was handled. Nothing is waited for: when the window
// runs by itself its thread does the waiting.
bool takeOneMessage(HostWindow* w) {
    if (!w->posted.empty()) {
        const HostMessage m = w->posted.front();
        w->posted.pop_front();
        send(w, m.message, m.wParam, m.lParam);
        return true;
    }
    if (sendOneQueuedInput()) return true;
    SDL_Event event;
    if (g_system.sdl)
        while (!w->destroyed && sdlNextEvent(&event, 0))
            if (handleSdlEvent(event, nullptr)) return true;
    if (w->destroyed || !w->needsPaint || !w->visible) return false;
    send(w, WM_PAINT, 0, 0);
    return true;
}

// --- The window's thread on its own ----------------------------------------------

// The host runs its windows itself when they are on screen or scripted;
// headless and unscripted, only the application's calls move them.
bool runsByItself() {
    return g_system.sdl || g_system.script.window;
}

bool scriptWaiting() {
    return g_system.script.window && !g_system.script.messages.empty();
}

// Without the source lock: SDL's events taken (exposes shown, input
// queued), drawing of application calls shown.
WorkPolled pollOwnWork() {
    if (!runsByItself()) return WorkPolled::None;
    bool arrived = false;
    SDL_Event event;
    while (g_system.sdl && sdlNextEvent(&event, 0)) {
        HostWindow* target = nullptr;
        HostMessage m;
        if (translateEvent(event, false, &target, &m)) {
            g_system.queued.push_back({target, m});
            arrived = true;
        }
    }
    bool waiting = !g_system.queued.empty() || scriptWaiting();
    {
        // Not while an application call draws: shown at a later poll.
        std::unique_lock<std::recursive_mutex> frames(g_frames, std::try_to_lock);
        for (HostWindow* w : g_system.windows)
            if (frames && w->presentPending) present(w);
    }
    for (HostWindow* w : g_system.windows)
        if (!w->posted.empty() || (w->needsPaint && w->visible)) waiting = true;
    if (arrived) return WorkPolled::Arrived;
    return waiting ? WorkPolled::Waiting : WorkPolled::None;
}

// Under the source lock: one posted message, one input, one paint or one
// script message; false when none could be handled.
bool handleOwnMessage() {
    for (HostWindow* w : std::vector<HostWindow*>(g_system.windows))
        if (!w->destroyed && !w->posted.empty()) return takeOneMessage(w);
    if (sendOneQueuedInput()) return true;
    for (HostWindow* w : std::vector<HostWindow*>(g_system.windows))
        if (!w->destroyed && w->needsPaint && w->visible) {
            send(w, WM_PAINT, 0, 0);
            return true;
        }
    WindowScript& script = g_system.script;
    if (!scriptWaiting()) return false;
    HostWindow* w = findHostWindow(script.window);
    if (!w) {
        script = WindowScript{};
        return false;
    }
    // After the first paint, and each message when the source is ready.
    if (!w->painted || (script.ready && !script.ready())) return false;
    const ScriptMessage m = script.messages.front();
    script.messages.pop_front();
    send(w, m.message, m.wParam, m.lParam);
    return true;
}

// What the window's thread does now that the host's windows changed.
void updateThreadWork() {
    WindowThreadWork work;
    work.poll = pollOwnWork;
    work.handle = handleOwnMessage;
    work.waitMs = g_system.sdl ? IDLE_WAIT_MS : -1;
    setWindowThreadWork(work);
}

void destroy(HostWindow* w) {
    // Owned windows go first, as on Windows.
    for (HostWindow* other : std::vector<HostWindow*>(g_system.windows))
        if (other->owner == w && !other->destroyed) destroy(other);
    if (g_system.capture == w) {
        g_system.capture = nullptr;
        if (g_system.sdl) sdlCaptureMouse(false);
    }
    g_system.windows.erase(std::remove(g_system.windows.begin(), g_system.windows.end(), w),
                           g_system.windows.end());
    w->destroyed = true;
    w->posted.clear();
    g_system.queued.erase(std::remove_if(g_system.queued.begin(), g_system.queued.end(),
                                         [w](const QueuedInput& q) { return q.target == w; }),
                          g_system.queued.end());
    if (g_system.script.window == w) g_system.script = WindowScript{};
    {
        std::lock_guard<std::recursive_mutex> frames(g_frames);
        w->sdl.reset();
    }
    if (g_system.active == w) g_system.active = lastVisibleWindow();
    for (HostWindow* other : g_system.windows)
        if (other->owner == w) other->owner = nullptr;
    if (g_system.windows.empty() && g_system.sdl) {
        sdlStop();
        g_system.sdl = false;
        g_system.input = {};
    }
    if (g_system.windows.empty()) updateThreadWork();
    pin(w);
    unpin(w);  // frees it unless a call under way still holds it
}

// The modal box on screen: its input and posted messages until endDialog;
// other windows only paint meanwhile.
void runModalLoop(HostWindow* box) {
    while (!box->ended && !box->destroyed) {
        deliverPosted(box);
        if (box->ended || box->destroyed) break;
        SDL_Event event;
        if (sdlNextEvent(&event, IDLE_WAIT_MS)) handleSdlEvent(event, box);
        for (HostWindow* w : std::vector<HostWindow*>(g_system.windows))
            if (!box->ended && !w->destroyed && w->needsPaint && w->visible)
                send(w, WM_PAINT, 0, 0);
    }
}

}  // namespace

HostWindow* findHostWindow(HWND window) {
    if (!window) return nullptr;
    for (HostWindow* w : g_system.windows)
        if (w == window) return w;
    return nullptr;
}

bool sdlHostActive() {
    return onThread([] { return g_system.sdl; });
}

CursorShape currentCursorShape() {
    return onThread([] { return g_system.cursor; });
}

void snapshotBeforeBox(HWND owner) {
    onThread([&] {
        HostWindow* w = findHostWindow(owner);
        if (!w) w = g_system.active;
        std::lock_guard<std::recursive_mutex> frames(g_frames);
        if (w && w->everShown) writeWindowPng(*w);
    });
}

int sdlHostMessageBox(HWND owner, const char* text, const char* caption, Buttons buttons,
                      Icon icon) {
    return onThread([&] {
        HostWindow* w = findHostWindow(owner);
        if (!w) w = g_system.active;
        return sdlMessageBox(w ? w->sdl.get() : nullptr, text, caption, buttons, icon);
    });
}

// --- Dialogs -------------------------------------------------------------------

HWND createModelessDialog(HINSTANCE module, const char* templateName, DialogProcedure procedure,
                          LPARAM param) {
    return onThread([&]() -> HWND {
        const DialogTemplate* form = findDialogTemplate(templateName);
        if (!form) return nullptr;
        HostWindow* w = newWindow(form, module, procedure, nullptr, false);
        if (!w) return nullptr;
        pin(w);
        send(w, WM_INITDIALOG, 0, param);
        // The templates are visible: the dialog shows itself after its set-up.
        if (!w->destroyed) show(w, true);
        HWND result = w->destroyed ? nullptr : w;
        unpin(w);
        return result;
    });
}

namespace {

INT_PTR runModalHere(HINSTANCE module, int templateId, HWND owner, DialogProcedure procedure,
                     LPARAM param) {
    const DialogTemplate* form = findDialogTemplate(templateId);
    if (!form) return -1;
    HostWindow* ownerWindow = findHostWindow(owner);
    HostWindow* previousActive = g_system.active;
    HostWindow* box = newWindow(form, module, procedure, ownerWindow, true);
    if (!box) return -1;
    pin(box);
    send(box, WM_INITDIALOG, 0, param);
    if (!box->ended && !box->destroyed) {
        if (box->sdl) {
            if (ownerWindow) {
                const int x = ownerWindow->left + FRAME_SIDE +
                              (ownerWindow->frame.width() - box->frame.width()) / 2;
                const int y = ownerWindow->top + FRAME_TOP +
                              (ownerWindow->frame.height() - box->frame.height()) / 2;
                placeWindow(box, x - FRAME_SIDE, y - FRAME_TOP, box->frame.width() + 2 * FRAME_SIDE,
                            box->frame.height() + FRAME_TOP + FRAME_SIDE);
            }
            show(box, true);
            sdlRaiseWindow(box->sdl.get());
            runModalLoop(box);
        } else {
            // Headless: the box is a line of the prompt record and closes
            // at once, as if clicked.
            recordPromptLine(owner, "", box->caption.c_str(), PromptOptions{}, ANSWER_OK);
        }
    }
    const INT_PTR result = box->ended ? box->result : box->destroyed ? -1 : 1;
    if (!box->destroyed) destroy(box);
    unpin(box);
    if (findHostWindow(previousActive)) g_system.active = previousActive;
    // The owner is active again, keyboard included, as when Windows ends a
    // modal box.
    if (ownerWindow && findHostWindow(ownerWindow) && ownerWindow->sdl)
        sdlRaiseWindow(ownerWindow->sdl.get());
    return result;
}

}  // namespace

INT_PTR runModalDialog(HINSTANCE module, int templateId, HWND owner, DialogProcedure procedure,
                       LPARAM param) {
    return onThread([&] { return runModalHere(module, templateId, owner, procedure, param); });
}

void endDialog(HWND dialog, INT_PTR result) {
    onThread([&] {
        HostWindow* w = findHostWindow(dialog);
        if (!w) return;
        w->ended = true;
        w->result = result;
    });
}

bool isDialogMessage(HWND window, void* message) {
    // A record is handled on the window's thread before the call returns.
    return onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return false;
        pin(w);
        bool handled = true;
        if (message) {
            // Posted messages first: the application that drives the window
            // with records turns its message loop too.
            deliverPosted(w);
            const auto* record = static_cast<const EventRecord*>(message);
            send(w, record->message, record->wParam, record->lParam);
        } else {
            handled = takeOneMessage(w);
        }
        unpin(w);
        return handled;
    });
}

void destroyWindow(HWND window) {
    onThread([&] {
        if (HostWindow* w = findHostWindow(window)) destroy(w);
    });
}

void showWindow(HWND window, bool visible) {
    onThread([&] {
        if (HostWindow* w = findHostWindow(window)) show(w, visible);
    });
}

bool windowVisible(HWND window) {
    return onThread([&] {
        HostWindow* w = findHostWindow(window);
        return w && w->visible;
    });
}

void setWindowCaption(HWND window, const char* text) {
    onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return;
        w->caption = text ? text : "";
        if (w->sdl) {
            sdlSetTitle(w->sdl.get(), w->caption.c_str());
            if (w->visible) present(w);
        }
    });
}

void placeWindow(HWND window, int left, int top, int width, int height) {
    onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return;
        w->left = left;
        w->top = top;
        w->placed = true;
        const int clientWidth = width - 2 * FRAME_SIDE,
                  clientHeight = height - FRAME_TOP - FRAME_SIDE;
        if (clientWidth > 0 && clientHeight > 0 &&
            (clientWidth != w->frame.width() || clientHeight != w->frame.height())) {
            std::lock_guard<std::recursive_mutex> frames(g_frames);
            w->frame = FrameSurface(clientWidth, clientHeight);
            w->frame.fillRect({0, 0, clientWidth, clientHeight}, DIALOG_FACE);
            w->needsPaint = true;
        }
        if (w->sdl)
            sdlPlaceWindow(w->sdl.get(), left + FRAME_SIDE, top + FRAME_TOP, w->frame.width(),
                           w->frame.height());
    });
}

void screenSize(int* width, int* height) {
    onThread([&] {
        int w = HEADLESS_SCREEN_WIDTH, h = HEADLESS_SCREEN_HEIGHT;
        if (g_system.sdl) sdlScreenSize(&w, &h);
        if (width) *width = w;
        if (height) *height = h;
    });
}

void focusWindow(HWND window) {
    onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return;
        g_system.active = w;
        if (w->sdl) sdlRaiseWindow(w->sdl.get());
    });
}

bool postWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return false;
        w->posted.push_back({message, wParam, lParam});
        return true;
    });
}

void repaintWindow(HWND window) {
    onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return;
        w->needsPaint = true;
        if (w->visible) send(w, WM_PAINT, 0, 0);
    });
}

void* activeWindow() {
    return onThread([] { return static_cast<void*>(g_system.active); });
}

bool playWindowScript(HWND window, std::vector<ScriptMessage> messages, ScriptReady ready) {
    return onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w) return false;
        g_system.script.window = w;
        g_system.script.messages.assign(messages.begin(), messages.end());
        g_system.script.ready = ready;
        updateThreadWork();
        return true;
    });
}

std::string windowScriptPath() {
    const char* path = std::getenv("PXCM_WINDOW_SCRIPT");
    return path ? path : "";
}

// --- Mouse capture and cursors ---------------------------------------------------

namespace {

void releaseMouseHere() {
    HostWindow* previous = g_system.capture;
    if (!previous) return;
    g_system.capture = nullptr;
    if (g_system.sdl) sdlCaptureMouse(false);
    send(previous, WM_CAPTURECHANGED, 0, 0);
}

CursorHandle setCursorHere(CursorShape shape) {
    CursorHandle previous = cursorHandle(g_system.cursor);
    g_system.cursor = shape;
    if (g_system.sdl) sdlSetCursor(shape);
    return previous;
}

}  // namespace

void captureMouse(HWND window) {
    onThread([&] {
        HostWindow* w = findHostWindow(window);
        if (!w || g_system.capture == w) return;
        if (g_system.capture) releaseMouseHere();
        g_system.capture = w;
        if (g_system.sdl) sdlCaptureMouse(true);
    });
}

void releaseMouse() {
    onThread(releaseMouseHere);
}

CursorHandle setCursorShape(CursorShape shape) {
    return onThread([&] { return setCursorHere(shape); });
}

void restoreCursor(CursorHandle previous) {
    const CursorShape shape =
        previous == cursorHandle(CursorShape::Wait) ? CursorShape::Wait : CursorShape::Arrow;
    setCursorShape(shape);
}

// --- Drawing on the client area ----------------------------------------------------

struct WindowCanvas::Impl {
    HostWindow* window = nullptr;
    NullSurface nothing;
    // An application call draws while the window's thread may show it.
    std::unique_lock<std::recursive_mutex> frames{g_frames};
};

WindowCanvas::WindowCanvas(HWND window) : WindowCanvas(window, false) {}

WindowCanvas::WindowCanvas(HWND window, bool paint) : impl_(std::make_unique<Impl>()) {
    impl_->window = findHostWindow(window);
    if (!impl_->window) return;
    pin(impl_->window);
    // BeginPaint validates the update region.
    if (paint) impl_->window->needsPaint = false;
}

WindowCanvas::~WindowCanvas() {
    HostWindow* w = impl_->window;
    if (!w) return;
    if (onWindowThread()) {
        present(w);
    } else {
        // Shown by the window's thread: SDL is called there only.
        w->presentPending = true;
        wakeWindowThread();
    }
    unpin(w);
}

bool WindowCanvas::valid() const {
    return impl_->window != nullptr;
}

Surface& WindowCanvas::surface() {
    if (impl_->window && !impl_->window->destroyed) return impl_->window->frame;
    return impl_->nothing;
}

}  // namespace plat
