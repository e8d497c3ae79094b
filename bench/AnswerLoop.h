#pragma once

#include <chrono>
#include <openssl/ssl.h>
#include <vector>

// Answers every request on the listening sockets from this thread with epoll, so that an
// idle kept-alive connection costs nothing and the machine's time goes to the measured
// program. Each request waits the delay; then "/page/<n>" gets a small HTML page,
// "/heavy/<megabytes>" a page of that weight and "/many-headers" a header of 100,000 lines.
// Through TLS when given a context.
[[noreturn]] void answerForever(const std::vector<int>& listeners, std::chrono::milliseconds delay,
                                SSL_CTX* tls);
