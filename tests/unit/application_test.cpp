// The application object: the taskbar-button rule, the error boxes, and the program's run from start to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/splash_unit.h"
#include "base/error.h"
#include "support/wall_main_fixture.h"

namespace tavo::testing {
namespace {

// A form's real window, which says when it goes.
class LoggingWindow : public FormWindow {
public:
    LoggingWindow(EventLog& log, std::string name) : log_(log), name_(std::move(name)) {}
    ~LoggingWindow() override { log_.push_back("gone:" + name_); }

private:
    EventLog& log_;
    std::string name_;
};

FormWindowMaker MakerFor(EventLog& log, const std::string& name) {
    return [&log, name](Form&) { return std::make_unique<LoggingWindow>(log, name); };
}

std::vector<std::string> ButtonCalls(const EventLog& log) {
    std::vector<std::string> calls;
    for (const std::string& e : log)
        if (e.rfind("button:", 0) == 0 || e == "app:minimize") calls.push_back(e);
    return calls;
}

// The button is there while a window is, changed only from the state last set: after a
// minimized start the system's minimized button stays for the whole run.
TEST(TaskbarButton, FollowsTheVisibleWindowsExceptAfterAMinimizedStart) {
    struct Case {
        int showCommand;
        std::vector<std::string> calls;
        WindowState splashState;
    };
    const Case cases[] = {
        {10, {"button:show", "button:hide", "button:show", "button:hide"}, WindowState::Normal},
        {3, {"button:show", "button:hide", "button:show", "button:hide"}, WindowState::Maximized},
        {7, {"app:minimize"}, WindowState::Minimized},
    };
    for (const Case& c : cases) {
        EventLog log;
        FakeApplicationWindow window(log);
        window.showCommand = c.showCommand;
        TApplication app(window);
        TSplashForm& splash = app.CreateForm(std::make_unique<TSplashForm>(), nullptr);
        Form& other = app.CreateForm(std::make_unique<Form>(), nullptr);
        WindowState splashState = WindowState::Normal;
        window.loop = [&] {
            EXPECT_EQ(splash.Visible(), c.showCommand != 7);
            splashState = splash.windowState;
            splash.Timer1.Tick();
            other.Show();
            other.Show();
            other.Hide();
            // Restored from the taskbar button, a minimized start shows the splash, which then stays (its
            // timer stopped at its first tick) until a click on its label.
            app.Restored();
            splash.Timer1.Tick();
            EXPECT_EQ(splash.Visible(), c.showCommand == 7);
            splash.Label1.Click();
            EXPECT_FALSE(splash.Visible());
        };
        app.Run();
        EXPECT_EQ(ButtonCalls(log), c.calls) << "show command " << c.showCommand;
        EXPECT_EQ(splashState, c.splashState);
    }
}

TEST(ErrorBoxes, TheApplicationBoxAndTheStartUpFailure) {
    EventLog log;
    FakeApplicationWindow window(log);
    TApplication app(window);
    app.SetTitle("Tavo Wallpaper 2");
    EXPECT_EQ(window.text, "Tavo Wallpaper 2");
    app.ShowException(SilentAbort());
    app.ShowException(Error("Disk full"));
    app.ShowException(Error("Done."));
    EXPECT_EQ(log,
              (EventLog{"hints:on", "error:Tavo Wallpaper 2:Disk full.", "error:Tavo Wallpaper 2:Done."}));

    // An error while the windows are made ends the start: no loop, the box without an owner, exit code 1.
    log.clear();
    const auto timersRunOut = [&] {
        app.CreateForm(std::make_unique<TSplashForm>(), nullptr);
        throw Error("Not enough timers available");
    };
    EXPECT_EQ(app.Start(timersRunOut), 1);
    EXPECT_EQ(log, (EventLog{"startup error:Application Error:Exception Error in module TavoWallpaper.exe at "
                             "00400000.\nNot enough timers available."}));
    TApplication started(window);
    EXPECT_EQ(started.Start([] {}), 0);
    EXPECT_EQ(std::count(log.begin(), log.end(), "loop"), 1);
    EXPECT_EQ(StartupErrorText("OutOfMemory", "a.exe", 0x1234, ""),
              "Exception OutOfMemory in module a.exe at 00001234.\n");
    EXPECT_EQ(StartupErrorText("Error", "a.exe", 0, "Stop."),
              "Exception Error in module a.exe at 00000000.\nStop.");
}

// The program's run with its two windows: what is saved, when the icon goes, and the order of the end.
class ProgramRunTest : public WallMainTest {
protected:
    struct Run {
        EventLog log;
        FakeApplicationWindow window{log};
        TApplication app{window};
        TSplashForm* splash = nullptr;
        TForm1* main = nullptr;
    };

