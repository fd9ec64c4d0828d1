#pragma once
// Descriptors 0, 1 and 2 as every program of ours takes them over at start.

namespace files {

// Puts /dev/null on each of descriptors 0-2 that is closed, opened the other way round (standard
// input for writing, standard output and error for reading), so that using one fails as it did
// while closed, and the next file, terminal or port the program opens never takes its number:
// no log line, plan or report lands in it. Ends the process with status 127 when /dev/null cannot
// be opened. Called first in main, before anything else opens a descriptor.
void guardStandardDescriptors();

}  // namespace files
