#pragma once

// Module start-up and shut-down for the program: every module sets itself up, in a fixed
// order, before the test run begins.
namespace audival {

// Console, player, Aravo adapter, engine dispatcher, diphone voice, speech front end; then the
// start-up folder for the configuration reader, and the front end as the capture module's
// speaker of error codes.
void ProgramStart();
// Releases what ProgramStart set up without ending the process (for tests and the simulated
// program, which look at the machine afterwards).
void ProgramStop();

}  // namespace audival
