#include <cstdio>
#include <cstring>

#include "run/run.h"

namespace pexmoor {

void openOutputFiles(RunState& s)
{
    static const char* const names[kOutputFiles] = {"quelby.out", "rel_disp.out", "accel.out"};
    for (int i = 0; i < kOutputFiles; ++i) std::strcpy(s.outName[i], names[i]);

    put(s.console, "\n");
    for (int i = 0; i < kOutputFiles; ++i) {
        Channel& f = s.outFile[i];
        if (f.memory == nullptr) {
            // Binary mode: the program writes its own CR LF line ends.
            f.file = std::fopen(s.outName[i], "wb");
            if (f.file != nullptr) std::setvbuf(f.file, nullptr, _IONBF, 0);
        }
        if (isOpen(f)) {
            put(s.console, " File: %s opened. \n", s.outName[i]);
        } else {
            put(s.console, " Failed to open file: %s \n", s.outName[i]);
        }
    }
    put(s.console, "\n");
}

void closeOutputFiles(RunState& s)
{
    for (int i = 0; i < kOutputFiles; ++i) {
        Channel& f = s.outFile[i];
        if (!isOpen(f)) continue;
        if (!closeChannel(f)) put(s.console, " Failed to write file: %s \n", s.outName[i]);
    }
}

}  // namespace pexmoor
