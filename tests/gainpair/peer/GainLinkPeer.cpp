// The far side of the cross-process gain-link test: maps, as Undrel does, the block that the test
// process wrote, reports what it read and writes a compensation back.
// Usage: GainLinkPeer <object-name prefix> <link ID> <compensation dB>

#include "gainpair/common/GainLinkSharedMemory.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;

    GainLinkEnvironment env;
    env.objectNamePrefix = argv[1];
    GainLinkSharedMemory link(env);
    if (!link.initAsReader(std::atoi(argv[2])))
        return 3;

    const GainLinkSharedMemory::ScopedAccess access(link);
    auto* block = access.block();
    std::printf("gain=%.2f bypass=%d current=%d master=%d\n", static_cast<double>(block->gainDb.load()),
                block->bypass.load(), block->isCurrent(GainLinkBlock::wallClockMs()) ? 1 : 0,
                block->masterLetter.load());
    block->compensationDb.store(std::strtof(argv[3], nullptr), std::memory_order_release);
    return 0;
}
