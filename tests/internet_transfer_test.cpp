#include "InternetTransfer.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(TransferTarget, AddsTheMissingSchemeAndRefusesWhatIsNotHttp) {
    const InternetTransfer inet;
    const struct {
        const char* address;
        const char* url;
        int errorNumber;
    } cases[] = {
        {"ab.cd/ef", "http://ab.cd/ef", 0},
        {"127.0.0.1:8080/x", "http://127.0.0.1:8080/x", 0},
        {"HTTPS://ab.cd/", "https://ab.cd/", 0},
        {"http://ab.cd/a b", "http://ab.cd/a%20b", 0},
        {"", "", transfer_error::kBadUrl},
        {"http://", "", transfer_error::kBadUrl},
        {"http://exa mple.com/", "", transfer_error::kBadUrl},
        {"http://[ab.cd/", "", transfer_error::kBadUrl},
        {"ftp://ab.cd/f.txt", "", transfer_error::kInvalidUrl},
        {"mailto:someone@ab.cd", "", transfer_error::kInvalidUrl},
        {"file:///etc/passwd", "", transfer_error::kInvalidUrl},
        {"data:text/html,ab.cd", "", transfer_error::kInvalidUrl},
        {"javascript:alert(1).x", "", transfer_error::kInvalidUrl},
    };
    for (const auto& c : cases) {
        const TransferTarget target = inet.target(QString::fromUtf8(c.address));
        EXPECT_EQ(target.errorNumber, c.errorNumber) << c.address;
        EXPECT_EQ(target.url.toString(QUrl::FullyEncoded), QString::fromUtf8(c.url)) << c.address;
    }
}
