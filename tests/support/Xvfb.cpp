#include "support/Xvfb.h"

#include <X11/Xlib.h>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string Quote(const std::string& S) {
    std::string Q = "'";
    for (char C : S)
        Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
    return Q + "'";
}

// Waits up to Timeout for a child to end; its status as WaitForExit reports it.
int WaitChild(pid_t Pid, double Timeout) {
    const double End = Now() + Timeout;
    for (;;) {
        int         How = 0;
        const pid_t R = waitpid(Pid, &How, WNOHANG);
        if (R == Pid) return WIFEXITED(How) ? WEXITSTATUS(How) : 128 + WTERMSIG(How);
        if (R < 0) return -1;
        if (Now() > End) return -1;
        Pause(0.02);
    }
}

void KillChild(pid_t Pid) {
    if (Pid <= 0) return;
    kill(Pid, SIGTERM);
    if (WaitChild(Pid, 3.0) < 0) {
        kill(Pid, SIGKILL);
        WaitChild(Pid, 3.0);
    }
}

// The close request a window manager sends: a WM_PROTOCOLS client message naming
// WM_DELETE_WINDOW. libX11 is opened at run time so the tests need no link flags of their own.
bool SendDeleteWindow(const std::string& DisplayName, unsigned long Target) {
    void* X11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!X11) return false;
    auto Open = reinterpret_cast<Display* (*)(const char*)>(dlsym(X11, "XOpenDisplay"));
    auto Atom_ = reinterpret_cast<Atom (*)(Display*, const char*, Bool)>(dlsym(X11, "XInternAtom"));
    auto Send = reinterpret_cast<Status (*)(Display*, ::Window, Bool, long, XEvent*)>(
        dlsym(X11, "XSendEvent"));
    auto Flush = reinterpret_cast<int (*)(Display*)>(dlsym(X11, "XFlush"));
    auto Close = reinterpret_cast<int (*)(Display*)>(dlsym(X11, "XCloseDisplay"));
    bool Sent = false;
    if (Open && Atom_ && Send && Flush && Close) {
        if (Display* D = Open(DisplayName.c_str())) {
            XEvent Event;
            std::memset(&Event, 0, sizeof(Event));
            Event.xclient.type = ClientMessage;
            Event.xclient.window = Target;
            Event.xclient.message_type = Atom_(D, "WM_PROTOCOLS", False);
            Event.xclient.format = 32;
            Event.xclient.data.l[0] = long(Atom_(D, "WM_DELETE_WINDOW", False));
            Event.xclient.data.l[1] = CurrentTime;
            Sent = Send(D, Target, False, NoEventMask, &Event) != 0;
            Flush(D);
            Close(D);
        }
    }
    dlclose(X11);
    return Sent;
}

// The whole root window read straight from the server with XGetImage: a few milliseconds, where
// an ImageMagick process takes a large part of a second and misses short-lived screen content.
bool GrabRootWindow(const std::string& DisplayName, clsScreenshot& Shot) {
    void* X11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_LOCAL);
    if (!X11) return false;
    auto Open = reinterpret_cast<Display* (*)(const char*)>(dlsym(X11, "XOpenDisplay"));
    auto Root = reinterpret_cast<::Window (*)(Display*)>(dlsym(X11, "XDefaultRootWindow"));
    auto Attributes = reinterpret_cast<Status (*)(Display*, ::Window, XWindowAttributes*)>(
        dlsym(X11, "XGetWindowAttributes"));
    auto Get = reinterpret_cast<XImage* (*)(Display*, Drawable, int, int, unsigned, unsigned,
                                            unsigned long, int)>(dlsym(X11, "XGetImage"));
    auto Close = reinterpret_cast<int (*)(Display*)>(dlsym(X11, "XCloseDisplay"));
    bool Grabbed = false;
    if (Open && Root && Attributes && Get && Close) {
        if (Display* D = Open(DisplayName.c_str())) {
            XWindowAttributes A;
            const ::Window    R = Root(D);
            XImage*           Image = nullptr;
            if (Attributes(D, R, &A))
                Image = Get(D, R, 0, 0, unsigned(A.width), unsigned(A.height), AllPlanes, ZPixmap);
            if (Image && Image->bits_per_pixel == 32) {
                Shot.Width = Image->width;
                Shot.Height = Image->height;
                Shot.Rgb.resize(size_t(Shot.Width) * Shot.Height * 3);
                for (int32_t Y = 0; Y < Shot.Height; ++Y)
                    for (int32_t X = 0; X < Shot.Width; ++X) {
                        uint32_t Pixel;
                        std::memcpy(&Pixel, Image->data + size_t(Y) * Image->bytes_per_line + X * 4,
                                    4);
                        uint8_t* Out = &Shot.Rgb[(size_t(Y) * Shot.Width + X) * 3];
                        Out[0] = uint8_t(Pixel >> 16);
                        Out[1] = uint8_t(Pixel >> 8);
                        Out[2] = uint8_t(Pixel);
                    }
                Grabbed = true;
            }
            if (Image) Image->f.destroy_image(Image);
            Close(D);
        }
    }
    dlclose(X11);
    return Grabbed;
}

} // namespace

