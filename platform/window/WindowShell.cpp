#include "platform/window/WindowShell.h"

#include "platform/dispatch/RunLoop.h"
#include "platform/ui/UIApplication.h"
#include "platform/ui/UIScreen.h"

#include <istream>
#include <ostream>

std::unique_ptr<WindowShell> WindowShell::open(WindowShellOptions options, std::string* error)
{
    // The window takes the screen's size in points: the device as launch() will set it.
    UIScreen::main().setProfile(options.device.profile);
    UIScreen::main().setInterfaceOrientation(
        options.device.landscape ? UIInterfaceOrientation::landscapeRight : UIInterfaceOrientation::portrait);
    std::unique_ptr<WindowShell> shell(new WindowShell);
    shell->m_window = DeviceWindow::open(options.window, error);
    if (!shell->m_window)
        return nullptr;
    WindowShell* self = shell.get();
    shell->m_window->setCloseHandler([] { RunLoop::main().stop(); });
    // The window's style key takes over the dark option, so that the two never disagree.
    if (options.device.dark)
        shell->m_window->input().setStyle(UIUserInterfaceStyle::dark);
    shell->m_window->input().setStyleChooser(std::move(options.styleChooser));
    // Before the launch, so that what the application makes at once starts at the kept levels.
    if (!options.levelsFile.empty())
        shell->m_levels = std::make_unique<KeptDeviceLevels>(std::move(options.levelsFile));
    options.device.dark = false;
    options.device.realTime = true;
    options.device.stopRequested = [self] { return self->isClosed(); };
    shell->m_shell = std::make_unique<DeviceShell>(std::move(options.device));
    shell->m_opener = std::make_unique<DesktopOpener>(std::move(options.urlOpener));
    UIApplication::shared().setURLOpener(
        [self](const std::string& url) { return self->m_opener->open(url); });
    return shell;
}

WindowShell::~WindowShell()
{
    end();
    UIApplication::shared().setURLOpener(nullptr);
    m_shell.reset();
    m_window.reset();
}

bool WindowShell::launch(std::shared_ptr<UIApplicationDelegate> delegate)
{
    bool answer = m_shell->launch(std::move(delegate));
    m_window->drawIfNeeded();
    return answer;
}

int WindowShell::runScript(std::istream& script, const std::string& sourceName, std::ostream& errors)
{
    return m_shell->run(script, sourceName, errors);
}

void WindowShell::run()
{
    if (!isClosed())
        RunLoop::main().run();
    end();
}

bool WindowShell::runUntil(const std::function<bool()>& done, double seconds)
{
    RunLoop::main().runUntil([&] { return done() || isClosed(); }, seconds);
    return done();
}

void WindowShell::end()
{
    if (m_ended)
        return;
    m_ended = true;
    // Closing by hand or by code looks the same to the person: the window goes first.
    m_window->close();
    m_shell->end();
    // A level moved just before the end is written now.
    m_levels.reset();
}
