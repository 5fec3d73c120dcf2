#include "app/result_launcher.h"

#include "platform/page_opener.h"

#include <QSocketNotifier>

#include <algorithm>

namespace app {

struct ResultLauncher::Watch
{
    std::unique_ptr<platform::OpenerProcess> process;
    std::string path;
    QSocketNotifier* notifier = nullptr; // deleted later: it may be the sender of the moment
};

ResultLauncher::ResultLauncher(FailureHandler onFailure)
    : m_onFailure(std::move(onFailure))
{}

ResultLauncher::~ResultLauncher()
{
    for (const auto& watch : m_watches)
        delete watch->notifier;
}

void ResultLauncher::Open(const std::string& browserProgram, const std::string& path)
{
    platform::Result<std::unique_ptr<platform::OpenerProcess>> opener =
        platform::StartOpener(browserProgram, path);
    if (!opener) {
        m_onFailure(platform::OpenFailureText(path, opener.error));
        return;
    }
    if (opener.value->ExitFd() < 0)
        return; // nothing to watch it with: it was started, and that is all we can tell
    auto watch = std::make_unique<Watch>();
    watch->process = std::move(opener.value);
    watch->path = path;
    watch->notifier = new QSocketNotifier(watch->process->ExitFd(), QSocketNotifier::Read);
    Watch* const watched = watch.get();
    QObject::connect(watch->notifier, &QSocketNotifier::activated, watch->notifier,
                     [this, watched] { OnEnded(watched); });
    m_watches.push_back(std::move(watch));
}

void ResultLauncher::OnEnded(Watch* watch)
{
    const auto it = std::find_if(m_watches.begin(), m_watches.end(),
                                 [watch](const auto& w) { return w.get() == watch; });
    if (it == m_watches.end())
        return;
    std::unique_ptr<Watch> ended = std::move(*it);
    m_watches.erase(it);
    ended->notifier->setEnabled(false);
    ended->notifier->deleteLater();
    // The exit descriptor is readable: the program has ended, so this does not wait.
    const std::string why = ended->process->Finish();
    if (!why.empty())
        m_onFailure(platform::OpenFailureText(ended->path, why));
}

} // namespace app
