#pragma once

// What a search leaves allocated, given back to the system. The application runs for days and
// searches now and then; memory the allocator keeps after a search stays resident until the
// next one, however little of it is in use.
namespace tidra::SearchMemory {

// Fixes, once per process, the size from which the allocator serves a buffer from a mapping of
// its own (given back the moment it is freed). Left to itself, glibc raises that size after
// every large buffer freed, until decoded pictures and read buffers of megabytes come from
// the heaps of the worker threads and stay there. Also keeps every thread started later on
// one heap, which glibc can trim whole: call it before the process starts any thread (the
// application does, first thing), else only the mapping and trimming sizes take effect.
// Safe from any thread.
void settle();

// Hands the free memory of every heap back to the system. Call when a search has returned.
void giveBack();

} // namespace tidra::SearchMemory
