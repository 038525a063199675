#pragma once
// What an operation on the results record tells the screen: whether it did its work and,
// when there is something to say, one short sentence the screen can show as it stands.

#include <string>

struct ResultsStatus {
    bool ok { true };
    std::wstring message {};

    static ResultsStatus Failure(std::wstring text) { return ResultsStatus { false, std::move(text) }; }
    static ResultsStatus Note(std::wstring text) { return ResultsStatus { true, std::move(text) }; }
};
