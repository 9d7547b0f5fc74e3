// The outcome of a procedure that the user can cancel as well as one that can fail.
#pragma once

namespace mrw {

/// Outcome of a block transaction, of the transfer passes made of blocks, and of a file
/// command that asks for a file name.
enum class Outcome {
    Done,       ///< completed correctly
    Failed,     ///< refused, unanswered, or answered wrongly
    Cancelled,  ///< CancelFlag was set before or during it, or the user cancelled
};

}  // namespace mrw
