// Standard output that never fails quietly: every subcommand's status passes through
// finishOutput, which turns a write error (a full disk, /dev/full, a closed stdout) into a
// message on standard error and status 2.
#pragma once

// Run first in main: a standard stream that was closed when the program started gets a
// stand-in, so that no file the program opens takes its number. Output to a closed stdout
// then fails (its stand-in is read-only) and is reported; the others read and write nothing.
void guardStandardStreams();

// True once a write to standard output has failed; long outputs stop early when it is.
bool outputFailed();

// Flushes standard output. Answers status, or 2 (with the reason on standard error) when any
// write to standard output failed.
int finishOutput(int status);
