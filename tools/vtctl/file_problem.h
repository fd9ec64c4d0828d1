#pragma once
// Why a file named on the command line could not be read, in vtctl's words: what lies there
// instead of a file, or the cause. No Qt.
#include <string>

namespace vtctl {

// error is the reader's (files::readFile): "not a file but a FIFO", "no such file", "a loop of
// links", "a link made by another user, which is not followed", "permission denied" …
std::string fileProblem(const std::string& path, int error);

}  // namespace vtctl
