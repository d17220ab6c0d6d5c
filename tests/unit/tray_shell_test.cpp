// The tray icon: what each callback of the shell fires, and how the icon registers with the shell.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/tray_shell.h"
#include "base/error.h"
#include "support/app_fakes.h"

namespace tavo::testing {
namespace {

const char* ButtonName(MouseButton button) {
    return button == MouseButton::Left ? "L" : button == MouseButton::Right ? "R" : "M";
}

std::string ShiftText(ShiftState shift) {
    std::string text;
    const std::pair<ShiftState, const char*> flags[] = {
        {ssShift, "Shift"}, {ssAlt, "Alt"},       {ssCtrl, "Ctrl"},    {ssLeft, "Left"},
        {ssRight, "Right"}, {ssMiddle, "Middle"}, {ssDouble, "Double"}};
    for (const auto& [flag, name] : flags)
        if (shift & flag) text += std::string("+") + name;
    return text;
}

class TrayIconTest : public ::testing::Test {
protected:
    TrayIconTest() {
        icon.SetIcon(shell.icon);
        icon.Loaded();
        shell.calls.clear();
        auto mouse = [this](const char* what) {
            return [this, what](Component*, MouseButton b, ShiftState s, int x, int y) {
                events.push_back(std::string(what) + ButtonName(b) + ShiftText(s) + "@" + std::to_string(x) +
                                 "," + std::to_string(y));
            };
        };
        icon.OnClick = mouse("click:");
        icon.OnMouseDown = mouse("down:");
        icon.OnMouseUp = mouse("up:");
        icon.OnDblClick = [this](Component*) { events.push_back("dbl"); };
        icon.OnMouseMove = [this](Component*, ShiftState s, int, int) {
            events.push_back("move" + ShiftText(s));
        };
    }
    void Post(std::initializer_list<unsigned> messages) {
        for (unsigned m : messages)
            EXPECT_TRUE(shell.Post(m));
    }

