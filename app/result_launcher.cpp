#include "app/result_launcher.h"

#include "app/batch/result_opener.h"

#include <QSocketNotifier>

#include <algorithm>

namespace app {

struct CResultLauncher::CWatch
{
    std::unique_ptr<batch::COpenerProcess> process;
    std::string path;
    QSocketNotifier* notifier = nullptr; // deleted later: it may be the sender of the moment
};

CResultLauncher::CResultLauncher(FailureHandler onFailure)
    : m_onFailure(std::move(onFailure))
{}

CResultLauncher::~CResultLauncher()
{
    for (const auto& watch : m_watches)
        delete watch->notifier;
}

void CResultLauncher::Open(const std::string& browserProgram, const std::string& path)
{
    batch::OpenerStart opener = batch::StartOpener(browserProgram, path);
    if (!opener) {
        m_onFailure(batch::OpenFailureText(path, opener.error));
        return;
    }
    if (opener.process->ExitFd() < 0)
        return; // nothing to watch it with: it was started, and that is all we can tell
    auto watch = std::make_unique<CWatch>();
    watch->process = std::move(opener.process);
    watch->path = path;
    watch->notifier = new QSocketNotifier(watch->process->ExitFd(), QSocketNotifier::Read);
    CWatch* const watched = watch.get();
    QObject::connect(watch->notifier, &QSocketNotifier::activated, watch->notifier,
                     [this, watched] { OnEnded(watched); });
    m_watches.push_back(std::move(watch));
}

void CResultLauncher::OnEnded(CWatch* watch)
{
    const auto it = std::find_if(m_watches.begin(), m_watches.end(),
                                 [watch](const auto& w) { return w.get() == watch; });
    if (it == m_watches.end())
        return;
    std::unique_ptr<CWatch> ended = std::move(*it);
    m_watches.erase(it);
    ended->notifier->setEnabled(false);
    ended->notifier->deleteLater();
    // The exit descriptor is readable: the program has ended, so this does not wait.
    const std::string why = ended->process->Finish();
    if (!why.empty())
        m_onFailure(batch::OpenFailureText(ended->path, why));
}

} // namespace app
