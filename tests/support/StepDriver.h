#pragma once
// A driver for tests that drive modal loops: each time a loop waits for input it plays the
// next queued step (what a person would do next); with no step left it answers that there is
// no input, so the loop ends at once instead of waiting.
//
//     StepDriver driver;
//     driver.Then([] { Type(1001, L"5"); }).Then([] { Click(IDOK); });
//     orv::win::DriverScope scope(&driver);
//     dialog.DoModal();

#include <deque>
#include <functional>
#include <utility>

#include "platform/win/Driver.h"

namespace orvtest {

class StepDriver : public orv::win::Driver {
public:
    // The steps not played yet, in order.
    std::deque<std::function<void()>> steps;

    bool WaitForInput(HWND) override {
        if (steps.empty()) return false;
        auto step = std::move(steps.front());
        steps.pop_front();
        step();
        return true;
    }
    StepDriver& Then(std::function<void()> step) {
        steps.push_back(std::move(step));
        return *this;
    }
};

}  // namespace orvtest