    void Start(Run& run) {
        ports.lifetime = &run.app;
        run.app.SetTitle("Tavo Wallpaper 2");
        run.splash = &run.app.CreateForm(std::make_unique<TSplashForm>(), MakerFor(run.log, "splash"));
        tray.calls.clear();
        run.main = &run.app.CreateForm(std::make_unique<TForm1>(ports), MakerFor(run.log, "main"));
        registry.writes.clear();
    }
    void ClickTray() {
        tray.Post(0x201);
        tray.Post(0x202);
    }
};

TEST_F(ProgramRunTest, StartsIntoTheTrayAndEndsInOrderByEachWay) {
    struct Case {
        const char* how;
        bool show;
        std::function<void(Run&)> end;
        const char* visible;  // what the settings key says at the end; "" nothing written
    };
    const Case cases[] = {
        {"Exit", true, [](Run& r) { r.main->Exit1.Click(); }, "1"},
        {"close box", true, [](Run& r) { r.main->Close(); }, "0"},
        {"taskbar Close", true, [](Run& r) { r.app.CloseMainForm(); }, "1"},
        {"never shown", false, [](Run& r) { r.app.CloseMainForm(); }, ""},
    };
    for (const Case& c : cases) {
        registry = MemoryRegistry();
        Run run;
        Start(run);
        EXPECT_EQ(tray.calls,
                  (std::vector<std::string>{"delete", "add", "modify", "delete", "add", "modify"}));
        run.window.loop = [&] {
            EXPECT_TRUE(run.splash->Visible());
            run.splash->Timer1.Tick();
            if (c.show) ClickTray();
            EXPECT_EQ(run.main->Visible(), c.show);
            c.end(run);
        };
        run.app.Run();
        std::vector<std::string> end;
        for (auto e = std::find(run.log.begin(), run.log.end(), "app:quit"); e != run.log.end(); ++e)
            if (e->rfind("button:", 0) != 0) end.push_back(*e);
        EXPECT_EQ(ButtonCalls(run.log).back(), "button:hide") << c.how;
        EXPECT_EQ(end, (std::vector<std::string>{"app:quit", "app:hide popups", "hints:off", "gone:main",
                                                 "gone:splash"}))
            << c.how;
        EXPECT_EQ(tray.calls.back(), "destroy window") << c.how;
        EXPECT_EQ(registry.String(kSettingsKeyPath + std::string("\\Main"), "Visible").value_or(""),
                  c.visible)
            << c.how;
        if (!c.show) {
            EXPECT_TRUE(registry.writes.empty()) << c.how;
        }
    }
}

// A tray click shows the window, raises it and then brings the application to the front; a click while it
// is shown only raises it and brings the application to the front again.
TEST_F(ProgramRunTest, ATrayClickBringsTheApplicationToTheFrontAfterTheShow) {
    Run run;
    Start(run);
    run.main->onVisibleChanged = [&] { run.log.push_back("draw"); };
    run.main->onBringToTop = [&] { run.log.push_back("raise"); };
    run.log.clear();
    ClickTray();
    ClickTray();
    EXPECT_EQ(run.log, (EventLog{"button:show", "draw", "raise", "app:to front", "raise", "app:to front"}));
}

// The shell's callbacks can arrive inside the registration calls, while the window is still
// being made: such a click is dropped, and the first click after the start restores the settings.
TEST_F(ProgramRunTest, AClickWhileTheWindowIsBeingMadeIsDropped) {
    registry.PutString(kSettingsKeyPath + std::string("\\Main"), "Edit1_Text", "45");
    tray.duringCall = [this] {
        if (tray.procedure) ClickTray();
    };
    Run run;
    Start(run);
    tray.duringCall = nullptr;
    EXPECT_FALSE(run.main->Visible());
    ClickTray();
    EXPECT_TRUE(run.main->Visible());
    EXPECT_EQ(run.main->Edit1.Text(), "45");
}

}  // namespace
}  // namespace tavo::testing
