// Sends news to the desktop as batch mode does, in a process of its own as batch mode runs it:
//   notify_sender RESULT_PATH BROWSER WAIT_MS|- [KEYWORD COUNT]...
// Prints "notified" or "failed<TAB>reason", then "signal<TAB>N" when a signal came; what it
// tells the user goes to standard error.
#include "app/batch/desktop_notifier.h"
#include "app/batch/interrupt.h"

#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 4 || (argc - 4) % 2 != 0) {
        std::cerr << "usage: notify_sender RESULT_PATH BROWSER WAIT_MS|- [KEYWORD COUNT]...\n";
        return 2;
    }
    std::vector<batch::KeywordNews> news;
    for (int i = 4; i + 1 < argc; i += 2)
        news.emplace_back(argv[i], std::stoi(argv[i + 1]));
    const std::string wait = argv[3];
    const std::chrono::milliseconds limit =
        wait == "-" ? batch::kActionWait : std::chrono::milliseconds(std::stoi(wait));

    const batch::InterruptGuard interrupt;
    const std::string why =
        batch::NotifyDesktop(news, argv[1], argv[2], interrupt.WakeFd(), std::cerr, limit);
    std::cout << (why.empty() ? "notified" : "failed\t" + why) << '\n';
    if (const int signal = interrupt.Received())
        std::cout << "signal\t" << signal << '\n';
    return 0;
}
