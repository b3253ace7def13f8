#pragma once

// The renderer's walls. Once it holds the file and before it reads a byte of it, the renderer
// gives up for good what drawing does not need, so that code smuggled in by a crafted metafile
// cannot reach the user's files, the network or other programs.

#include <string>
#include <vector>

namespace pikuta::metafile {

// What a fuzzer adds to the renderer's walls; nothing for the renderer.
struct Confinement {
    std::vector<std::string> readableFolders; // its inputs
    std::vector<std::string> writableFolders; // where it creates and writes files (findings)
};

// Where the system lacks a wall, the process goes on without it: one line for each, saying
// which and why, for the viewer's log. Empty when every wall stands.
std::vector<std::string> confine(const Confinement& confinement = {});

} // namespace pikuta::metafile
