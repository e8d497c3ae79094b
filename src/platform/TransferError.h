#pragma once

#include <QString>

namespace vorlan {

// A failure of a transfer: its error number and the word the status text gives it.
struct TransferError {
    int number;
    const char* word;
};

// The transfer errors, each with its number and word. Anything else the client gives is 0.
namespace transfer_error {
// Host not found, connection refused or reset, TLS failure, too many redirects or one to a
// scheme other than http and https, a header that never arrived whole.
inline constexpr TransferError kCannotOpenUrl{35751, "Cannot open URL"};
inline constexpr TransferError kBadUrl{35752, "Bad URL"};         // empty or unparsable address
inline constexpr TransferError kTimeOut{35761, "Time out"};       // not done within the time-out
inline constexpr TransferError kInvalidUrl{35771, "Invalid URL"}; // a scheme but http(s)
// The server answered without a status line.
inline constexpr TransferError kDownLevelServer{35917, "Down level server"};
} // namespace transfer_error

// The word of a transfer error number; empty for a number the table does not hold (0 too).
QString transferErrorWord(int number);

} // namespace vorlan
