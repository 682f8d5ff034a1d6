#pragma once

namespace verdo {

// Shows who makes VERDO, with the maker's mail and web addresses to click; modal on the
// calling thread.
void AboutBox();

}  // namespace verdo
