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
    EXPECT_EQ(shell.calls, (std::vector<std::string>{"delete", "add", "modify"}));
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
// taskbar exists: the icon registers again and the message keeps its default treatment.
TEST(TrayIconRegistration, TheTaskbarCreatedBroadcastRegistersAgain) {
    FakeTrayShell shell;
    shell.refuseAdd = true;
    TTrayIcon icon(shell);
    icon.SetIcon(shell.icon);
    EXPECT_FALSE(icon.Registered());
    shell.refuseAdd = false;
    EXPECT_FALSE(shell.procedure(shell.taskbarCreated, 0, 0));
    EXPECT_TRUE(icon.Registered());
    icon.SetActive(false);
    shell.calls.clear();
    shell.procedure(shell.taskbarCreated, 0, 0);
    EXPECT_TRUE(shell.calls.empty());
}

}  // namespace
}  // namespace tavo::testing
