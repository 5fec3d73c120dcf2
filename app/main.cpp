#include "app/gui_main.h"
#include "download/curl_global.h"

int main(int argc, char* argv[])
{
    // libcurl's global set-up, once, for the program's whole life: before the first worker
    // starts and after the last has ended.
    const CCurlGlobal curl;

    // Batch mode ("Vistrel --search FILE ...") is dispatched here, before any window exists.

    return app::RunGui(argc, argv);
}
