#include "linkcheck/engine/StatusText.h"

namespace vorlan {

namespace {

constexpr struct {
    int number;
    const char* word;
} kStatusWords[] = {
    {35751, "Cannot open URL"},   {35752, "Bad URL"},     {35761, "Time out"},
    {35768, "Time out"},          {35771, "Invalid URL"}, {35794, "Item not found"},
    {35917, "Down level server"},
};

} // namespace

QString statusWord(int errorNumber) {
    for (const auto& entry : kStatusWords) {
        if (entry.number == errorNumber)
            return QString::fromLatin1(entry.word);
    }
    return {};
}

QString statusText(bool pageEmpty, int statusCode, int errorNumber) {
    if (!pageEmpty)
        return statusCode >= 200 && statusCode <= 299 ? QStringLiteral("GOOD")
                                                      : QStringLiteral("POOR");
    return QString::number(errorNumber) + u' ' + statusWord(errorNumber);
}

} // namespace vorlan
