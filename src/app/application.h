// TApplication: the title, the forms it owns, the taskbar button, the message loop, the error box.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/app_ports.h"
#include "framework/form.h"
#include "framework/ports.h"

namespace tavo {

// Makes the real window of a form that has just been created.
using FormWindowMaker = std::function<std::unique_ptr<FormWindow>(Form& form)>;

// The caption of the box that ends a start-up whose windows could not be created.
extern const char kStartupErrorCaption[];
// The text of the box that ends a start-up whose windows could not be created:
// "Exception CLASS in module MODULE at ADDRESS." and the message on a line of its own,
// with a full stop unless it is empty or ends in one.
std::string StartupErrorText(const std::string& className, const std::string& module, std::uintptr_t address,
                             const std::string& message);
// The class name that text gives an error.
std::string ErrorClassName(const std::exception& error);

class TApplication : public AppLifetime {
public:
    explicit TApplication(ApplicationWindow& window);
    ~TApplication() override;
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The title; also the application window's text, hence the taskbar button's.
    void SetTitle(const std::string& title);

    // Takes over a form and makes its window at once; the first form becomes the main
    // form. The forms are destroyed at the end of the run, the most recent first.
    template <typename T>
    T& CreateForm(std::unique_ptr<T> form, const FormWindowMaker& makeWindow) {
        T& created = *form;
        Adopt(std::move(form), makeWindow);
        return created;
    }
    Form* MainForm() const { return forms_.empty() ? nullptr : forms_.front().form.get(); }

    // The whole run: `createForms` makes the windows, then Run. An error while they are made
    // ends the start instead: the box "Application Error" reports it and the result is exit
    // code 1; otherwise it is 0.
    int Start(const std::function<void()>& createForms);
    // The message loop: shows the main form by the start-up show command, takes messages
    // until termination, then the end of the program.
    void Run();
    // The end of the program: hides the owned pop-ups, switches the hints off and
    // destroys the forms, the most recently created first. Runs once.
    void DoneApplication();

    // AppLifetime
    void Terminate() override;
    void BringToFront() override;
    void ShowException(const std::exception& error) override;

    // Asks the terminate-permission callbacks (the program registers none).
    bool CloseQuery();
    // Close on the taskbar button's menu: closes the main form.
    void CloseMainForm();
    // The application was restored from its taskbar button: a main form that was never shown because the
    // program started minimized is shown now.
    void Restored();

    // Makes the main form visible when the loop starts.
    bool showMainForm = true;
    // Callbacks that may refuse termination.
    std::vector<std::function<bool()>> terminatePermissions;

private:
    struct Owned {
        std::unique_ptr<Form> form;
        std::unique_ptr<FormWindow> window;
    };

    void Adopt(std::unique_ptr<Form> form, const FormWindowMaker& makeWindow);
    // The taskbar button is there while any of the forms is visible.
    void UpdateTaskbarButton();

    ApplicationWindow& window_;
    std::string title_;
    std::vector<Owned> forms_;
    // The button state the application last set.
    bool buttonShown_ = false;
    bool done_ = false;
};

}  // namespace tavo
