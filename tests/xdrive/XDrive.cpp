// zarivok_xdrive: drives and photographs real windows on an X display (Xvfb in the tests and the
// screenshot script), as an operator would: no window manager is needed.
//
//   zarivok_xdrive wait TITLE          waits until a window whose title starts with TITLE shows
//   zarivok_xdrive keys TITLE KEY...   focuses it and types each KEY (a key name, or a
//                                      modifier and a key such as alt+b)
//   zarivok_xdrive close TITLE         asks it to close, as its close box does
//   zarivok_xdrive shot FILE [TITLE]   saves the screen, or just that window, as a PNG
//
// Every wait gives up after thirty seconds with exit code 1.

// clang-format off
// Qt's headers first: Xlib defines macros (Bool, Status) that they must not see.
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QThread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kWaitMs = 30000;

std::string WindowTitle(Display* display, Window window) {
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

bool IsShown(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Depth first, so the client window that carries the title is found under any frame.
std::optional<Window> FindIn(Display* display, Window parent, const std::string& prefix) {
    Window root = 0;
    Window up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (IsShown(display, children[i]) &&
            WindowTitle(display, children[i]).rfind(prefix, 0) == 0) {
            found = children[i];
        } else {
            found = FindIn(display, children[i], prefix);
        }
    }
    if (children) XFree(children);
    return found;
}

std::optional<Window> WaitForWindow(Display* display, const std::string& prefix) {
    const QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        if (const auto window = FindIn(display, DefaultRootWindow(display), prefix)) return window;
        QThread::msleep(20);
    }
    std::fprintf(stderr, "zarivok_xdrive: no window titled %s\n", prefix.c_str());
    return std::nullopt;
}

bool TypeKey(Display* display, const std::string& combo) {
    // "alt+b": every part but the last is a modifier held while the last is pressed.
    std::vector<KeyCode> codes;
    size_t start = 0;
    for (;;) {
        const size_t plus = combo.find('+', start);
        std::string name = combo.substr(start, plus == std::string::npos ? plus : plus - start);
        if (name == "alt") name = "Alt_L";
        if (name == "ctrl") name = "Control_L";
        if (name == "shift") name = "Shift_L";
        const KeySym symbol = XStringToKeysym(name.c_str());
        const KeyCode code = symbol == NoSymbol ? 0 : XKeysymToKeycode(display, symbol);
        if (code == 0) {
            std::fprintf(stderr, "zarivok_xdrive: unknown key %s\n", name.c_str());
            return false;
        }
        codes.push_back(code);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    for (const KeyCode code : codes) XTestFakeKeyEvent(display, code, True, 0);
    for (auto it = codes.rbegin(); it != codes.rend(); ++it) {
        XTestFakeKeyEvent(display, *it, False, 0);
    }
    XSync(display, False);
    // Give the program the time a typing hand would: a menu opened by one key must be there
    // for the next.
    QThread::msleep(150);
    return true;
}

int Keys(Display* display, const std::string& title, int count, char** keys) {
    const auto window = WaitForWindow(display, title);
    if (!window) return 1;
    XSetInputFocus(display, *window, RevertToPointerRoot, CurrentTime);
    XSync(display, False);
    QThread::msleep(100);
    for (int i = 0; i < count; ++i) {
        if (!TypeKey(display, keys[i])) return 1;
    }
    return 0;
}

int Close(Display* display, const std::string& title) {
    const auto window = WaitForWindow(display, title);
    if (!window) return 1;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = *window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, *window, False, NoEventMask, &event);
    XSync(display, False);
    return 0;
}

int Shot(Display* display, const char* file, const char* title, int argc, char** argv) {
    WId id = 0;
    if (title) {
        const auto window = WaitForWindow(display, title);
        if (!window) return 1;
        id = static_cast<WId>(*window);
    }
    QGuiApplication app(argc, argv);
    const QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(id);
    if (picture.isNull() || !picture.save(QString::fromLocal8Bit(file), "PNG")) {
        std::fprintf(stderr, "zarivok_xdrive: could not save %s\n", file);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zarivok_xdrive wait|keys|close|shot ...\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "zarivok_xdrive: cannot open the display\n");
        return 2;
    }
    // Windows come and go while the tree is walked (menus, tooltips, a program closing): a
    // request about one that is gone fails, and that window simply does not match. Xlib's own
    // handler would end the driver instead.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    const std::string command = argv[1];
    int result = 2;
    if (command == "wait") {
        result = WaitForWindow(display, argv[2]) ? 0 : 1;
    } else if (command == "keys") {
        result = Keys(display, argv[2], argc - 3, argv + 3);
    } else if (command == "close") {
        result = Close(display, argv[2]);
    } else if (command == "shot") {
        // Qt's own screen grab writes the PNG; it needs its platform, here the same display.
        qputenv("QT_QPA_PLATFORM", "xcb");
        result = Shot(display, argv[2], argc > 3 ? argv[3] : nullptr, 1, argv);
    }
    XCloseDisplay(display);
    return result;
}
