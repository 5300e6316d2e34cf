// The built program end to end: a fresh folder, no controlling terminal,
// answers on standard input; console and file bytes against expected text.
#include <gtest/gtest.h>

#include "run_harness.h"

namespace pexmoor::testing {
namespace {

const std::string kBanner =
    "\r\n\r\n pexmoor  ver 1.0 \r\n August 17, 2005\r\n"
    " Two-mass half-sine base response; see README.md for its use \r\n";

const std::string kIntroduction =
    "\r\n\r\n This program calculates the response of a "
    "\r\n two-degree-of-freedom system to a half-sine pulse \r\n"
    "\r\n base excitation. \r\n"
    "\r\n The two-degree-of-freedom system consists of one mass \r\n"
    "\r\n mounted on top of another mass. \r\n"
    "\r\n Assume that the base excitation is appled to mass 1. \r\n";

const std::string kFilesOpened =
    "\r\n"
    " File: quelby.out opened. \r\n"
    " File: rel_disp.out opened. \r\n"
    " File: accel.out opened. \r\n"
    "\r\n";

std::string prompts(const std::string& mass, const std::string& acceleration)
{
    return "\r\n Select units \r\n"
           "\r\n 1=English  2=metric \r\n"
           "\r\n Assume symmetric mass and stiffness matrices. "
           "\r\n\r\n Enter m11 " + mass + "\r\n"
           "\r\n\r\n Enter m12 " + mass + "\r\n"
           "\r\n\r\n Enter m22 " + mass + "\r\n"
           "\r\n\r\n Enter k11 \r\n"
           "\r\n\r\n Enter k12 \r\n"
           "\r\n\r\n Enter k22 \r\n"
           "\r\n\r\n Enter modal damping ratio 1 \r\n"
           "\r\n\r\n Enter modal damping ratio 2 \r\n"
           "\r\n"
           "\r\n\r\n Enter the half-sine duration (sec) \r\n"
           "\r\n\r\n Enter the half-sine amplitude " + acceleration + " \r\n";
}

std::string fileList(const std::string& displacement, const std::string& acceleration)
{
    return "\r\n Output Files: \r\n\r\n"
           " quelby.out \r\n"
           " rel_disp.out  " + displacement + "\r\n"
           " accel.out  " + acceleration + "\r\n"
           "\r\n\r\n Press any key to exit.\r\n\r\n";
}

const char* const kMetricAnswers = "2\n1\n0\n1\n2\n-1\n1\n0.05\n0.05\n1.0\n1.0\n";

const std::string kMetricEcho =
    "\r\n\r\n Mass matrix \r\n"
    "      1.0000        0.0000  \r\n"
    "      0.0000        1.0000  \r\n"
    "\r\n\r\n Stiffness matrix \r\n"
    "      2.0000       -1.0000  \r\n"
    "     -1.0000        1.0000  \r\n";

const std::string kMetricEigen =
    "\r\n eig1 =         0.3820"
    "\r\n eig2 =         2.6180"
    "\r\n\r\n omegan1 =         0.6180 rad/sec"
    "\r\n omegan2 =         1.6180 rad/sec\r\n"
    "\r\n\r\n fn1 =         0.0984 Hz"
    "\r\n fn2 =         0.2575 Hz\r\n";

const std::string kMetricEigenvectors =
    "\r\n\r\n Eigenvectors (column format)\r\n\r\n      1             2  \r\n\r\n"
    "      0.6180        -1.6180   \r\n"
    "      1.0000         1.0000   \r\n";

const std::string kMetricChecksQ =
    "\r\n\r\n Let Q = eigenvector matrix. \r\n"
    "\r\n\r\n QTMQ \r\n"
    "      1.3820        0.0000  \r\n"
    "      0.0000        3.6180  \r\n"
    "\r\n\r\n scale1 =       0.8507 "
    "\r\n scale2 =       0.5257 \r\n";

const std::string kMetricNormalized =
    "\r\n\r\n Normalized Eigenvectors (column format)\r\n\r\n      1             2  \r\n\r\n"
    "      0.5257        -0.8507   \r\n"
    "      0.8507         0.5257   \r\n";

const std::string kMetricChecksP =
    "\r\n Let P = normalized eigenvector matrix. \r\n"
    "\r\n\r\n Verify PTMP \r\n"
    "      1.0000        0.0000  \r\n"
    "      0.0000        1.0000  \r\n"
    "\r\n\r\n Verify PTKP \r\n"
    "      0.3820        0.0000  \r\n"
    "      0.0000        2.6180  \r\n";

const std::string kMetricParticipation =
    "\r\n\r\n Particpation Factors \r\n\r\n"
    "      1.3764   \r\n"
    "     -0.3249   \r\n\r\n"
    "\r\n\r\n Effective Modal Mass \r\n\r\n"
    "      1.8944   \r\n"
    "      0.1056   \r\n\r\n";

TEST(RunEndToEnd, MetricWorkedExample)
{
    TempFolder folder;
    ProgramRun run = runProgram(folder, kMetricAnswers);

    EXPECT_EQ(run.console, kBanner + kIntroduction + kFilesOpened + prompts("(kg)", "(m/sec^2)") + kMetricEcho +
                               kMetricEigen + kMetricEigenvectors + kMetricNormalized + kMetricParticipation +
                               "\r\n\r\n Total Modal Mass =       2.0000 kg\r\n\r\n" + "\r\n" +
                               fileList("(m)", "(m/sec^2)"));
    EXPECT_EQ(readFile(folder / "quelby.out"),
              kBanner + kMetricEcho + kMetricEigen + kMetricEigenvectors + kMetricChecksQ + kMetricNormalized +
                  kMetricChecksP + kMetricParticipation + "\r\n\r\n Total Modal Mass =       2.0000 kg\r\n");
    EXPECT_EQ(splitLines(readFile(folder / "rel_disp.out")).size(), 10166u);
    EXPECT_EQ(splitLines(readFile(folder / "accel.out")).size(), 10166u);
    EXPECT_EQ(run.status, 255) << "no terminal: the key wait gives -1";
}

TEST(RunEndToEnd, EnglishWorkedExample)
{
    TempFolder folder;
    ProgramRun run = runProgram(folder, "1\n1\n0\n1\n2\n-1\n1\n0.05\n0.05\n1.0\n1.0\n");

    const std::string echo =
        "\r\n\r\n Mass matrix \r\n"
        "      0.0026        0.0000  \r\n"
        "      0.0000        0.0026  \r\n"
        "\r\n\r\n Stiffness matrix \r\n"
        "      2.0000       -1.0000  \r\n"
        "     -1.0000        1.0000  \r\n";
    const std::string eigen =
        "\r\n eig1 =       147.4389"
        "\r\n eig2 =      1010.5611"
        "\r\n\r\n omegan1 =        12.1424 rad/sec"
        "\r\n omegan2 =        31.7893 rad/sec\r\n"
        "\r\n\r\n fn1 =         1.9325 Hz"
        "\r\n fn2 =         5.0594 Hz\r\n";
    const std::string checksQ =
        "\r\n\r\n Let Q = eigenvector matrix. \r\n"
        "\r\n\r\n QTMQ \r\n"
        "      0.0036        0.0000  \r\n"
        "      0.0000        0.0094  \r\n"
        "\r\n\r\n scale1 =      16.7126 "
        "\r\n scale2 =      10.3290 \r\n";
    const std::string normalized =
        "\r\n\r\n Normalized Eigenvectors (column format)\r\n\r\n      1             2  \r\n\r\n"
        "     10.3290       -16.7126   \r\n"
        "     16.7126        10.3290   \r\n";
    const std::string checksP =
        "\r\n Let P = normalized eigenvector matrix. \r\n"
        "\r\n\r\n Verify PTMP \r\n"
        "      1.0000        0.0000  \r\n"
        "      0.0000        1.0000  \r\n"
        "\r\n\r\n Verify PTKP \r\n"
        "    147.4389        0.0000  \r\n"
        "      0.0000     1010.5611  \r\n";
    const std::string participation =
        "\r\n\r\n Particpation Factors \r\n\r\n"
        "      0.0701   \r\n"
        "     -0.0165   \r\n\r\n"
        "\r\n\r\n Effective Modal Mass \r\n\r\n"
        "      0.0049   \r\n"
        "      0.0003   \r\n\r\n";

    EXPECT_EQ(run.console, kBanner + kIntroduction + kFilesOpened + prompts("(lbm)", "(G)") + echo + eigen +
                               kMetricEigenvectors + normalized + participation +
                               "\r\n\r\n Total Modal Mass =       0.0052  lbf sec^2/in \r\n\r\n" + "\r\n" +
                               fileList("(in)", "(G)"));
    EXPECT_EQ(readFile(folder / "quelby.out"),
              kBanner + echo + eigen + kMetricEigenvectors + checksQ + normalized + checksP + participation +
                  "\r\n\r\n Total Modal Mass =       0.0052  lbf sec^2/in \r\n");
}

// The console from the prompts to the matrix echo, for one set of answers.
std::string dialogueAndEcho(const std::string& console)
{
    std::size_t from = console.find("\r\n Select units");
    std::size_t to = console.find("\r\n eig1 =");
    return console.substr(from, to - from);
}

std::string echoOf(const char* m11, const char* m12, const char* m22, const char* k11, const char* k12,
                   const char* k22)
{
    return std::string("\r\n\r\n Mass matrix \r\n") + m11 + m12 + "\r\n" + m12 + m22 + "\r\n" +
           "\r\n\r\n Stiffness matrix \r\n" + k11 + k12 + "\r\n" + k12 + k22 + "\r\n";
}

TEST(RunEndToEnd, UnitAnswersAndTheirLabels)
{
    struct Case {
        const char* answers;
        bool english;
        std::string echo;
    };
    const std::string metricEcho = echoOf("      1.0000  ", "      0.0000  ", "      1.0000  ", "      2.0000  ",
                                          "     -1.0000  ", "      1.0000  ");
    const Case cases[] = {
        {"2\n1\n0\n1\n2\n-1\n1\n0\n0\n1\n1\n", false, metricEcho},
        {"0\n1\n0\n1\n2\n-1\n1\n0\n0\n1\n1\n", false, metricEcho},
        {"3\n1\n0\n1\n2\n-1\n1\n0\n0\n1\n1\n", false, metricEcho},
        {"-1\n1\n0\n1\n2\n-1\n1\n0\n0\n1\n1\n", false, metricEcho},
        // English masses are typed in lbm and stored divided by 386.
        {"1\n386\n0\n193\n2\n-1\n1\n0\n0\n1\n1\n", true,
         echoOf("      1.0000  ", "      0.0000  ", "      0.5000  ", "      2.0000  ", "     -1.0000  ",
                "      1.0000  ")},
        // 1.5: the unit answer 1 leaves ".5" behind, the m11 answer (0.5 lbm).
        {"1.5\n0\n1\n2\n-1\n1\n0\n0\n1\n1\n", true,
         echoOf("      0.0013  ", "      0.0000  ", "      0.0026  ", "      2.0000  ", "     -1.0000  ",
                "      1.0000  ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answers);
        TempFolder folder;
        ProgramRun run = runProgram(folder, c.answers);
        const std::string prompt = c.english ? prompts("(lbm)", "(G)") : prompts("(kg)", "(m/sec^2)");
        EXPECT_EQ(dialogueAndEcho(run.console), prompt + c.echo);
        const std::string list = c.english ? fileList("(in)", "(G)") : fileList("(m)", "(m/sec^2)");
        EXPECT_EQ(run.console.substr(run.console.size() - list.size()), list);
        EXPECT_EQ(readFile(folder / "quelby.out").find("Enter"), std::string::npos);
    }
}

TEST(RunEndToEnd, AnswersOnOneLineGiveTheSameRun)
{
    TempFolder perLine, oneLine;
    ProgramRun a = runProgram(perLine, kMetricAnswers);
    ProgramRun b = runProgram(oneLine, "2 1 0 1 2 -1 1 0.05 0.05 1.0 1.0");
    EXPECT_EQ(a.console, b.console);
    for (const char* name : {"quelby.out", "rel_disp.out", "accel.out"}) {
        EXPECT_EQ(readFile(perLine / name), readFile(oneLine / name)) << name;
    }
}

TEST(RunEndToEnd, WordInsteadOfAnAnswerLeavesTheRestAtZero)
{
    TempFolder folder;
    ProgramRun run = runProgram(folder, "2\n1\nabc\n1\n2\n-1\n1\n0.05\n0.05\n1.0\n1.0\n");
    EXPECT_EQ(dialogueAndEcho(run.console),
              prompts("(kg)", "(m/sec^2)") + echoOf("      1.0000  ", "      0.0000  ", "      0.0000  ",
                                                    "      0.0000  ", "      0.0000  ", "      0.0000  "));
    // M singular and K zero: the modal report is not-a-number, and dur = 0
    // gives no time-history lines; the run still reaches its end.
    EXPECT_NE(run.console.find(" eig1 =        -1.#IND"), std::string::npos) << run.console;
    EXPECT_EQ(readFile(folder / "rel_disp.out"), "");
    EXPECT_EQ(readFile(folder / "accel.out"), "");
    EXPECT_EQ(run.status, 255);
}

TEST(RunEndToEnd, EmptyInputRunsToTheEnd)
{
    for (bool closed : {false, true}) {
        SCOPED_TRACE(closed ? "standard input closed" : "empty standard input");
        TempFolder folder;
        ProgramRun run = runProgram(folder, "", {.closedInput = closed});
        EXPECT_EQ(dialogueAndEcho(run.console),
                  prompts("(kg)", "(m/sec^2)") + echoOf("      0.0000  ", "      0.0000  ", "      0.0000  ",
                                                        "      0.0000  ", "      0.0000  ", "      0.0000  "));
        EXPECT_EQ(run.console.substr(run.console.size() - 30), fileList("(m)", "(m/sec^2)").substr(
                                                                   fileList("(m)", "(m/sec^2)").size() - 30));
        EXPECT_EQ(readFile(folder / "rel_disp.out"), "");
        EXPECT_EQ(run.status, 255);
    }
}

TEST(RunEndToEnd, LargeMassWidensItsField)
{
    TempFolder folder;
    ProgramRun run = runProgram(folder, "2\n10000000\n0\n123456789.125\n20000000\n-10000000\n10000000\n0.05\n0.05\n1.0\n1.0\n");
    const std::string echo = "\r\n\r\n Mass matrix \r\n"
                             "10000000.0000        0.0000  \r\n"
                             "      0.0000  123456789.1250  \r\n"
                             "\r\n\r\n Stiffness matrix \r\n"
                             "20000000.0000  -10000000.0000  \r\n"
                             "-10000000.0000  10000000.0000  \r\n";
    EXPECT_NE(run.console.find(echo), std::string::npos) << run.console;
    EXPECT_NE(readFile(folder / "quelby.out").find(echo), std::string::npos);
}

TEST(RunEndToEnd, OutputFilesThatCannotBeOpened)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "rel_disp.out");
    ProgramRun run = runProgram(folder, kMetricAnswers);
    EXPECT_NE(run.console.find("\r\n"
                               " File: quelby.out opened. \r\n"
                               " Failed to open file: rel_disp.out \r\n"
                               " File: accel.out opened. \r\n"
                               "\r\n"),
              std::string::npos);
    // The run goes on: the other files are complete and the list still names all three.
    EXPECT_EQ(splitLines(readFile(folder / "accel.out")).size(), 10166u);
    EXPECT_NE(run.console.find(fileList("(m)", "(m/sec^2)")), std::string::npos);
    EXPECT_EQ(run.status, 255);
}

TEST(RunEndToEnd, ExistingLongerFileIsEmptied)
{
    TempFolder folder;
    writeFile(folder / "rel_disp.out", std::string(5'000'000, 'x'));
    runProgram(folder, "2\n1\n0\n1\n2\n-1\n1\n0.05\n0.05\n20.0\n1.0\n");
    const std::string text = readFile(folder / "rel_disp.out");
    EXPECT_EQ(text.find('x'), std::string::npos);
    EXPECT_EQ(splitLines(text).size(), 618u);
}

TEST(RunEndToEnd, WriteFailureIsReportedBeforeTheFileList)
{
    TempFolder folder;
    std::filesystem::create_symlink("/dev/full", folder / "rel_disp.out");
    ProgramRun run = runProgram(folder, kMetricAnswers);
    EXPECT_NE(run.console.find(" File: rel_disp.out opened. \r\n"), std::string::npos);
    EXPECT_NE(run.console.find("\r\n Failed to write file: rel_disp.out \r\n" + fileList("(m)", "(m/sec^2)")),
              std::string::npos)
        << run.console;
    EXPECT_EQ(run.console.find("Failed to write file: accel.out"), std::string::npos);
    EXPECT_EQ(splitLines(readFile(folder / "accel.out")).size(), 10166u);
    EXPECT_EQ(run.status, 255);
}

}  // namespace
}  // namespace pexmoor::testing
