#include <csignal>
#include <unistd.h>

#include "platform/console.h"

namespace pexmoor {

void prepareStandardStreams()
{
    // A console pipe whose reader has gone makes writes fail instead of
    // killing the process; the output files are still written out.
    std::signal(SIGPIPE, SIG_IGN);
}

bool standardOutputIsTerminal() { return isatty(STDOUT_FILENO) == 1; }

}  // namespace pexmoor