bool clsScreenshot::Load(const std::string& PpmPath) {
    std::ifstream In(PpmPath, std::ios::binary);
    std::string   Magic;
    int           MaxValue = 0;
    In >> Magic >> Width >> Height >> MaxValue;
    if (!In || Magic != "P6" || Width <= 0 || Height <= 0 || MaxValue != 255) return false;
    In.get();
    Rgb.resize(size_t(Width) * Height * 3);
    In.read(reinterpret_cast<char*>(Rgb.data()), std::streamsize(Rgb.size()));
    return bool(In);
}

// Xvfb picks the first free display number itself and writes it to the pipe (-displayfd).
clsXvfb::clsXvfb(int32_t Width, int32_t Height) {
    char Template[] = "/tmp/tarvix-xvfb-XXXXXX";
    if (!mkdtemp(Template)) return;
    TempDir = Template;
    int Pipe[2];
    if (pipe(Pipe) != 0) return;
    const std::string Screen = std::to_string(Width) + "x" + std::to_string(Height) + "x24";
    const pid_t       Pid = fork();
    if (Pid == 0) {
        close(Pipe[0]);
        const int Null = open("/dev/null", O_WRONLY);
        dup2(Null, 1);
        dup2(Null, 2);
        const std::string Fd = std::to_string(Pipe[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", Fd.c_str(), "-screen", "0", Screen.c_str(),
               "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(Pipe[1]);
    if (Pid < 0) {
        close(Pipe[0]);
        return;
    }
    std::string  Number;
    char         C = 0;
    const double End = Now() + 10.0;
    fcntl(Pipe[0], F_SETFL, O_NONBLOCK);
    while (Now() < End) {
        const ssize_t N = read(Pipe[0], &C, 1);
        if (N == 1) {
            if (C == '\n') break;
            Number += C;
        } else if (N == 0) {
            break;
        } else {
            Pause(0.01);
        }
    }
    close(Pipe[0]);
    if (Number.empty()) {
        KillChild(Pid);
        return;
    }
    ServerPid = Pid;
    DisplayNumber = std::atoi(Number.c_str());
    LogPath = TempDir + "/app.log";
}

clsXvfb::~clsXvfb() {
    StopApp();
    KillChild(ServerPid);
    if (!TempDir.empty()) Run("rm -rf " + Quote(TempDir));
}

std::string clsXvfb::MakeGameFolder() {
    char Template[] = "/tmp/tarvix-game-XXXXXX";
    if (!mkdtemp(Template)) return "";
    const std::string Folder = Template;
    if (DIR* Data = opendir(TARVIX_DATA_DIR)) {
        while (dirent* Entry = readdir(Data)) {
            const std::string Name = Entry->d_name;
            if (Name == "." || Name == ".." ||
                (Name.size() > 4 && Name.substr(Name.size() - 4) == ".ini"))
                continue;
            const std::string Target = std::string(TARVIX_DATA_DIR) + "/" + Name;
            if (symlink(Target.c_str(), (Folder + "/" + Name).c_str()) != 0)
                std::fprintf(stderr, "MakeGameFolder: cannot link %s\n", Target.c_str());
        }
        closedir(Data);
    }
    return Folder;
}

int clsXvfb::Run(const std::string& Command, std::string* Output) const {
    const std::string Full = "DISPLAY=" + Display() + " " + Command + " 2>/dev/null";
    FILE*             Pipe = popen(Full.c_str(), "r");
    if (!Pipe) return -1;
    char        Buffer[512];
    std::string Text;
    while (size_t N = fread(Buffer, 1, sizeof(Buffer), Pipe))
        Text.append(Buffer, N);
    const int How = pclose(Pipe);
    if (Output) *Output = Text;
    return WIFEXITED(How) ? WEXITSTATUS(How) : -1;
}

bool clsXvfb::StartApp(const std::vector<std::string>& Args, const std::string& WorkDir) {
    if (!Ready() || AppPid > 0) return false;
    const pid_t Pid = fork();
    if (Pid == 0) {
        if (chdir(WorkDir.c_str()) != 0) _exit(126);
        const int Log = open(LogPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        dup2(Log, 1);
        dup2(Log, 2);
        setenv("DISPLAY", Display().c_str(), 1);
        setenv("TARVIX_NO_DIALOGS", "1", 1);
        unsetenv("SDL_VIDEODRIVER");
        // In sanitizer builds the game's leak report at exit would only list the GL driver's
        // allocations, made unreadable because SDL has unloaded the driver by then; it would
        // turn every clean exit into a failure. Memory errors are still reported.
        const char*       Asan = std::getenv("ASAN_OPTIONS");
        const std::string Options =
            std::string(Asan ? Asan : "") + (Asan && *Asan ? ":" : "") + "detect_leaks=0";
        setenv("ASAN_OPTIONS", Options.c_str(), 1);
        unsetenv("SDL_AUDIODRIVER");
        std::vector<char*> Argv;
        Argv.push_back(const_cast<char*>(Binary.c_str()));
        for (const std::string& A : Args)
            Argv.push_back(const_cast<char*>(A.c_str()));
        Argv.push_back(nullptr);
        execv(Binary.c_str(), Argv.data());
        _exit(127);
    }
    AppPid = Pid;
    return Pid > 0;
}

bool clsXvfb::WaitForWindow(double TimeoutSeconds) {
    const double End = Now() + TimeoutSeconds;
    while (Now() < End && AppRunning()) {
        std::string Ids;
        if (Run("xdotool search --onlyvisible --pid " + std::to_string(AppPid), &Ids) == 0 &&
            !Ids.empty()) {
            WindowId = Ids.substr(0, Ids.find('\n'));
            Run("xdotool windowfocus " + WindowId);
            return ReadGeometry() && WindowWidth > 0 && WindowHeight > 0 &&
                   WaitForDrawing(End - Now());
        }
        Pause(0.1);
    }
    return false;
}

bool clsXvfb::ReadGeometry() {
    std::string Geometry;
    if (WindowId.empty() || Run("xdotool getwindowgeometry --shell " + WindowId, &Geometry) != 0)
        return false;
    std::istringstream Lines(Geometry);
    for (std::string Line; std::getline(Lines, Line);) {
        if (Line.rfind("X=", 0) == 0) WindowX = std::atoi(Line.c_str() + 2);
        if (Line.rfind("Y=", 0) == 0) WindowY = std::atoi(Line.c_str() + 2);
        if (Line.rfind("WIDTH=", 0) == 0) WindowWidth = std::atoi(Line.c_str() + 6);
        if (Line.rfind("HEIGHT=", 0) == 0) WindowHeight = std::atoi(Line.c_str() + 7);
    }
    return true;
}

// The window stays black until setup has finished and the first frame is shown.
bool clsXvfb::WaitForDrawing(double TimeoutSeconds) {
    const double  End = Now() + TimeoutSeconds;
    clsScreenshot Shot;
    const auto    Lit = [](const uint8_t* P) { return P[0] > 8 || P[1] > 8 || P[2] > 8; };
    while (Now() < End && AppRunning()) {
        if (ScreenshotPpm(Shot) && Share(Shot, 0, 0, 100, 100, Lit) > 0) return true;
        Pause(0.1);
    }
    return false;
}

bool clsXvfb::AppRunning() {
    if (AppPid <= 0) return false;
    return waitpid(AppPid, nullptr, WNOHANG) == 0;
}

int clsXvfb::WaitForExit(double TimeoutSeconds) {
    if (AppPid <= 0) return -1;
    const int Code = WaitChild(AppPid, TimeoutSeconds);
    if (Code >= 0) AppPid = -1;
    return Code;
}

void clsXvfb::StopApp() {
    KillChild(AppPid);
    AppPid = -1;
}

std::string clsXvfb::AppLog() const {
    std::ifstream     In(LogPath);
    std::stringstream S;
    S << In.rdbuf();
    return S.str();
}

// The game looks at its key table once a frame, so a press released before the next frame would
// never be seen; the key is held down as long as a person's quick tap.
bool clsXvfb::SendKey(const std::string& KeyName) {
    if (!KeyDown(KeyName)) return false;
    Pause(0.15);
    return KeyUp(KeyName);
}
bool clsXvfb::KeyDown(const std::string& KeyName) {
    return Run("xdotool keydown " + Quote(KeyName)) == 0;
}
bool clsXvfb::KeyUp(const std::string& KeyName) {
    return Run("xdotool keyup " + Quote(KeyName)) == 0;
}

bool clsXvfb::MoveTo(double PctX, double PctY) {
    if (WindowId.empty()) return false;
    const int X = int(PctX * WindowWidth / 100.0);
    const int Y = int(PctY * WindowHeight / 100.0);
    return Run("xdotool mousemove --window " + WindowId + " " + std::to_string(X) + " " +
               std::to_string(Y)) == 0;
}

bool clsXvfb::Press(double PctX, double PctY, double Settle) {
    if (!MoveTo(PctX, PctY)) return false;
    Pause(0.3);
    const bool Ok = Run("xdotool mousedown 1") == 0;
    Pause(0.25);
    Run("xdotool mouseup 1");
    Pause(Settle);
    return Ok;
}

bool clsXvfb::Click(std::initializer_list<MenuSpot> Spots, double Settle) {
    bool Pressed = true;
    for (const MenuSpot& S : Spots)
        Pressed = Press(S.X, S.Y, Settle) && Pressed;
    return Pressed;
}

bool clsXvfb::CloseWindow() {
    if (WindowId.empty()) return false;
    return SendDeleteWindow(Display(), std::strtoul(WindowId.c_str(), nullptr, 10));
}

bool clsXvfb::Screenshot(const std::string& Path) {
    return Run("import -window root -depth 8 " + Quote(Path)) == 0;
}

bool clsXvfb::ScreenshotPpm(clsScreenshot& Shot) {
    if (GrabRootWindow(Display(), Shot)) return true;
    const std::string Path = TempDir + "/shot.ppm";
    return Screenshot(Path) && Shot.Load(Path);
}

double clsXvfb::Share(const clsScreenshot& Shot, double X0, double Y0, double X1, double Y1,
                      const std::function<bool(const uint8_t*)>& Test) const {
    const int Left = WindowX + int(X0 * WindowWidth / 100),
              Right = WindowX + int(X1 * WindowWidth / 100);
    const int Top = WindowY + int(Y0 * WindowHeight / 100),
              Bottom = WindowY + int(Y1 * WindowHeight / 100);
    int Pass = 0, All = 0;
    for (int Y = std::max(Top, 0); Y < Bottom && Y < Shot.Height; ++Y)
        for (int X = std::max(Left, 0); X < Right && X < Shot.Width; ++X) {
            ++All;
            Pass += Test(Shot.At(X, Y));
        }
    return All ? double(Pass) / All : 0.0;
}

// The titles are drawn in pure white from 20 percent across, 2 down, in cells 5 high; the
// arena's textures never quite reach that white.
bool clsXvfb::MenuTitleShown() {
    clsScreenshot Shot;
    const auto    White = [](const uint8_t* P) { return P[0] > 250 && P[1] > 250 && P[2] > 250; };
    return ScreenshotPpm(Shot) && Share(Shot, 20, 2, 65, 6.5, White) > 0.08;
}

