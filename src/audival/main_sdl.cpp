// audival: the microphone test, on the real window, loudspeaker and microphone.
#include "audival/program_start.h"
#include "audival/test_run.h"

int main() {
  audival::ProgramStart();
  audival::RunMicrophoneTest();
}
