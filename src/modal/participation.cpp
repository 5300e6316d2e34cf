#include "modal/modal.h"

namespace pexmoor {

void computeParticipation(RunState& s)
{
    Channel& results = s.outFile[kResultsFile];

    // M r for the influence vector r = (1, 1): both masses move with the base.
    const double r1 = s.M.v[0][0] + s.M.v[0][1];
    const double r2 = s.M.v[1][0] + s.M.v[1][1];
    s.part[0] = s.P.v[0][0] * r1 + s.P.v[1][0] * r2;
    s.part[1] = s.P.v[0][1] * r1 + s.P.v[1][1] * r2;

    for (Channel* c : {&results, &s.console}) {
        put(*c, "\n\n Particpation Factors \n\n");
        put(*c, "%12.4f   \n", s.part[0]);
        put(*c, "%12.4f   \n\n", s.part[1]);
    }

    // Effective modal mass: the factor squared (the modes have unit modal mass).
    s.part[0] = s.part[0] * s.part[0];
    s.part[1] = s.part[1] * s.part[1];
    for (Channel* c : {&results, &s.console}) {
        put(*c, "\n\n Effective Modal Mass \n\n");
        put(*c, "%12.4f   \n", s.part[0]);
        put(*c, "%12.4f   \n\n", s.part[1]);
    }

    const double total = s.part[0] + s.part[1];
    if (s.unitSystem == kEnglish) {
        put(s.console, "\n\n Total Modal Mass = %12.4f  lbf sec^2/in \n\n", total);
        put(results, "\n\n Total Modal Mass = %12.4f  lbf sec^2/in \n", total);
    } else {
        put(s.console, "\n\n Total Modal Mass = %12.4f kg\n\n", total);
        put(results, "\n\n Total Modal Mass = %12.4f kg\n", total);
    }
}

}  // namespace pexmoor
