// The entry point of libremindo-data-net.so, loaded by `remindo-data sync`.
#include "netservices.h"

extern "C" __attribute__((visibility("default"))) remindo::cli::NetServices* remindo_data_net()
{
    return remindo::cli::MakeQtNetServices().release();
}