    FakeTrayShell shell;
    TTrayIcon icon{shell};
    std::vector<std::string> events;
};

enum : unsigned {
    kMove = 0x200,
    kLDown,
    kLUp,
    kLDbl,
    kRDown,
    kRUp,
    kRDbl,
    kMDown,
    kMUp,
    kMDbl,
};

TEST_F(TrayIconTest, EachCallbackFiresItsEventsAndOnlyAPendingPressClicks) {
    struct Case {
        std::vector<unsigned> messages;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {{kLDown, kLUp}, {"down:L+Left@10,20", "click:L+Left@10,20", "up:L+Left@10,20"}},
        {{kRDown, kRUp}, {"down:R+Right@10,20", "click:R+Right@10,20", "up:R+Right@10,20"}},
        {{kMDown, kMUp}, {"down:M+Middle@10,20", "up:M+Middle@10,20"}},
        // A double-click clicks once: the second press adds nothing to the pending set.
        {{kLDown, kLUp, kLDbl, kLUp},
         {"down:L+Left@10,20", "click:L+Left@10,20", "up:L+Left@10,20", "dbl", "down:L+Double@10,20",
          "up:L+Left@10,20"}},
        {{kRDbl, kMDbl}, {"down:R+Double@10,20", "down:M+Double@10,20"}},
        {{kLUp, kRUp}, {"up:L+Left@10,20", "up:R+Right@10,20"}},
        // A press whose release never came: the next release of that button clicks.
        {{kLDown, kRDown, kRUp, kLUp},
         {"down:L+Left@10,20", "down:R+Right@10,20", "click:R+Right@10,20", "up:R+Right@10,20",
          "click:L+Left@10,20", "up:L+Left@10,20"}},
        {{kMove, 0x20A}, {"move"}},
    };
    for (const Case& c : cases) {
        events.clear();
        for (unsigned m : c.messages)
            shell.Post(m);
        EXPECT_EQ(events, c.events) << "messages starting " << std::hex << c.messages.front();
        EXPECT_EQ(icon.PressedButtons(), 0u);
    }
}

TEST_F(TrayIconTest, KeysHeldAndTheCursorAreTakenWhenTheCallbackIsHandled) {
    shell.shift = ssShift | ssCtrl | ssAlt;
    shell.cursor = {-5, 700};
    Post({kRDown});
    EXPECT_EQ(events, (std::vector<std::string>{"down:R+Shift+Alt+Ctrl+Right@-5,700"}));
}

TEST_F(TrayIconTest, ARegistrationForgetsPendingPresses) {
    Post({kLDown});
    icon.Register();
    Post({kLUp});
    EXPECT_EQ(events, (std::vector<std::string>{"down:L+Left@10,20", "up:L+Left@10,20"}));
}

TEST_F(TrayIconTest, OtherMessagesAndCallbacksWhileDisabledGetTheDefaultTreatment) {
    EXPECT_FALSE(shell.Post(kLDown, 0xB053));
    icon.Enabled = false;
    EXPECT_FALSE(shell.Post(kLDown));
    EXPECT_TRUE(events.empty());
}

TEST_F(TrayIconTest, AnErrorOfAHandlerGoesToTheErrorBoxAndTheIconGoesOn) {
    std::vector<std::string> shown;
    icon.handleException = [&](const std::exception& e) { shown.push_back(e.what()); };
    icon.OnClick = [](Component*, MouseButton, ShiftState, int, int) { throw Error("Disk full"); };
    Post({kLDown, kLUp, kRDown});
    EXPECT_EQ(shown, (std::vector<std::string>{"Disk full"}));
    EXPECT_EQ(icon.PressedButtons(), ssRight);
}

TEST(TrayIconRegistration, LoadingThePictureAndTheEndOfLoadingEachRegisterOnce) {
    FakeTrayShell shell;
    {
        TTrayIcon icon(shell);
        EXPECT_EQ(shell.windowsCreated, 1);
        EXPECT_TRUE(shell.calls.empty());
        icon.SetIcon(shell.icon);
        icon.Loaded();
        EXPECT_TRUE(icon.Registered());
        const NotifyIconData& data = shell.sent.back();
        // The first version's size: 88 bytes on 32-bit Windows; on 64-bit the window and icon
        // handles are 8 bytes, each aligned to 8 (padding after cbSize and uCallbackMessage).
        EXPECT_EQ(data.cbSize, sizeof(void*) == 4 ? 88u : 4u + 4u + 8u + 4u + 4u + 4u + 4u + 8u + 64u);
        EXPECT_EQ(data.hWnd, shell.window);
        EXPECT_EQ(data.uID, 0u);
        EXPECT_EQ(data.uFlags, 7u);
        EXPECT_EQ(data.uCallbackMessage, 0xB054u);
        EXPECT_EQ(data.hIcon, shell.icon);
        EXPECT_STREQ(data.szTip, "");
    }
    // With no hint every add is followed by a modify; the end removes the icon, then its window.
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"delete", "add", "modify", "delete", "add", "modify",
                                                     "delete", "destroy window"}));
}

TEST(TrayIconRegistration, RefreshesAndFailuresFollowTheRegisteredState) {
    FakeTrayShell shell;
    TTrayIcon icon(shell);
    icon.Register();  // no picture: stays unregistered
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"delete"}));
    shell.refuseAdd = true;
    icon.SetIcon(shell.icon);  // the shell refuses: no modify, nothing registered
    EXPECT_FALSE(icon.Registered());
    shell.refuseAdd = false;
    shell.calls.clear();
    icon.SetHint(std::string(70, 'x') + "|long part");  // not registered: registers, no modify after a tip
    icon.SetIcon(shell.icon + 1);                       // registered: one modify
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"timer off", "delete", "add", "modify"}));
    EXPECT_EQ(std::string(shell.sent.back().szTip), std::string(63, 'x'));
    EXPECT_EQ(ShortHint("Tip|more|rest"), "Tip");
    shell.calls.clear();
    icon.SetActive(false);
    icon.SetActive(true);
    icon.SetIcon(0);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"delete", "delete", "add", "delete"}));
    EXPECT_FALSE(icon.Registered());
}

