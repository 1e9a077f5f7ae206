// The process-wide handler that keeps selected objects drawn in full while only envelopes
// are drawn (messages 401/402), switched off and on by 1701/1702 with argument 1, and that
// follows view moves (1703 begins one, 1704 ends it).
#pragma once

namespace kiv::env {

// Registers the handler on first use.
void start_unsuppressor();
// True between a view move's begin and end.
bool view_moving();

}  // namespace kiv::env
