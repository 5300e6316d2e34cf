#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "platform/console.h"

namespace pexmoor {

void prepareStandardStreams()
{
    // The program writes CR LF itself; text mode would double the CR.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
}

bool standardOutputIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

}  // namespace pexmoor
