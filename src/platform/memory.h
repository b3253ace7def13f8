#pragma once

namespace platform {

// Sets up the process's memory allocator for a program that holds a few large pictures at a
// time: their memory goes back to the system as soon as a picture is let go. Call first.
void tune_memory();

} // namespace platform
