#pragma once

// Binds std::cout and std::cin to the console window (ConsoleStart) and back (ConsoleStop).
namespace console::stdio {

void BindStandardStreams();
// Restores the previous stream buffers; output not yet flushed is dropped.
void UnbindStandardStreams();
// Hands collected output to the window (at the end of the program).
void FlushStandardOutput();

}  // namespace console::stdio
