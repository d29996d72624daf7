// Standard input, output and error on POSIX systems: made safe at program
// start, and quietened while libraries that chatter on standard error start.
#pragma once

// First thing in main, after the stop signals are held. Each of descriptors
// 0 to 2 that is closed gets /dev/null opened for reading only, so no file
// or connection opened later takes its number, yet a write to it still fails
// as on a closed stream. A write to a pipe whose reader has gone fails too,
// rather than ending the program with SIGPIPE.
void GuardStandardStreams();

// Points standard error at /dev/null and returns what restores it; -1 when
// it could not, and then nothing needs restoring.
int QuietStandardError();
void RestoreStandardError(int saved);
