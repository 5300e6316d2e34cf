#include <cstdio>

#include "modal/modal.h"
#include "platform/console.h"
#include "response/response.h"
#include "run/run.h"

namespace pexmoor {

namespace {

void showBanner(Channel& c)
{
    put(c, "\n\n pexmoor  ver 1.0 \n August 17, 2005\n");
    put(c, " Two-mass half-sine base response; see README.md for its use \n");
}

void showIntroduction(RunState& s)
{
    put(s.console, "\n\n This program calculates the response of a ");
    put(s.console, "\n two-degree-of-freedom system to a half-sine pulse \n");
    put(s.console, "\n base excitation. \n");
    put(s.console, "\n The two-degree-of-freedom system consists of one mass \n");
    put(s.console, "\n mounted on top of another mass. \n");
    put(s.console, "\n Assume that the base excitation is appled to mass 1. \n");
}

void listOutputFiles(RunState& s)
{
    put(s.console, "\n Output Files: \n\n");
    put(s.console, " %s \n", s.outName[kResultsFile]);
    put(s.console, " %s  %s\n", s.outName[kDisplacementFile], s.displacementLabel);
    put(s.console, " %s  %s\n", s.outName[kAccelerationFile], s.accelerationLabel);
}

}  // namespace

void attachStandardStreams(RunState& s)
{
    prepareStandardStreams();
    // The channel does its own buffering; the stream passes bytes straight on.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    s.console.file = stdout;
    s.console.flushEachWrite = standardOutputIsTerminal();
    scanFile(s.input, stdin);
}

void runSequence(RunState& s)
{
    runAnalysis(s);
    runRecords(s);
}

void runAnalysis(RunState& s)
{
    showBanner(s.console);
    showIntroduction(s);
    openOutputFiles(s);
    showBanner(s.outFile[kResultsFile]);
    s.ndof = 2;
    readInputs(s);
    echoMatrices(s);
    computeEigenvalues(s);
    computeModeShapes(s);
    computeParticipation(s);
    computeTimeGrid(s);
}

void runRecords(RunState& s)
{
    computeResponse(s);
    // The files are complete on disk before the program waits for its key.
    closeOutputFiles(s);
    listOutputFiles(s);
    put(s.console, "\n\n Press any key to exit.\n\n");
    flushChannel(s.console);
}

}  // namespace pexmoor
