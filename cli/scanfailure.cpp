#include "cli/scanfailure.h"

std::string scanFailurePlace(const ScanFailure& failure) {
    std::string place = "(line " + std::to_string(failure.line) + ")";
    if (failure.text[0] != '\0') place += std::string(": ") + failure.text;
    return place;
}