// A shell that restarts (or was not there when the program started) broadcasts that its
// taskbar exists: the icon registers again and the message keeps its default treatment. A refused
// add there is tried again like any other.
TEST(TrayIconRegistration, TheTaskbarCreatedBroadcastRegistersAgain) {
    FakeTrayShell shell;
    shell.refuseAdd = true;
    TTrayIcon icon(shell);
    icon.SetIcon(shell.icon);
    EXPECT_FALSE(icon.Registered());
    shell.refuseAdd = false;
    EXPECT_FALSE(shell.procedure(shell.taskbarCreated, 0, 0));
    EXPECT_TRUE(icon.Registered());
    EXPECT_FALSE(icon.Retrying());
    shell.refuseAdds = 1;
    shell.calls.clear();
    shell.procedure(shell.taskbarCreated, 0, 0);
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"delete", "add", "timer 2000"}));
    icon.SetActive(false);
    shell.calls.clear();
    shell.procedure(shell.taskbarCreated, 0, 0);
    EXPECT_TRUE(shell.calls.empty());
}

// The calls of each of the next ticks of the timer, each LATE_MS after its interval.
std::vector<std::vector<std::string>> TickCalls(FakeTrayShell& shell, int ticks, unsigned lateMs = 0) {
    std::vector<std::vector<std::string>> all;
    for (int i = 0; i < ticks; ++i) {
        shell.calls.clear();
        EXPECT_TRUE(shell.Tick(lateMs));
        all.push_back(shell.calls);
    }
    return all;
}

// A shell that is not ready yet (log-on) refuses the first adds: every 2 s a modify (an add that timed out
// may have reached it), then an add; the icon is there at the first add it takes, and the timer stops.
TEST(TrayIconRetries, ARefusedAddIsTriedAgainUntilTheShellTakesIt) {
    using Calls = std::vector<std::string>;
    struct Case {
        int refusals;
        bool reachShell;  // the refused add put the icon there all the same
        std::vector<Calls> ticks;
    };
    const Calls refused{"modify", "add"}, taken{"modify", "add", "modify", "timer off"};
    const Case cases[] = {
        {1, false, {taken}},
        {3, false, {refused, refused, taken}},
        {1, true, {{"modify", "timer off"}}},
    };
    for (const Case& c : cases) {
        FakeTrayShell shell;
        shell.refuseAdds = c.refusals;
        shell.refusalsReachShell = c.reachShell;
        TTrayIcon icon(shell);
        icon.SetIcon(shell.icon);
        EXPECT_EQ(shell.calls, (Calls{"delete", "add", "timer 2000"}));
        EXPECT_EQ(TickCalls(shell, static_cast<int>(c.ticks.size())), c.ticks) << c.refusals;
        EXPECT_TRUE(icon.Registered()) << c.refusals;
        EXPECT_FALSE(icon.Retrying()) << c.refusals;
        EXPECT_EQ(shell.timerMs, 0u);
    }
}

// A shell that never takes the icon: tried every 2 s for 2 minutes by the clock (fewer ticks when they
// come late; these across the clock's wrap), then every 30 s, for as long as the program runs; the end
// stops the timer.
TEST(TrayIconRetries, ARefusalForGoodIsTriedAtTheSlowPaceUntilTheEnd) {
    for (unsigned lateMs : {0u, 8000u}) {
        FakeTrayShell shell;
        shell.refuseAdd = true;
        if (lateMs) shell.now = 0xFFFFF000u;
        {
            TTrayIcon icon(shell);
            icon.SetIcon(shell.icon);
            icon.Loaded();
            const std::uint32_t since = shell.now;
            int quick = 0;
            while (shell.timerMs == kQuickRetryMs && quick < 100) {
                ++quick;
                shell.Tick(lateMs);
            }
            EXPECT_EQ(quick, 120000 / static_cast<int>(kQuickRetryMs + lateMs)) << lateMs;
            EXPECT_GE(shell.now - since, 120000u);
            EXPECT_EQ(shell.calls.back(), "timer 30000");
            EXPECT_EQ(TickCalls(shell, 3), (std::vector<std::vector<std::string>>(3, {"modify", "add"})));
            EXPECT_FALSE(icon.Registered());
            shell.calls.clear();
        }
        EXPECT_EQ(shell.calls, (std::vector<std::string>{"timer off", "delete", "destroy window"}));
    }
}

}  // namespace
}  // namespace tavo::testing
