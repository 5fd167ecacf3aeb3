#pragma once
// Process-wide heap settings for a program that handles texts of hundreds of megabytes.

namespace qoxa::platform {

// Makes freed large blocks stay in the process for the next large allocation instead of going
// back to the system. Call once at start-up, before the first large allocation.
void KeepFreedMemoryForReuse();

// Gives the memory that is free at the moment back to the system (after the user cleared
// everything, say).
void ReturnFreedMemory();

}  // namespace qoxa::platform
