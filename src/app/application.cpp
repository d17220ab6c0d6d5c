// The application object's start, taskbar-button rule, end of run and error box.
#include "app/application.h"

#include <algorithm>
#include <cstdio>
#include <new>

#include "base/error.h"

namespace tavo {

const char kStartupErrorCaption[] = "Application Error";

std::string StartupErrorText(const std::string& className, const std::string& module, std::uintptr_t address,
                             const std::string& message) {
    char where[32];
    std::snprintf(where, sizeof where, "%08llX", static_cast<unsigned long long>(address));
    std::string text = "Exception " + className + " in module " + module + " at " + where + ".\n" + message;
    if (!message.empty() && message.back() != '.') text += ".";
    return text;
}

std::string ErrorClassName(const std::exception& error) {
    if (dynamic_cast<const SilentAbort*>(&error)) return "SilentAbort";
    if (dynamic_cast<const Error*>(&error)) return "Error";
    if (dynamic_cast<const std::bad_alloc*>(&error)) return "OutOfMemory";
    return "Exception";
}

TApplication::TApplication(ApplicationWindow& window) : window_(window) {
    window_.EnableHints(true);
}

TApplication::~TApplication() {
    DoneApplication();
}

void TApplication::SetTitle(const std::string& title) {
    title_ = title;
    window_.SetText(title);
}

void TApplication::Adopt(std::unique_ptr<Form> form, const FormWindowMaker& makeWindow) {
    Form& adopted = *form;
    forms_.push_back(Owned{std::move(form), nullptr});
    adopted.onVisibleChanging = [this] { UpdateTaskbarButton(); };
    if (forms_.size() == 1) adopted.onCloseMainForm = [this] { Terminate(); };
    try {
        if (makeWindow) forms_.back().window = makeWindow(adopted);
    } catch (...) {
        forms_.pop_back();
        throw;
    }
}

void TApplication::UpdateTaskbarButton() {
    const bool wanted =
        std::any_of(forms_.begin(), forms_.end(), [](const Owned& owned) { return owned.form->Visible(); });
    // Changed only from the state last set: a button the system shows minimized stays.
    if (window_.ButtonVisible() != buttonShown_ || wanted == buttonShown_) return;
    window_.SetButtonVisible(wanted);
    buttonShown_ = wanted;
}

int TApplication::Start(const std::function<void()>& createForms) {
    try {
        createForms();
    } catch (const std::exception& error) {
        window_.StartupErrorBox(StartupErrorText(ErrorClassName(error), window_.ModuleName(),
                                                 window_.ModuleAddress(), error.what()),
                                kStartupErrorCaption);
        return 1;
    }
    Run();
    return 0;
}

void TApplication::Run() {
    Form* main = MainForm();
    if (main) {
        const int show = window_.StartupShowCommand();
        if (show == kShowMaximized)
            main->windowState = WindowState::Maximized;
        else if (show == kShowMinNoActive)
            main->windowState = WindowState::Minimized;
        if (showMainForm) {
            if (main->windowState == WindowState::Minimized)
                window_.Minimize();
            else
                main->Show();
        }
    }
    window_.RunMessageLoop();
    DoneApplication();
}

void TApplication::DoneApplication() {
    if (done_) return;
    done_ = true;
    window_.HideOwnedPopups();
    window_.EnableHints(false);
    while (!forms_.empty()) {
        Owned& last = forms_.back();
        try {
            last.form->Destroy();
        } catch (const std::exception& error) {
            ShowException(error);
        }
        last.window.reset();
        last.form.reset();
        forms_.pop_back();
    }
}

void TApplication::Terminate() {
    if (CloseQuery()) window_.PostQuit();
}

bool TApplication::CloseQuery() {
    return std::all_of(terminatePermissions.begin(), terminatePermissions.end(),
                       [](const std::function<bool()>& allowed) { return allowed(); });
}

void TApplication::CloseMainForm() {
    if (Form* main = MainForm()) main->Close();
}

void TApplication::Restored() {
    Form* main = MainForm();
    if (!main || main->Visible() || main->windowState != WindowState::Minimized) return;
    main->windowState = WindowState::Normal;
    main->Show();
}

void TApplication::BringToFront() {
    window_.ActivateLastPopup();
}

void TApplication::ShowException(const std::exception& error) {
    if (dynamic_cast<const SilentAbort*>(&error)) return;
    window_.ErrorBox(ErrorBoxText(error.what()), title_);
}

}  // namespace tavo
