#include "engine/host.h"

const GameHost* pHost;

void HostInstall(const GameHost* pNewHost) {
    pHost = pNewHost;
}
