// pexmoor: response of a two-mass system to a half-sine base acceleration.
#include "platform/key_wait.h"
#include "run/run.h"

int main()
{
    static pexmoor::RunState s;  // pi and tpi are fixed as it is built
    pexmoor::attachStandardStreams(s);
    pexmoor::runSequence(s);
    // The key's code is the exit status; -1 when there is no console to read.
    return pexmoor::waitForKey();
}
