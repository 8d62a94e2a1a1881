// The entry point of libremindo-data-qt.so, loaded by remindo-data.
#include "qtservices.h"

extern "C" __attribute__((visibility("default"))) remindo::cli::DesktopServices* remindo_data_services()
{
    return new remindo::cli::QtDesktopServices;
}
