#include "app/batch/batch_run.h"
#include "app/gui_main.h"
#include "download/curl_global.h"

#include <iostream>

int main(int argc, char* argv[])
{
    // libcurl's global set-up, once, for the program's whole life: before the first worker
    // starts and after the last has ended.
    const download::CurlGlobal curl;

    // Batch mode ("Vistrel --search FILE ..."), --help, --version and a wrong command line: no
    // window, no display.
    std::string windowFile;
    if (const std::optional<int> exitCode =
            batch::RunCommandLine(argc, argv, std::cout, std::cerr, windowFile))
        return *exitCode;

    return app::RunGui(argc, argv, windowFile);
}
